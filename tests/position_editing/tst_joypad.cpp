#include "position_editing/joypad.h"
#include "widgetprobe.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

using WidgetProbe::brightCentroid;
using WidgetProbe::sendMouse;

namespace {
// A 200 x 200 pad: side 190 at (0, 0), knob 70 wide, travel r = 60, centre (95, 95).
constexpr qreal Centre = 95;
constexpr qreal Travel = 60;
} // namespace

class TestJoyPad : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<JoyPad> pad;

    void drag(QPointF from, QPointF to)
    {
        sendMouse(pad.get(), QEvent::MouseButtonPress, from);
        sendMouse(pad.get(), QEvent::MouseMove, to);
    }

private slots:
    void init()
    {
        pad = std::make_unique<JoyPad>();
        pad->resize(200, 200);
        pad->show();
        QVERIFY(QTest::qWaitForWindowExposed(pad.get()));
    }
    void cleanup() { pad.reset(); }

    void dragGivesValues_data()
    {
        QTest::addColumn<QPointF>("move");
        QTest::addColumn<float>("xMin");
        QTest::addColumn<float>("xMax");
        QTest::addColumn<float>("yMin");
        QTest::addColumn<float>("yMax");
        QTest::newRow("right is positive x") << QPointF(20, 0) << 0.1f << 0.9f << 0.0f << 0.0f;
        QTest::newRow("down is positive y") << QPointF(0, 20) << 0.0f << 0.0f << 0.1f << 0.9f;
        QTest::newRow("up and left negative")
            << QPointF(-20, -20) << -0.9f << -0.1f << -0.9f << -0.1f;
        QTest::newRow("far right stops at 1") << QPointF(500, 0) << 1.0f << 1.0f << 0.0f << 0.0f;
        QTest::newRow("bottom-right corner") << QPointF(500, 500) << 1.0f << 1.0f << 1.0f << 1.0f;
        QTest::newRow("top-left corner") << QPointF(-500, -500) << -1.0f << -1.0f << -1.0f << -1.0f;
        QTest::newRow("beyond the rim on a slant")
            << QPointF(400, -150) << 1.0f << 1.0f << -1.0f << -1.0f;
    }
    void dragGivesValues()
    {
        QFETCH(QPointF, move);
        QFETCH(float, xMin);
        QFETCH(float, xMax);
        QFETCH(float, yMin);
        QFETCH(float, yMax);
        QSignalSpy values(pad.get(), &JoyPad::emitValue);
        const QPointF centre(Centre, Centre);
        drag(centre, centre + move);
        QVERIFY2(pad->valueX() >= xMin && pad->valueX() <= xMax,
                 qPrintable(QString::number(pad->valueX())));
        QVERIFY2(pad->valueY() >= yMin && pad->valueY() <= yMax,
                 qPrintable(QString::number(pad->valueY())));
        QCOMPARE(values.count(), 0); // moves report through xChanged/yChanged, not emitValue
    }

    void pressOutsideKnobDoesNotDrag()
    {
        QSignalSpy released(pad.get(), &JoyPad::mouseReleased);
        drag(QPointF(10, 10), QPointF(150, 150));
        QCOMPARE(pad->valueX(), 0.0f);
        QCOMPARE(pad->valueY(), 0.0f);
        sendMouse(pad.get(), QEvent::MouseButtonRelease, QPointF(150, 150), Qt::NoButton);
        QCOMPARE(released.count(), 1);
    }

    void releaseGlidesBackAndStops()
    {
        QSignalSpy values(pad.get(), &JoyPad::emitValue);
        drag(QPointF(Centre, Centre), QPointF(Centre + 500, Centre - 500));
        QElapsedTimer clock;
        clock.start();
        sendMouse(pad.get(), QEvent::MouseButtonRelease, QPointF(300, 0), Qt::NoButton);
        QTRY_VERIFY_WITH_TIMEOUT(pad->valueX() == 0.0f && pad->valueY() == 0.0f, 2000);
        QVERIFY(clock.elapsed() >= 300); // a glide, not a jump
        QVERIFY(!values.isEmpty());
        QCOMPARE(values.last().at(0).toFloat(), 0.0f);
        QCOMPARE(values.last().at(1).toFloat(), 0.0f);
    }

    // One stop (0, 0) when the knob comes to rest, whether it glides back or never left.
    void oneStopPerRelease_data()
    {
        QTest::addColumn<QPointF>("move");
        QTest::newRow("click") << QPointF(0, 0);
        QTest::newRow("drag and let go") << QPointF(40, -30);
        QTest::newRow("along one axis") << QPointF(40, 0);
    }
    void oneStopPerRelease()
    {
        QFETCH(QPointF, move);
        QSignalSpy values(pad.get(), &JoyPad::emitValue);
        const QPointF centre(Centre, Centre);
        drag(centre, centre + move);
        sendMouse(pad.get(), QEvent::MouseButtonRelease, centre + move, Qt::NoButton);
        QTest::qWait(600); // past the glide
        const auto stops =
            std::count_if(values.begin(), values.end(), [](const QList<QVariant> &v) {
                return v.at(0).toFloat() == 0.0f && v.at(1).toFloat() == 0.0f;
            });
        QCOMPARE(stops, 1);
        QCOMPARE(values.last().at(0).toFloat(), 0.0f);
        QCOMPARE(values.last().at(1).toFloat(), 0.0f);
    }

    void repeatsOnlyWhileOffCentre()
    {
        QSignalSpy values(pad.get(), &JoyPad::emitValue);
        QTest::qWait(500);
        QCOMPARE(values.count(), 0);

        QElapsedTimer clock;
        clock.start();
        pad->setX(0.5f);
        QTRY_VERIFY_WITH_TIMEOUT(values.count() >= 3, 1500);
        QVERIFY2(clock.elapsed() >= 450, qPrintable(QString::number(clock.elapsed())));
        for (const QList<QVariant> &report : values) {
            QCOMPARE(report.at(0).toFloat(), 0.5f);
            QCOMPARE(report.at(1).toFloat(), 0.0f);
        }

        values.clear();
        pad->setX(0.0f);
        QCOMPARE(values.count(), 1); // the stop, at once
        QTest::qWait(500);
        QCOMPARE(values.count(), 1);
    }

    void setterClampsAndPlacesKnob()
    {
        QSignalSpy xChanged(pad.get(), &JoyPad::xChanged);
        pad->setX(2.5f);
        QCOMPARE(pad->valueX(), 1.0f);
        QCOMPARE(xChanged.count(), 1);
        const QPointF knob = brightCentroid(pad->grab().toImage());
        QVERIFY(qAbs(knob.x() - (Centre + Travel)) < 2);
        QVERIFY(qAbs(knob.y() - Centre) < 2);
    }

    void disabledPadDrawsNoKnob()
    {
        QVERIFY(brightCentroid(pad->grab().toImage()).x() >= 0);
        pad->setEnabled(false);
        QCOMPARE(brightCentroid(pad->grab().toImage()), QPointF(-1, -1));
    }

    void resizeKeepsValues_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QPointF>("knobCentre");
        // x 0.5, y -0.5; side = the smaller dimension, pad side - 10, knob side * 0.35.
        QTest::newRow("tall, centred")
            << QSize(200, 300) << int(Qt::AlignCenter) << QPointF(95 + 30, 50 + 95 - 30);
        QTest::newRow("wide, bottom right")
            << QSize(300, 200) << int(Qt::AlignRight | Qt::AlignBottom)
            << QPointF(100 + 95 + 30, 95 - 30);
        QTest::newRow("small") << QSize(100, 100) << int(Qt::AlignCenter)
                               << QPointF(45 + 0.5 * 27.5, 45 - 0.5 * 27.5);
    }
    void resizeKeepsValues()
    {
        QFETCH(QSize, size);
        QFETCH(int, alignment);
        QFETCH(QPointF, knobCentre);
        pad->setX(0.5f);
        pad->setY(-0.5f);
        pad->setAlignment(Qt::Alignment(alignment));
        pad->resize(size);
        QTRY_COMPARE(pad->size(), size);
        QCOMPARE(pad->valueX(), 0.5f);
        QCOMPARE(pad->valueY(), -0.5f);
        const QPointF knob = brightCentroid(pad->grab().toImage());
        QVERIFY2((knob - knobCentre).manhattanLength() < 3,
                 qPrintable(QStringLiteral("%1,%2").arg(knob.x()).arg(knob.y())));
    }
};

int runJoyPadTests(int argc, char **argv)
{
    TestJoyPad test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_joypad.moc"
