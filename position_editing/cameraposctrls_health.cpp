// The panel's camera health: the badge beside the source selector, the one inquiry an idle
// camera gets, and taking a camera up again when it answers after a silence.
#include "position_editing/cameraposctrls.h"

#include "automation/engine/autoplaythread.h"
#include "automation/engine/racelog.h"
#include "position_editing/camerachannel.h"
#include "position_editing/panelstyles.h"
#include "shell/palette.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <QVariant>

#include <chrono>

namespace {
// Half the idle inquiry's period, so that it is asked close to every 2 s; the badge's seconds
// move on every other tick.
constexpr int HealthTickMs = 500;
constexpr qint64 IdleInquiryMs = 2000;

static_assert(int(CameraHealth::RunState::Moving) == AutoPlayThread::Moving &&
                  int(CameraHealth::RunState::Arrived) == AutoPlayThread::Arrived &&
                  int(CameraHealth::RunState::GivenUp) == AutoPlayThread::GivenUp,
              "run states in the engine's order");

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The form's green for a good answer, the race course's amber and given-up red.
QRgb badgeColour(CameraHealth::Badge badge)
{
    switch (badge) {
    case CameraHealth::Badge::Answering:
    case CameraHealth::Badge::Arrived:
        return Palette::accent;
    case CameraHealth::Badge::Moving:
        return Palette::waiting;
    case CameraHealth::Badge::NotAnswering:
    case CameraHealth::Badge::GivenUp:
        return Palette::fault;
    case CameraHealth::Badge::Unknown:
        break;
    }
    return Palette::caption;
}
} // namespace

void CameraPosCtrls::setUpHealth()
{
    auto *ticker = new QTimer(this);
    connect(ticker, &QTimer::timeout, this, &CameraPosCtrls::healthTick);
    ticker->start(HealthTickMs);
    connect(channel.get(), &CameraChannel::inquiryEnded, this, &CameraPosCtrls::noteInquiry);
}

void CameraPosCtrls::SetRunActive(bool active)
{
    runActive = active;
    if (!active)
        health.runEnded();
    showHealth();
}

void CameraPosCtrls::ShowRunState(int nPreset, int state)
{
    noteHealthChange(health.runStateChanged(CameraHealth::RunState(state), nPreset, nowMs()));
}

// Anything the panel asked for itself tells as much; only a camera left alone is asked.
void CameraPosCtrls::healthTick()
{
    if (!address.empty() && !runActive && channel->msSinceExchange() >= IdleInquiryMs)
        channel->readPanTilt();
    showHealth();
}

void CameraPosCtrls::noteInquiry(bool replied)
{
    const qint64 now = nowMs();
    noteHealthChange(replied ? health.answered(now) : health.unanswered(now));
}

void CameraPosCtrls::noteHealthChange(CameraHealth::Change change)
{
    const QString camera =
        QStringLiteral("%1 at %2").arg(sourceName, QString::fromStdString(address));
    if (change == CameraHealth::Change::WentSilent) {
        RaceLog::instance().write(QStringLiteral("Camera %1 not answering").arg(camera));
    } else if (change == CameraHealth::Change::CameBack) {
        RaceLog::instance().write(QStringLiteral("Camera %1 answering again").arg(camera));
        takeUpAgain();
    }
    showHealth();
}

void CameraPosCtrls::showHealth()
{
    QLabel *badge = ui.healthBadge;
    badge->setVisible(!address.empty());
    badge->setText(health.text(nowMs()));
    // A new style sheet re-polishes the label: only when the colour changes.
    const QRgb colour = badgeColour(health.badge());
    if (badge->property("colour").toUInt() != colour) {
        badge->setProperty("colour", colour);
        badge->setStyleSheet(PanelStyles::healthBadge(colour));
    }
}

// A camera back from a silence may have restarted: its stream, version and position are
// read again as a source switch reads them (the receiver asks for the position).
void CameraPosCtrls::takeUpAgain()
{
    StopPreview();
    openReceiver(lookUpAddress());
    channel->queryWebInterface();
}
