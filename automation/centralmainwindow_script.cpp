// SAVE and LOAD of automation scripts (and of run reports, which load as scripts).
#include "automation/centralmainwindow.h"

#include "automation/centralmainwindow_ui.h"
#include "automation/scriptfile.h"
#include "automation/scriptfiledialog.h"
#include "position_editing/cameraposctrls.h"

#include <QLineEdit>

void CentralMainWindow::on_scriptSavePushButton_clicked()
{
    ScriptFile::save(ScriptFileDialog::getSaveFileName(this), race);
}

void CentralMainWindow::on_scriptLoadPushButton_clicked()
{
    QByteArray data;
    if (!ScriptFile::readFile(ScriptFileDialog::getOpenFileName(this), data))
        return;
    // From here on the file replaces the set-up, even when it turns out not to parse.
    resetSetUp();
    const ScriptFile::LoadResult loaded = ScriptFile::load(
        data, race, [this](const std::string &name) { return offeredSources.count(name) > 0; });

    UpdateTotalWayPoints();
    applyTotalRaces();
    ShowRaceLength();
    CheckLoopCount();
    ShowLoopCount();
    ui->RaceCourseNameLineEdit->setText(QString::fromStdString(race.venue));

    auto name = loaded.sourcesToAssign.begin();
    for (CameraPosCtrls *panel : panels) {
        const bool named = name != loaded.sourcesToAssign.end();
        panel->SelectSource(named ? QString::fromStdString(*name++) : QStringLiteral("None"));
    }
    CameraDataStore::instance().setAutoPlaySources(loaded.flags);
    FillSourcesTable(loaded.flags);
}
