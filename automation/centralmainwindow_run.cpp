// Run controls of the form: START/STOP, GO TO START/END, the speed slider, the run display
// and the link buttons.
#include "automation/centralmainwindow.h"

#include "automation/centralmainwindow_ui.h"
#include "automation/engine/autoplaythread.h"
#include "automation/engine/runlog.h"
#include "automation/formstyle.h"
#include "automation/racecourse.h"
#include "position_editing/cameraposctrls.h"
#include "shell/links.h"

#include <QDesktopServices>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QUrl>

void CentralMainWindow::on_StartStopPushButton_clicked()
{
    toggleRun();
}

void CentralMainWindow::on_playStartStoptoolButton_clicked()
{
    toggleRun();
}

void CentralMainWindow::toggleRun()
{
    ui->StartStopPushButton->setEnabled(false);
    if (!isPlaying)
        StartAutoPlay(race.startWayPoint, race.endWayPoint, true);
    else
        HandleAutoPlayFinished();
    ui->StartStopPushButton->setEnabled(true);
}

void CentralMainWindow::StartAutoPlay(int16_t start, int16_t end, bool report)
{
    std::shared_future<void> previousEnded;
    if (autoPlay)
        previousEnded = autoPlay->ended();
    StopAutoPlay();
    // The form is its parent: a run retired by STOP and still ending when the form goes is
    // waited for then.
    autoPlay.emplace(this);
    // The last run's final stop commands go out before this run's first move.
    autoPlay->predecessorEnded = previousEnded;
    ui->raceCourseWidget->clearGivenUp();
    autoPlay->loopCount = race.loopCount;
    playSpeed = AutoPlayThread::speedStepFromSlider(ui->horizontalSlider->value());
    autoPlay->speedStep.store(playSpeed);
    autoPlay->venue = race.venue;
    autoPlay->currentRace = race.currentRace;
    autoPlay->totalRaces = race.totalRaces;
    autoPlay->totalWayPoints = race.totalWayPoints;
    autoPlay->raceLength = race.raceLength;
    autoPlay->playList = CameraDataStore::instance().buildPlayList(start, end);
    isRangeRun = start != end;
    isGoToRun = false;
    autoPlay->writeReport.store(report);
    connectEngine();
    RunLog::watch(autoPlay.get(), report, start, end);
    autoPlay.start();

    isPlaying = true;
    for (CameraPosCtrls *panel : panels)
        panel->SetRunActive(true);
    ui->playStartStoptoolButton->setIcon(QIcon(QStringLiteral(":/images/StopIcon.png")));
    ui->StartStopPushButton->setText(tr("STOP"));
    ui->StartStopPushButton->setStyleSheet(FormStyle::stopButtonStyle());
}

// The engine's signals arrive queued. One emitted just before a STOP can still be on its way
// when the next run has started; the run's serial keeps it from reaching that run.
void CentralMainWindow::connectEngine()
{
    const quint64 run = ++runSerial;
    AutoPlayThread *current = autoPlay.get();
    connect(current, &AutoPlayThread::finished, this, [this, run] {
        if (run == runSerial)
            HandleAutoPlayFinished();
    });
    connect(current, &AutoPlayThread::presetUpdate, this, [this, run](int nPreset) {
        if (run == runSerial)
            HandlePresetUpdate(nPreset);
    });
    connect(current, &AutoPlayThread::loopUpdate, this, [this, run](int nLoop) {
        if (run == runSerial)
            HandleLoopUpdate(nLoop);
    });
    connect(current, &AutoPlayThread::cameraGivenUp, this,
            [this, run](const QString &srcName, int nPreset) {
                if (run == runSerial)
                    ui->raceCourseWidget->markGivenUp(nPreset, srcName);
            });
    connect(current, &AutoPlayThread::cameraStateChanged, this,
            [this, run](const QString &name, int nPreset, int state) {
                if (run != runSerial)
                    return;
                for (CameraPosCtrls *panel : panels) {
                    if (panel->currentSourceName() == name)
                        panel->ShowRunState(nPreset, state);
                }
            });
    connect(current, &AutoPlayThread::reportWritten, this, &CentralMainWindow::showWrittenReport);
    connect(current, &AutoPlayThread::holdingCameras, this,
            [this, run](const QStringList &names, int nPreset) {
                if (run == runSerial)
                    ui->raceCourseWidget->setHolding(nPreset, names);
            });
}

void CentralMainWindow::StopAutoPlay()
{
    if (!autoPlay)
        return;
    // The engine stops every camera at once and ends within its exchanges' limits; it is
    // deleted once its thread has ended, so the window never waits on a silent camera.
    ++runSerial;
    autoPlay.retire();
}

void CentralMainWindow::HandleAutoPlayFinished()
{
    if (!isPlaying)
        return;
    isPlaying = false;
    StopAutoPlay();
    for (CameraPosCtrls *panel : panels)
        panel->SetRunActive(false);
    ui->raceCourseWidget->clearReached();
    ui->raceCourseWidget->setHolding(0, {});
    ui->StartStopPushButton->setText(tr("START"));
    ui->StartStopPushButton->setStyleSheet(FormStyle::startButtonStyle());
    ui->playStartStoptoolButton->setIcon(QIcon(QStringLiteral(":/images/StartIcon.png")));
    ui->CurrentLoopLabel->clear();
    ui->CurrentLoopValueLabel->clear();
    RefreshPanelPositions();
}

void CentralMainWindow::HandlePresetUpdate(int nPreset)
{
    if (!isPlaying)
        return;
    ui->raceCourseWidget->setHolding(0, {});
    if (nPreset < race.endWayPoint && isRangeRun &&
        CameraDataStore::instance().hasWayPoint(nPreset + 1))
        ui->raceCourseWidget->markWayPoints(nPreset, nPreset + 1);
    else
        ui->raceCourseWidget->markWayPoint(nPreset);
    RefreshPanelPositions();
}

void CentralMainWindow::HandleLoopUpdate(int nLoop)
{
    if (isPlaying) {
        ui->CurrentLoopLabel->setText(tr("Current Loop"));
        ui->CurrentLoopValueLabel->setText(QString::number(nLoop));
    } else {
        ui->CurrentLoopLabel->clear();
        ui->CurrentLoopValueLabel->clear();
    }
}

void CentralMainWindow::RefreshPanelPositions()
{
    CameraDataStore &store = CameraDataStore::instance();
    for (CameraPosCtrls *panel : panels) {
        if (panel->cameraAddress().empty())
            continue;
        int32_t pan = 0, tilt = 0, focus = 0, zoom = 0;
        if (store.getCameraPosition(panel->cameraAddress(), pan, tilt, focus, zoom))
            panel->ShowPositions(pan, tilt, focus, zoom);
    }
}

// During a START run the request jumps within it. A GO TO move plays one waypoint only, where
// a request could only replay that one: the move asked last replaces it instead.
void CentralMainWindow::goTo(bool end)
{
    if (autoPlay && isPlaying && !isGoToRun) {
        (end ? autoPlay->goEndRequest : autoPlay->goStartRequest).store(true);
        return;
    }
    race.setupWayPoint = end ? race.endWayPoint : race.startWayPoint;
    CheckSetupWayPoint();
    ShowSetupWayPoint();
    StartAutoPlay(race.setupWayPoint, race.setupWayPoint, false);
    isGoToRun = true;
}

void CentralMainWindow::on_GoStartPushButton_clicked()
{
    goTo(false);
}

void CentralMainWindow::on_GoEndPushButton_clicked()
{
    goTo(true);
}

void CentralMainWindow::on_horizontalSlider_valueChanged(int value)
{
    const int32_t step = AutoPlayThread::speedStepFromSlider(value);
    if (autoPlay)
        autoPlay->speedStep.store(step);
    for (CameraPosCtrls *panel : panels)
        panel->jogSpeed.store(value);
    playSpeed = step;
}

// ---- links ----

namespace {
void openLink(const char *address)
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(address)));
}
} // namespace

void CentralMainWindow::on_fbToolButton_clicked()
{
    openLink(Links::facebook);
}

void CentralMainWindow::on_twToolButton_clicked()
{
    openLink(Links::twitter);
}

void CentralMainWindow::on_InstToolButton_clicked()
{
    openLink(Links::instagram);
}

void CentralMainWindow::on_ytToolButton_clicked()
{
    openLink(Links::youtube);
}

void CentralMainWindow::on_liToolButton_clicked()
{
    openLink(Links::linkedin);
}

void CentralMainWindow::on_kvHomePushButton_clicked()
{
    openLink(Links::website);
}
