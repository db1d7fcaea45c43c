#include "position_editing/camerahealth.h"

#include <QCoreApplication>

void CameraHealth::reset()
{
    *this = CameraHealth();
}

CameraHealth::Change CameraHealth::answered(qint64)
{
    const bool wasSilent = link == Link::Silent;
    link = Link::Answering;
    misses = 0;
    return wasSilent ? Change::CameBack : Change::None;
}

CameraHealth::Change CameraHealth::unanswered(qint64 nowMs)
{
    if (misses++ == 0)
        firstMissMs = nowMs;
    if (misses < MissesBeforeSilent || link == Link::Silent)
        return Change::None;
    link = Link::Silent;
    return Change::WentSilent;
}

CameraHealth::Change CameraHealth::runStateChanged(RunState state, int wayPoint, qint64 nowMs)
{
    inRun = true;
    runState = state;
    runWayPoint = wayPoint;
    return state == RunState::Arrived ? answered(nowMs) : Change::None;
}

void CameraHealth::runEnded()
{
    inRun = false;
}

CameraHealth::Badge CameraHealth::badge() const
{
    const bool silentMover = link == Link::Silent && runState == RunState::Moving;
    if (inRun && !silentMover) {
        switch (runState) {
        case RunState::Moving:
            return Badge::Moving;
        case RunState::Arrived:
            return Badge::Arrived;
        case RunState::GivenUp:
            return Badge::GivenUp;
        }
    }
    switch (link) {
    case Link::Answering:
        return Badge::Answering;
    case Link::Silent:
        return Badge::NotAnswering;
    case Link::Unknown:
        break;
    }
    return Badge::Unknown;
}

// Minutes past the first, so the badge keeps its width.
static QString silentText(qint64 seconds)
{
    if (seconds < 60)
        return QCoreApplication::translate("CameraHealth", "No answer %1 s").arg(seconds);
    return QCoreApplication::translate("CameraHealth", "No answer %1 min").arg(seconds / 60);
}

QString CameraHealth::text(qint64 nowMs) const
{
    auto tr = [](const char *text) { return QCoreApplication::translate("CameraHealth", text); };
    switch (badge()) {
    case Badge::Unknown:
        return tr("Checking");
    case Badge::Answering:
        return tr("Answering");
    case Badge::NotAnswering:
        return silentText(qMax<qint64>(0, nowMs - firstMissMs) / 1000);
    case Badge::Moving:
        return tr("Moving · WP %1").arg(runWayPoint);
    case Badge::Arrived:
        return tr("Arrived · WP %1").arg(runWayPoint);
    case Badge::GivenUp:
        return tr("Given up · WP %1").arg(runWayPoint);
    }
    return QString();
}
