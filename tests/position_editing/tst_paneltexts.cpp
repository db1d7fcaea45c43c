#include "position_editing/camerahealth.h"
#include "position_editing/positiontext.h"

#include <QtTest>

// What a panel shows beside its controls: positions in degrees and its camera's health.
class TestPanelTexts : public QObject
{
    Q_OBJECT

private slots:
    // The 16-bit value is signed: n = |v| x F / D, truncated, the side by its sign.
    void positionText_data()
    {
        QTest::addColumn<QString>("axis");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("175 right") << "pan" << 1658 << "175° Right";
        QTest::newRow("too small for a degree") << "pan" << 9 << "0";
        QTest::newRow("175 left") << "pan" << 0xF986 << "175° Left";
        QTest::newRow("0x8000 is the far left") << "pan" << 0x8000 << "3458° Left";
        QTest::newRow("R5x0 180 left") << "R5x0 pan" << 0xB505 << "180° Left";
        QTest::newRow("30 down") << "tilt" << 0xFE8A << "30° Down";
    }
    void positionText()
    {
        QFETCH(QString, axis);
        QFETCH(int, value);
        QFETCH(QString, text);
        QCOMPARE(axis == "tilt" ? TiltText(value) : PanText(value, axis == "R5x0 pan"), text);
    }

    // A script of timed events, "kind@ms": a answer, m miss, mvN / arN / guN the engine's moving,
    // arrived or given up at waypoint N, end the run's end, reset a camera switch. One letter
    // per event tells the change: - none, S went silent, B came back.
    void health_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<qint64>("at");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("changes");
        auto row = [](const char *tag, const char *script, qint64 at, const char *text,
                      const char *changes) {
            QTest::newRow(tag) << script << at << text << changes;
        };
        row("one lost datagram is no silence", "a@0 m@2000", 3000, "Answering", "--");
        row("silent since the first miss", "a@0 m@2000 m@4000", 14999, "No answer 12 s", "--S");
        row("minutes", "m@0 m@2000", 125000, "No answer 2 min", "-S");
        row("silence told once", "m@0 m@2000 m@4000", 4000, "No answer 4 s", "-S-");
        row("silent again counts afresh", "m@0 m@2000 a@6000 m@8000 m@10000", 11000,
            "No answer 3 s", "-SB-S");
        row("a silent camera set moving stays silent", "m@0 m@2000 mv4@3000", 3000, "No answer 3 s",
            "-S-");
        row("an arrival brings it back", "m@0 m@2000 mv4@3000 ar4@4000", 4000, "Arrived · WP 4",
            "-S-B");
        row("run over: the link again", "a@0 mv3@100 gu3@5000 end@6000", 6000, "Answering", "----");
        row("another camera knows nothing", "m@0 m@2000 reset@3000 m@4000", 4000, "Checking",
            "-S--");
    }
    void health()
    {
        QFETCH(QString, script);
        QFETCH(qint64, at);
        QFETCH(QString, text);
        QFETCH(QString, changes);
        CameraHealth health;
        QString seen;
        for (const QString &event : script.split(QLatin1Char(' '))) {
            const QString kind = event.section(QLatin1Char('@'), 0, 0);
            const qint64 time = event.section(QLatin1Char('@'), 1).toLongLong();
            CameraHealth::Change change = CameraHealth::Change::None;
            if (kind == "a")
                change = health.answered(time);
            else if (kind == "m")
                change = health.unanswered(time);
            else if (kind == "end")
                health.runEnded();
            else if (kind == "reset")
                health.reset();
            else
                change = health.runStateChanged(
                    CameraHealth::RunState(QStringList{"mv", "ar", "gu"}.indexOf(kind.left(2))),
                    kind.mid(2).toInt(), time);
            seen += QLatin1Char("-SB"[int(change)]);
        }
        QCOMPARE(seen, changes);
        QCOMPARE(health.text(at), text);
    }
};

int runPanelTextsTests(int argc, char **argv)
{
    TestPanelTexts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_paneltexts.moc"
