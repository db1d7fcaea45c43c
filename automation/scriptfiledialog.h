#pragma once

#include <QString>

class QWidget;

// Asks the operator for the script file of SAVE and LOAD, or a run report to chart, and tells
// them when one failed. The dialogs start in "./scripts/" (reports: "./reports/"), which is
// created when missing; SAVE and LOAD start at the script last saved or loaded instead, while
// its folder exists. Every failure shown also goes to the race-day log.
//
// Test seam: setNextFileName() presets the answer of the next ask (any kind), which then
// returns it at once without showing a dialog; an empty answer stands for a cancelled dialog.
// Each preset answers exactly one ask; the program itself never presets, so it always shows
// the dialog.
class ScriptFileDialog
{
public:
    static QString getSaveFileName(QWidget *parent);
    static QString getOpenFileName(QWidget *parent);
    // A run report to chart, starting in ReportDirectory.
    static QString getReportFileName(QWidget *parent);

    // A warning over parent that does not block: it opens window-modal, returns at once and
    // deletes itself when closed. Tests find it by FailureBoxName and read its text.
    static void showFailure(QWidget *parent, const QString &text);

    // Where the next dialog opens: a file to preselect, or a folder.
    static QString startLocation();

    static void setNextFileName(const QString &fileName);
    static bool hasNextFileName();

    static const char *const StartDirectory;
    static const char *const ReportDirectory;
    static const char *const FailureBoxName;
};
