#include "position_editing/joypad.h"
#include "widgetprobe.h"

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

using WidgetProbe::sendMouse;

class TestJoyPad : public QObject
{
    Q_OBJECT

    std::unique_ptr<JoyPad> pad;

private slots:
    void init()
    {
        pad = std::make_unique<JoyPad>();
        pad->resize(200, 200);
        pad->show();
        QVERIFY(QTest::qWaitForWindowExposed(pad.get()));
    }

    // A 200 x 200 pad: knob 70 wide at (95, 95), travel 60. Dragging gives x right and y down,
    // each within [-1, 1] however far the pointer goes; a press beside the knob drags nothing.
    // While off centre the value repeats; letting go glides back and ends in exactly one stop,
    // whether the knob moved or was only clicked.
    void dragRepeatsThenStopsOnce_data()
    {
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<QPointF>("move");
        QTest::addColumn<QPointF>("value");
        QTest::newRow("click") << QPointF(95, 95) << QPointF(0, 0) << QPointF(0, 0);
        QTest::newRow("along one axis") << QPointF(95, 95) << QPointF(40, 0) << QPointF(0.7, 0);
        QTest::newRow("beyond the rim on a slant")
            << QPointF(95, 95) << QPointF(400, -150) << QPointF(1, -1);
        QTest::newRow("press beside the knob")
            << QPointF(10, 10) << QPointF(140, 140) << QPointF(0, 0);
    }
    void dragRepeatsThenStopsOnce()
    {
        QFETCH(QPointF, press);
        QFETCH(QPointF, move);
        QFETCH(QPointF, value);
        QSignalSpy values(pad.get(), &JoyPad::emitValue);
        sendMouse(pad.get(), QEvent::MouseButtonPress, press);
        sendMouse(pad.get(), QEvent::MouseMove, press + move);
        const QPointF held(double(pad->valueX()), double(pad->valueY()));
        QVERIFY2((held - value).manhattanLength() < 0.01,
                 qPrintable(QStringLiteral("%1,%2").arg(held.x()).arg(held.y())));
        if (value.isNull())
            QTest::qWait(450);
        else
            QTRY_VERIFY(values.count() >= 2);
        for (const QList<QVariant> &report : values)
            QCOMPARE(QPointF(report.at(0).toDouble(), report.at(1).toDouble()), held);
        QCOMPARE(values.count() > 0, !value.isNull());

        sendMouse(pad.get(), QEvent::MouseButtonRelease, press + move, Qt::NoButton);
        QTest::qWait(600); // past the glide
        const auto stops = std::count(values.begin(), values.end(), QVariantList{0.0f, 0.0f});
        QCOMPARE(stops, 1);
        QCOMPARE(values.last(), (QVariantList{0.0f, 0.0f}));
        QCOMPARE(pad->valueX() + pad->valueY(), 0.0f);
    }
};

int runJoyPadTests(int argc, char **argv)
{
    TestJoyPad test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_joypad.moc"
