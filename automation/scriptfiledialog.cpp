#include "automation/scriptfiledialog.h"

#include "automation/appsettings.h"
#include "automation/engine/racelog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <optional>

const char *const ScriptFileDialog::StartDirectory = "./scripts/";
const char *const ScriptFileDialog::ReportDirectory = "./reports/";
const char *const ScriptFileDialog::FailureBoxName = "scriptFailureMessageBox";

namespace {

std::optional<QString> &nextAnswer()
{
    static std::optional<QString> answer;
    return answer;
}

// Takes the preset answer, if any, so that it serves one ask only.
bool takeNextAnswer(QString &fileName)
{
    if (!nextAnswer())
        return false;
    fileName = *nextAnswer();
    nextAnswer().reset();
    return true;
}

QString filter()
{
    return QCoreApplication::translate("CentralMainWindow", "Automation script (*.kva)");
}

} // namespace

QString ScriptFileDialog::startLocation()
{
    const QString last = AppSettings::lastScript();
    if (!last.isEmpty() && QFileInfo(last).dir().exists())
        return last;
    QDir().mkpath(QString::fromLatin1(StartDirectory));
    return QString::fromLatin1(StartDirectory);
}

void ScriptFileDialog::setNextFileName(const QString &fileName)
{
    nextAnswer() = fileName;
}

bool ScriptFileDialog::hasNextFileName()
{
    return nextAnswer().has_value();
}

QString ScriptFileDialog::getSaveFileName(QWidget *parent)
{
    const QString start = startLocation();
    QString fileName;
    if (takeNextAnswer(fileName))
        return fileName;
    return QFileDialog::getSaveFileName(
        parent, QCoreApplication::translate("CentralMainWindow", "Save the auto play script"),
        start, filter());
}

QString ScriptFileDialog::getOpenFileName(QWidget *parent)
{
    const QString start = startLocation();
    QString fileName;
    if (takeNextAnswer(fileName))
        return fileName;
    return QFileDialog::getOpenFileName(
        parent, QCoreApplication::translate("CentralMainWindow", "Open the auto play script"),
        start, filter());
}

QString ScriptFileDialog::getReportFileName(QWidget *parent)
{
    QDir().mkpath(QString::fromLatin1(ReportDirectory));
    QString fileName;
    if (takeNextAnswer(fileName))
        return fileName;
    return QFileDialog::getOpenFileName(
        parent, QCoreApplication::translate("CentralMainWindow", "Open a run report"),
        QString::fromLatin1(ReportDirectory),
        QCoreApplication::translate("CentralMainWindow", "Run report (*.kva)"));
}

void ScriptFileDialog::showFailure(QWidget *parent, const QString &text)
{
    RaceLog::instance().write(QStringLiteral("warning shown: ") + text);
    auto *box = new QMessageBox(QMessageBox::Warning,
                                QCoreApplication::translate("CentralMainWindow", "Script"), text,
                                QMessageBox::Ok, parent);
    box->setObjectName(QString::fromLatin1(FailureBoxName));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open(); // window-modal, so a run's signals keep arriving
}
