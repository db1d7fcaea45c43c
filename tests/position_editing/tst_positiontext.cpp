#include "position_editing/positiontext.h"

#include <QtTest>

class TestPositionText : public QObject
{
    Q_OBJECT

private slots:
    // The 16-bit value is signed: n = |v| x F / D, the side by its sign, on every camera.
    void panText_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("r5x0");
        QTest::addColumn<QString>("text");
        QTest::newRow("centre") << 0 << false << "0";
        QTest::newRow("175 right") << 1658 << false << "175° Right";
        QTest::newRow("too small for a degree") << 9 << false << "0";
        QTest::newRow("175 left") << 0xF986 << false << "175° Left";
        QTest::newRow("just left of centre") << 0xFFFF << false << "0";
        QTest::newRow("0xF001") << 0xF001 << false << "432° Left";
        QTest::newRow("0xF000 is left too") << 0xF000 << false << "432° Left";
        QTest::newRow("largest right") << 0x7FFF << false << "3458° Right";
        QTest::newRow("0x8000 is the far left") << 0x8000 << false << "3458° Left";
        QTest::newRow("R5x0 45 left") << 0xED41 << true << "45° Left";
        QTest::newRow("R5x0 45 right") << 4799 << true << "45° Right";
        QTest::newRow("R5x0 just left of centre") << 0xFFFF << true << "0";
        QTest::newRow("R5x0 180 left") << 0xB505 << true << "180° Left";
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
        QTest::newRow("30 down") << 0xFE8A << "30° Down";
        QTest::newRow("just below centre") << 0xFFFF << "0";
        QTest::newRow("0xF001 is down") << 0xF001 << "328° Down";
        QTest::newRow("0xF000 is down too") << 0xF000 << "328° Down";
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
    TestPositionText test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_positiontext.moc"
