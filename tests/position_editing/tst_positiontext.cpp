#include "position_editing/positiontext.h"

#include <QtTest>

class PositionTextTest : public QObject
{
    Q_OBJECT

private slots:
    void panText_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("r5x0");
        QTest::addColumn<QString>("text");
        QTest::newRow("centre") << 0 << false << "0";
        QTest::newRow("175 right") << 1658 << false << "175° Right";
        QTest::newRow("too small for a degree") << 9 << false << "0";
        QTest::newRow("175 left") << 0xF986 << false << "175° Left";
        QTest::newRow("0xF000 is still right") << 0xF000 << false << "6484° Right";
        QTest::newRow("0xF001 starts the left band") << 0xF001 << false << "432° Left";
        QTest::newRow("R5x0 scale") << 38390 << true << "360° Right";
        QTest::newRow("R5x0 0xF000 is right") << 0xF000 << true << "576° Right";
        QTest::newRow("R5x0 0xF001 uses the left rule") << 0xF001 << true << "432° Left";
        QTest::newRow("R5x0 top of range") << 0xFFFF << true << "394° Left";
    }
    void panText()
    {
        QFETCH(int, value);
        QFETCH(bool, r5x0);
        QFETCH(QString, text);
        QCOMPARE(PanText(value, r5x0), text);
    }

    void tiltText_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("centre") << 0 << "0";
        QTest::newRow("30 up") << 374 << "30° Up";
        QTest::newRow("2 down") << 0xFFFF << "2° Down";
        QTest::newRow("0xF000 is up") << 0xF000 << "4928° Up";
        QTest::newRow("0xF001 is down") << 0xF001 << "330° Down";
        QTest::newRow("a step too small") << 12 << "0";
    }
    void tiltText()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        QCOMPARE(TiltText(value), text);
    }
};

int runPositionTextTests(int argc, char **argv)
{
    PositionTextTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_positiontext.moc"
