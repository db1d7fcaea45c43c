// The run chart: shown for the report a START run wrote, or for one the operator opens.
#include "automation/centralmainwindow.h"

#include "automation/runchart.h"
#include "automation/scriptfiledialog.h"

#include <QDir>
#include <QFileInfo>

void CentralMainWindow::on_OpenReportPushButton_clicked()
{
    const QString path = ScriptFileDialog::getReportFileName(this);
    if (!path.isEmpty())
        showRunChart(path);
}

void CentralMainWindow::showWrittenReport(const QString &path, bool ok)
{
    if (ok) {
        showRunChart(path);
        return;
    }
    ScriptFileDialog::showFailure(
        this, tr("Could not write the run report %1: the disk may be full or the folder not "
                 "writable.")
                  .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
}

void CentralMainWindow::showRunChart(const QString &reportPath)
{
    if (!runChart)
        runChart = new RunChart(this);
    QString error;
    if (!runChart->showReport(reportPath, error)) {
        ScriptFileDialog::showFailure(
            this, tr("Could not chart %1: %2.").arg(QDir::toNativeSeparators(reportPath), error));
        return;
    }
    // Non-modal, so the operator can start the next run with the chart still open.
    runChart->show();
    runChart->raise();
}
