// SAVE and LOAD of automation scripts (and of run reports, which load as scripts).
#include "automation/centralmainwindow.h"

#include "automation/appsettings.h"
#include "automation/centralmainwindow_ui.h"
#include "automation/engine/scriptfile.h"
#include "automation/scriptfiledialog.h"
#include "position_editing/cameraposctrls.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

void CentralMainWindow::on_scriptSavePushButton_clicked()
{
    const QString path = ScriptFileDialog::getSaveFileName(this);
    QString error;
    if (path.isEmpty())
        return;
    if (ScriptFile::save(path, race, error)) {
        rememberScript(path);
        return;
    }
    ScriptFileDialog::showFailure(
        this, tr("Could not save %1: %2.").arg(QDir::toNativeSeparators(path), error));
}

// The file replaces the set-up only once all of it has been read and found good.
void CentralMainWindow::on_scriptLoadPushButton_clicked()
{
    const QString path = ScriptFileDialog::getOpenFileName(this);
    if (path.isEmpty())
        return;
    QByteArray text;
    ScriptFile::Script script;
    script.race.venue = race.venue; // the one value a reset keeps
    QString error;
    if (!ScriptFile::readFile(path, text, error) || !ScriptFile::parse(text, script, error)) {
        ScriptFileDialog::showFailure(this, tr("Could not load %1: %2. The set-up is unchanged.")
                                                .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    resetSetUp();
    race = script.race;
    const ScriptFile::LoadResult loaded = ScriptFile::fileInStore(
        script, [this](const std::string &name) { return offeredSources.count(name) > 0; });
    showLoadedSetUp(loaded);
    rememberScript(path);
}

// The next SAVE or LOAD, in this run of the program or the next, starts at this file.
void CentralMainWindow::rememberScript(const QString &path)
{
    AppSettings::setLastScript(path);
    const QString name = QFileInfo(path).fileName();
    window()->setWindowTitle(tr("%1 - Trevalo").arg(name));
    ui->RaceCourseNameLineEdit->setToolTip(tr("Set-up: %1").arg(QDir::toNativeSeparators(path)));
}

void CentralMainWindow::showLoadedSetUp(const ScriptFile::LoadResult &loaded)
{
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
