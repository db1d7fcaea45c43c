#pragma once

#include "store/ndisourceinfo.h"

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

// A whole source as one text, "machine(stream)@address:port", so one comparison checks it all.
inline std::string describe(const NDISourceInfo &s)
{
    return s.machineName + "(" + s.streamName + ")@" + s.ipAddress + ":" + std::to_string(s.port);
}
