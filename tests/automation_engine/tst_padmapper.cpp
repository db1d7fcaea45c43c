// The gamepad's mapping, fed by hand: no form and no pad needed.
#include "automation/engine/padmapper.h"

#include <QtTest>

namespace {

// Pad input written as "LX 0.6; RT 1; A 1; gone", and what the mapper sent, as text.
QStringList runPad(const QString &script)
{
    // In the order of PadMapper's Axis, then Button values.
    const QStringList inputs{"LX", "LY", "LT", "RT", "A", "S", "L1", "R1"};
    PadMapper mapper;
    QStringList sent;
    QObject::connect(&mapper, &PadMapper::jog,
                     [&](float x, float y) { sent << QString("jog %1 %2").arg(x).arg(y); });
    QObject::connect(&mapper, &PadMapper::zoom, [&](int d) { sent << QString("zoom %1").arg(d); });
    QObject::connect(&mapper, &PadMapper::stepPanel,
                     [&](int d) { sent << QString("step %1").arg(d); });
    QObject::connect(&mapper, &PadMapper::store, [&] { sent << "store"; });
    QObject::connect(&mapper, &PadMapper::startStop, [&] { sent << "startstop"; });
    for (const QString &step : script.split(';')) {
        const QStringList parts = step.simplified().split(' ');
        const int input = int(inputs.indexOf(parts[0]));
        if (input < 0)
            mapper.release();
        else if (input < 4)
            mapper.moveAxis(PadMapper::Axis(input), parts[1].toDouble());
        else
            mapper.setButton(PadMapper::Button(input - 4), parts[1] == "1");
    }
    return sent;
}

} // namespace

class TestPadMapper : public QObject
{
    Q_OBJECT

private slots:
    void padMapsToCommands_data();
    void padMapsToCommands();
};

void TestPadMapper::padMapsToCommands_data()
{
    QTest::addColumn<QString>("events");
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("dead zone") << "LX 0.15; LY -0.2; LX -0.21" << QStringList();
    QTest::newRow("rescaled past the dead zone") << "LX 0.6" << QStringList{"jog 0.5 0"};
    QTest::newRow("tremor within a step") << "LX 0.6; LX 0.61; LX 0.59" << QStringList{"jog 0.5 0"};
    QTest::newRow("both axes and back")
        << "LX 1; LY -1; LX 0; LY 0.1" << QStringList{"jog 1 0", "jog 1 -1", "jog 0 -1", "jog 0 0"};
    QTest::newRow("triggers zoom, released below the lower mark")
        << "RT 0.6; RT 0.4; RT 0.1; LT 0.9; LT 0"
        << QStringList{"zoom 1", "zoom 0", "zoom -1", "zoom 0"};
    QTest::newRow("both triggers cancel")
        << "RT 1; LT 1; LT 0" << QStringList{"zoom 1", "zoom 0", "zoom 1"};
    QTest::newRow("buttons act on press") << "A 1; A 0; S 1; S 0; L1 1; L1 0; R1 1"
                                          << QStringList{"store", "startstop", "step -1", "step 1"};
    QTest::newRow("unplugged while driving")
        << "LX -1; RT 1; gone" << QStringList{"jog -1 0", "zoom 1", "jog 0 0", "zoom 0"};
    QTest::newRow("unplugged at rest") << "A 1; gone" << QStringList{"store"};
}

void TestPadMapper::padMapsToCommands()
{
    QFETCH(QString, events);
    QFETCH(QStringList, sent);
    QCOMPARE(runPad(events), sent);
}

QTEST_GUILESS_MAIN(TestPadMapper)
#include "tst_padmapper.moc"
