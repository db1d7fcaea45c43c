#include "position_editing/camerahealth.h"

#include <QtTest>

// Feeds a script of timed events, "kind@ms" apart by spaces: a answer, m miss, mvN / arN /
// guN the engine's moving, arrived or given up at waypoint N, end the run's end, reset a
// camera switch. Returns one letter per event: - nothing, S went silent, B came back.
static QString play(CameraHealth &health, const QString &script)
{
    QString changes;
    for (const QString &event : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString kind = event.section(QLatin1Char('@'), 0, 0);
        const qint64 at = event.section(QLatin1Char('@'), 1).toLongLong();
        const int wayPoint = kind.mid(2).toInt();
        CameraHealth::Change change = CameraHealth::Change::None;
        if (kind == QLatin1String("a"))
            change = health.answered(at);
        else if (kind == QLatin1String("m"))
            change = health.unanswered(at);
        else if (kind == QLatin1String("end"))
            health.runEnded();
        else if (kind == QLatin1String("reset"))
            health.reset();
        else
            change = health.runStateChanged(
                CameraHealth::RunState(QStringList{"mv", "ar", "gu"}.indexOf(kind.left(2))),
                wayPoint, at);
        changes += QLatin1Char("-SB"[int(change)]);
    }
    return changes;
}

class TestCameraHealth : public QObject
{
    Q_OBJECT

private slots:
    void transitions_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<qint64>("at");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("changes");
        QTest::newRow("nothing heard yet") << "" << qint64(0) << "Checking"
                                           << "";
        QTest::newRow("answers") << "a@0" << qint64(0) << "Answering"
                                 << "-";
        QTest::newRow("one lost datagram is no silence")
            << "a@0 m@2000" << qint64(3000) << "Answering"
            << "--";
        QTest::newRow("an answer between misses")
            << "m@0 a@1000 m@2000" << qint64(3000) << "Answering"
            << "---";
        QTest::newRow("silent since the first miss, whole seconds")
            << "a@0 m@2000 m@4000" << qint64(14999) << "No answer 12 s"
            << "--S";
        QTest::newRow("minutes after the first")
            << "m@0 m@2000" << qint64(125000) << "No answer 2 min"
            << "-S";
        QTest::newRow("never answered") << "m@0 m@2000" << qint64(5000) << "No answer 5 s"
                                        << "-S";
        QTest::newRow("silence told once") << "m@0 m@2000 m@4000" << qint64(4000) << "No answer 4 s"
                                           << "-S-";
        QTest::newRow("comes back") << "m@0 m@2000 a@6000" << qint64(6000) << "Answering"
                                    << "-SB";
        QTest::newRow("silent again counts afresh")
            << "m@0 m@2000 a@6000 m@8000 m@10000" << qint64(11000) << "No answer 3 s"
            << "-SB-S";
        QTest::newRow("moving") << "a@0 mv3@100" << qint64(200) << "Moving · WP 3"
                                << "--";
        QTest::newRow("arrived") << "a@0 mv3@100 ar3@900" << qint64(1000) << "Arrived · WP 3"
                                 << "---";
        QTest::newRow("given up") << "a@0 mv3@100 gu3@5000" << qint64(5000) << "Given up · WP 3"
                                  << "---";
        QTest::newRow("next waypoint replaces given up")
            << "a@0 gu3@5000 mv4@6000" << qint64(6000) << "Moving · WP 4"
            << "---";
        QTest::newRow("a silent camera set moving stays silent")
            << "m@0 m@2000 mv4@3000" << qint64(3000) << "No answer 3 s"
            << "-S-";
        QTest::newRow("a silent camera given up")
            << "m@0 m@2000 mv4@3000 gu4@9000" << qint64(9000) << "Given up · WP 4"
            << "-S--";
        QTest::newRow("an arrival brings it back")
            << "m@0 m@2000 mv4@3000 ar4@4000" << qint64(4000) << "Arrived · WP 4"
            << "-S-B";
        QTest::newRow("run over: the link again")
            << "a@0 mv3@100 gu3@5000 end@6000" << qint64(6000) << "Answering"
            << "----";
        QTest::newRow("another camera knows nothing")
            << "m@0 m@2000 reset@3000 m@4000" << qint64(4000) << "Checking"
            << "-S--";
    }
    void transitions()
    {
        QFETCH(QString, script);
        QFETCH(qint64, at);
        QFETCH(QString, text);
        QFETCH(QString, changes);
        CameraHealth health;
        QCOMPARE(play(health, script), changes);
        QCOMPARE(health.text(at), text);
    }
};

int runCameraHealthTests(int argc, char **argv)
{
    TestCameraHealth test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_camerahealth.moc"
