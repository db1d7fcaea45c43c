// The race parameters on the form: each control changes RaceParameters, which holds the rules,
// and the form then shows the fields the change can alter.
#include "automation/centralmainwindow.h"

#include "automation/centralmainwindow_ui.h"
#include "automation/racecourse.h"
#include "position_editing/cameraposctrls.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

using Field = RaceParameters::Field;

struct FieldWidgets
{
    QLineEdit *edit;
    QToolButton *down, *up;
};

FieldWidgets widgetsOf(const Ui::CentralMainWindow &ui, Field field)
{
    switch (field) {
    case Field::TotalRaces:
        return {ui.TotalRaceslineEdit, ui.LTotalRacesToolButton, ui.RTotalRacesToolButton};
    case Field::CurrentRace:
        return {ui.CurrentRaceLineEdit, ui.LCurrentRaceToolButton, ui.RCurrentRaceToolButton};
    case Field::TotalWayPoints:
        return {ui.TotalWayPtlineEdit, ui.LTotalWayPtsToolButton, ui.RTotalWayPtsToolButton};
    case Field::SetupWayPoint:
        return {ui.SetupWayptLineEdit, ui.LSetupWayptToolButton, ui.RSetupWayptToolButton};
    case Field::EndWayPoint:
        return {ui.EndWayPtLlineEdit, ui.LEndWayptToolButton, ui.REndWayptToolButton};
    case Field::StartWayPoint:
        return {ui.StartWayptLineEdit, ui.LStartWayptToolButton, ui.RStartWayptToolButton};
    case Field::LoopCount:
        return {ui.LoopCountLlineEdit, ui.LLoopCountToolButton, ui.RLoopCountToolButton};
    case Field::RaceLength:
        break;
    }
    return {ui.RaceLengthLineEdit, nullptr, nullptr};
}

} // namespace

void CentralMainWindow::showField(Field field)
{
    const FieldWidgets widgets = widgetsOf(*ui, field);
    widgets.edit->setText(race.text(field));
    if (widgets.down) {
        widgets.down->setEnabled(race.canStepDown(field));
        widgets.up->setEnabled(race.canStepUp(field));
    }
}

// Only the fields the change can alter: rewriting an editable field would drop what the
// operator is still typing there.
void CentralMainWindow::showChange(Field changed)
{
    for (Field field : RaceParameters::affectedBy(changed))
        showField(field);
    switch (changed) {
    case Field::TotalWayPoints:
        ui->raceCourseWidget->setWayPointCount(race.totalWayPoints);
        [[fallthrough]];
    case Field::SetupWayPoint:
    case Field::EndWayPoint:
    case Field::StartWayPoint:
        giveWayPointRange();
        break;
    default:
        break;
    }
}

void CentralMainWindow::showRaceParameters()
{
    for (Field field : RaceParameters::Fields)
        showField(field);
    ui->raceCourseWidget->setWayPointCount(race.totalWayPoints);
    giveWayPointRange();
}

// The store files new positions under the setup waypoint; each panel numbers its own within
// Start..End.
void CentralMainWindow::giveWayPointRange()
{
    CameraDataStore::instance().setCurrentSetupWayPoint(race.setupWayPoint);
    for (CameraPosCtrls *panel : panels)
        panel->SetWayPointRange(race.setupWayPoint, race.startWayPoint, race.endWayPoint);
}

void CentralMainWindow::stepField(Field field, int direction)
{
    race.step(field, direction);
    showChange(field);
}

void CentralMainWindow::typeField(Field field, const QString &text)
{
    race.setTyped(field, text);
    showChange(field);
}

void CentralMainWindow::CheckSetupWayPoint()
{
    race.holdToFormBounds();
}

void CentralMainWindow::ShowSetupWayPoint()
{
    showChange(Field::SetupWayPoint);
}

void CentralMainWindow::CheckLoopCount()
{
    race.holdToFormBounds();
}

void CentralMainWindow::ShowLoopCount()
{
    showField(Field::LoopCount);
}

void CentralMainWindow::ShowRaceLength()
{
    showField(Field::RaceLength);
}

void CentralMainWindow::UpdateTotalWayPoints()
{
    race.holdToFormBounds();
    showChange(Field::TotalWayPoints);
}

void CentralMainWindow::applyTotalRaces()
{
    race.holdToFormBounds();
    showChange(Field::TotalRaces);
}

// The default set-up, as at start-up; the venue stays.
void CentralMainWindow::restoreSetUp()
{
    race.reset();
    showRaceParameters();
    ui->CurrentLoopLabel->clear();
    ui->CurrentLoopValueLabel->clear();
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

void CentralMainWindow::on_LTotalRacesToolButton_clicked()
{
    stepField(Field::TotalRaces, -1);
}

void CentralMainWindow::on_RTotalRacesToolButton_clicked()
{
    stepField(Field::TotalRaces, 1);
}

void CentralMainWindow::on_LTotalWayPtsToolButton_clicked()
{
    stepField(Field::TotalWayPoints, -1);
}

void CentralMainWindow::on_RTotalWayPtsToolButton_clicked()
{
    stepField(Field::TotalWayPoints, 1);
}

void CentralMainWindow::on_LSetupWayptToolButton_clicked()
{
    stepField(Field::SetupWayPoint, -1);
}

void CentralMainWindow::on_RSetupWayptToolButton_clicked()
{
    stepField(Field::SetupWayPoint, 1);
}

void CentralMainWindow::on_LCurrentRaceToolButton_clicked()
{
    stepField(Field::CurrentRace, -1);
}

void CentralMainWindow::on_RCurrentRaceToolButton_clicked()
{
    stepField(Field::CurrentRace, 1);
}

void CentralMainWindow::on_LStartWayptToolButton_clicked()
{
    stepField(Field::StartWayPoint, -1);
}

void CentralMainWindow::on_RStartWayptToolButton_clicked()
{
    stepField(Field::StartWayPoint, 1);
}

void CentralMainWindow::on_LEndWayptToolButton_clicked()
{
    stepField(Field::EndWayPoint, -1);
}

void CentralMainWindow::on_REndWayptToolButton_clicked()
{
    stepField(Field::EndWayPoint, 1);
}

void CentralMainWindow::on_LLoopCountToolButton_clicked()
{
    stepField(Field::LoopCount, -1);
}

void CentralMainWindow::on_RLoopCountToolButton_clicked()
{
    stepField(Field::LoopCount, 1);
}

void CentralMainWindow::on_TotalRaceslineEdit_editingFinished()
{
    typeField(Field::TotalRaces, ui->TotalRaceslineEdit->text());
}

void CentralMainWindow::on_TotalWayPtlineEdit_editingFinished()
{
    typeField(Field::TotalWayPoints, ui->TotalWayPtlineEdit->text());
}

void CentralMainWindow::on_RaceLengthLineEdit_editingFinished()
{
    typeField(Field::RaceLength, ui->RaceLengthLineEdit->text());
}

void CentralMainWindow::on_RaceCourseNameLineEdit_editingFinished()
{
    race.setVenue(ui->RaceCourseNameLineEdit->text());
}
