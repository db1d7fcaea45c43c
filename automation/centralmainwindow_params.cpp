// The race parameters of the form: their bounds, step buttons, fields and resets.
#include "automation/centralmainwindow.h"

#include "automation/centralmainwindow_ui.h"
#include "automation/racecourse.h"
#include "position_editing/cameraposctrls.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace {

constexpr int16_t MaxStepWayPoints = 99;

void enableSteps(QToolButton *down, bool downEnabled, QToolButton *up, bool upEnabled)
{
    down->setEnabled(downEnabled);
    up->setEnabled(upEnabled);
}

} // namespace

void CentralMainWindow::giveWayPointRange()
{
    for (CameraPosCtrls *panel : panels)
        panel->SetWayPointRange(race.setupWayPoint, race.startWayPoint, race.endWayPoint);
}

void CentralMainWindow::ShowCurrentRace()
{
    ui->CurrentRaceLineEdit->setText(RaceParameters::fraction(race.currentRace, race.totalRaces));
}

void CentralMainWindow::CheckCurrentRace()
{
    race.currentRace = std::min(race.currentRace, race.totalRaces);
    enableSteps(ui->LCurrentRaceToolButton, race.currentRace >= 2, ui->RCurrentRaceToolButton,
                race.currentRace < race.totalRaces);
}

void CentralMainWindow::ShowSetupWayPoint()
{
    ui->SetupWayptLineEdit->setText(
        RaceParameters::fraction(race.setupWayPoint, race.totalWayPoints));
    CameraDataStore::instance().setCurrentSetupWayPoint(race.setupWayPoint);
    giveWayPointRange();
}

void CentralMainWindow::CheckSetupWayPoint()
{
    race.setupWayPoint = std::min(race.setupWayPoint, race.totalWayPoints);
    enableSteps(ui->LSetupWayptToolButton, race.setupWayPoint >= 2, ui->RSetupWayptToolButton,
                race.setupWayPoint < race.totalWayPoints);
}

void CentralMainWindow::ShowStartWayPoint()
{
    ui->StartWayptLineEdit->setText(
        RaceParameters::fraction(race.startWayPoint, race.totalWayPoints));
}

void CentralMainWindow::CheckStartWayPoint()
{
    race.startWayPoint = std::min(race.startWayPoint, race.endWayPoint);
    enableSteps(ui->LStartWayptToolButton, race.startWayPoint >= 2, ui->RStartWayptToolButton,
                race.startWayPoint < race.endWayPoint);
    giveWayPointRange();
}

void CentralMainWindow::ShowEndWayPoint()
{
    ui->EndWayPtLlineEdit->setText(RaceParameters::fraction(race.endWayPoint, race.totalWayPoints));
}

void CentralMainWindow::CheckEndWayPoint()
{
    race.endWayPoint = std::min(race.endWayPoint, race.totalWayPoints);
    enableSteps(ui->LEndWayptToolButton, race.endWayPoint > race.startWayPoint,
                ui->REndWayptToolButton, race.endWayPoint < race.totalWayPoints);
}

void CentralMainWindow::ShowLoopCount()
{
    ui->LoopCountLlineEdit->setText(QString::number(race.loopCount));
}

void CentralMainWindow::CheckLoopCount()
{
    race.loopCount = std::min(race.loopCount, RaceParameters::MaxLoopCount);
    enableSteps(ui->LLoopCountToolButton, race.loopCount >= 2, ui->RLoopCountToolButton,
                race.loopCount < RaceParameters::MaxLoopCount);
}

void CentralMainWindow::ShowRaceLength()
{
    ui->RaceLengthLineEdit->setText(QString::number(race.raceLength));
}

void CentralMainWindow::UpdateTotalRaces()
{
    enableSteps(ui->LTotalRacesToolButton, race.totalRaces >= 3, ui->RTotalRacesToolButton,
                race.totalRaces < RaceParameters::MaxTotalRaces);
    ui->TotalRaceslineEdit->setText(QString::number(race.totalRaces));
}

void CentralMainWindow::enableTotalWayPointSteps()
{
    enableSteps(ui->LTotalWayPtsToolButton, race.totalWayPoints >= 4, ui->RTotalWayPtsToolButton,
                race.totalWayPoints < MaxStepWayPoints);
}

void CentralMainWindow::UpdateTotalWayPoints()
{
    enableTotalWayPointSteps();
    ui->TotalWayPtlineEdit->setText(QString::number(race.totalWayPoints));
    ui->raceCourseWidget->setWayPointCount(race.totalWayPoints);
    CheckSetupWayPoint();
    CheckEndWayPoint();
    CheckStartWayPoint();
    ShowSetupWayPoint();
    ShowStartWayPoint();
    ShowEndWayPoint();
}

void CentralMainWindow::ResetTotalWayPoints()
{
    race.totalWayPoints = RaceParameters::DefaultTotalWayPoints;
    ui->TotalWayPtlineEdit->setText(QString::number(race.totalWayPoints));
    ui->raceCourseWidget->setWayPointCount(race.totalWayPoints);
}

void CentralMainWindow::ResetRaceLengthAndLoops()
{
    race.raceLength = RaceParameters::DefaultRaceLength;
    ShowRaceLength();
    race.loopCount = 1;
    CheckLoopCount();
    ShowLoopCount();
    ui->CurrentLoopLabel->clear();
    ui->CurrentLoopValueLabel->clear();
}

// The default set-up, as at start-up; the venue stays. The total buttons are refreshed too,
// or a reset from 999 races would leave the step-up button disabled at 30.
void CentralMainWindow::restoreSetUp()
{
    race.totalRaces = RaceParameters::DefaultTotalRaces;
    UpdateTotalRaces();
    ResetTotalWayPoints();
    enableTotalWayPointSteps();
    race.setupWayPoint = 1;
    CheckSetupWayPoint();
    ShowSetupWayPoint();
    race.currentRace = 1;
    CheckCurrentRace();
    ShowCurrentRace();
    // Both ends first, then both checks: checking Start against the old End would leave its
    // step-up button disabled after a reset from a one-waypoint range.
    race.startWayPoint = 1;
    race.endWayPoint = race.totalWayPoints;
    CheckEndWayPoint();
    CheckStartWayPoint();
    ShowStartWayPoint();
    ShowEndWayPoint();
    ResetRaceLengthAndLoops();
}

void CentralMainWindow::resetSetUp()
{
    CameraDataStore::instance().clearWayPoints();
    restoreSetUp();
}

void CentralMainWindow::on_ResetPushButton_clicked()
{
    resetSetUp();
}

// ---- step buttons ----

// A new total also bounds the current race.
void CentralMainWindow::applyTotalRaces()
{
    UpdateTotalRaces();
    CheckCurrentRace();
    ShowCurrentRace();
}

void CentralMainWindow::stepTotalRaces(int change)
{
    race.totalRaces = int16_t(race.totalRaces + change);
    applyTotalRaces();
}

void CentralMainWindow::on_LTotalRacesToolButton_clicked()
{
    stepTotalRaces(-1);
}

void CentralMainWindow::on_RTotalRacesToolButton_clicked()
{
    stepTotalRaces(1);
}

void CentralMainWindow::on_LTotalWayPtsToolButton_clicked()
{
    --race.totalWayPoints;
    UpdateTotalWayPoints();
}

void CentralMainWindow::on_RTotalWayPtsToolButton_clicked()
{
    ++race.totalWayPoints;
    UpdateTotalWayPoints();
}

void CentralMainWindow::on_LSetupWayptToolButton_clicked()
{
    --race.setupWayPoint;
    CheckSetupWayPoint();
    ShowSetupWayPoint();
}

void CentralMainWindow::on_RSetupWayptToolButton_clicked()
{
    ++race.setupWayPoint;
    CheckSetupWayPoint();
    ShowSetupWayPoint();
}

void CentralMainWindow::on_LCurrentRaceToolButton_clicked()
{
    --race.currentRace;
    CheckCurrentRace();
    ShowCurrentRace();
}

void CentralMainWindow::on_RCurrentRaceToolButton_clicked()
{
    ++race.currentRace;
    CheckCurrentRace();
    ShowCurrentRace();
}

void CentralMainWindow::stepStartWayPoint(int change)
{
    race.startWayPoint = int16_t(race.startWayPoint + change);
    CheckStartWayPoint();
    ShowStartWayPoint();
    CheckEndWayPoint();
    ShowEndWayPoint();
}

void CentralMainWindow::on_LStartWayptToolButton_clicked()
{
    stepStartWayPoint(-1);
}

void CentralMainWindow::on_RStartWayptToolButton_clicked()
{
    stepStartWayPoint(1);
}

void CentralMainWindow::stepEndWayPoint(int change)
{
    race.endWayPoint = int16_t(race.endWayPoint + change);
    CheckEndWayPoint();
    ShowEndWayPoint();
    CheckStartWayPoint();
    ShowStartWayPoint();
}

void CentralMainWindow::on_LEndWayptToolButton_clicked()
{
    stepEndWayPoint(-1);
}

void CentralMainWindow::on_REndWayptToolButton_clicked()
{
    stepEndWayPoint(1);
}

void CentralMainWindow::on_LLoopCountToolButton_clicked()
{
    --race.loopCount;
    CheckLoopCount();
    ShowLoopCount();
}

void CentralMainWindow::on_RLoopCountToolButton_clicked()
{
    ++race.loopCount;
    CheckLoopCount();
    ShowLoopCount();
}

// ---- typed values ----

void CentralMainWindow::on_TotalRaceslineEdit_editingFinished()
{
    race.totalRaces = RaceParameters::totalRacesFromText(ui->TotalRaceslineEdit->text());
    applyTotalRaces();
}

void CentralMainWindow::on_TotalWayPtlineEdit_editingFinished()
{
    race.totalWayPoints = RaceParameters::totalWayPointsFromText(ui->TotalWayPtlineEdit->text());
    UpdateTotalWayPoints();
}

void CentralMainWindow::on_RaceLengthLineEdit_editingFinished()
{
    race.raceLength = RaceParameters::raceLengthFromText(ui->RaceLengthLineEdit->text());
    ShowRaceLength();
}

void CentralMainWindow::on_RaceCourseNameLineEdit_editingFinished()
{
    race.venue = ui->RaceCourseNameLineEdit->text().toStdString();
}
