#pragma once

#include <QString>

class QWidget;

// Asks the operator for the script file of SAVE and LOAD. The dialogs start in "./scripts/",
// which is created when missing.
//
// Test seam: setNextFileName() presets the answer of the next ask (either kind), which then
// returns it at once without showing a dialog; an empty answer stands for a cancelled dialog.
// Each preset answers exactly one ask; the program itself never presets, so it always shows
// the dialog.
class ScriptFileDialog
{
public:
    static QString getSaveFileName(QWidget *parent);
    static QString getOpenFileName(QWidget *parent);

    static void setNextFileName(const QString &fileName);
    static bool hasNextFileName();

    static const char *const StartDirectory;
};
