#include "automation/engine/runlog.h"

#include "automation/engine/autoplaythread.h"
#include "automation/engine/racelog.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString wayPoints(int first, int last)
{
    return first == last ? QStringLiteral("waypoint %1").arg(first)
                         : QStringLiteral("waypoints %1 to %2").arg(first).arg(last);
}

void write(const QString &text)
{
    RaceLog::instance().write(text);
}

} // namespace

void RunLog::watch(AutoPlayThread *engine, bool startRun, int firstWayPoint, int lastWayPoint)
{
    const QString kind = startRun ? QStringLiteral("START") : QStringLiteral("GO TO");
    write(QStringLiteral("%1 run: %2, venue \"%3\", race %4 of %5, %6 loop(s), speed %7")
              .arg(kind, wayPoints(firstWayPoint, lastWayPoint),
                   QString::fromStdString(engine->venue))
              .arg(engine->currentRace)
              .arg(engine->totalRaces)
              .arg(engine->loopCount)
              .arg(engine->speedStep.load()));

    // Direct connections: the lines are written on the engine's thread as it emits, and do not
    // depend on the form still listening to this engine.
    QObject::connect(
        engine, &AutoPlayThread::cameraGivenUp, engine,
        [](const QString &srcName, int nPreset) {
            write(QStringLiteral("camera %1 given up at waypoint %2").arg(srcName).arg(nPreset));
        },
        Qt::DirectConnection);
    QObject::connect(
        engine, &AutoPlayThread::reportWritten, engine,
        [](const QString &path, bool ok) {
            const QString file = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
            write(ok ? QStringLiteral("run report written: %1").arg(file)
                     : QStringLiteral("run report FAILED: could not write %1").arg(file));
        },
        Qt::DirectConnection);
    QObject::connect(
        engine, &AutoPlayThread::finished, engine,
        [engine, kind] {
            write(engine->running ? QStringLiteral("%1 run ended").arg(kind)
                                  : QStringLiteral("%1 run stopped").arg(kind));
        },
        Qt::DirectConnection);
}
