#pragma once

#include <QtTest>

#include <string>

Q_DECLARE_METATYPE(std::string)

// Failed comparisons of std::string show both texts.
namespace QTest {
template<>
inline char *toString(const std::string &text)
{
    return QTest::toString(QByteArray::fromStdString(text));
}
} // namespace QTest
