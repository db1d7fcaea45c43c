#pragma once

#include <QString>

class QWidget;

// What the program remembers from one start to the next, in
// $XDG_CONFIG_HOME/trevalo/trevalo.conf (by default ~/.config/trevalo/trevalo.conf). With
// nothing remembered, every getter returns the program's own default.
//
// Off until enabled: main enables it, so the tests, tools and benchmarks that build the form
// start from the defaults and leave no trace. A test that enables it points XDG_CONFIG_HOME at
// a temporary folder first; the file is looked up again on every access.
namespace AppSettings {

void setEnabled(bool enabled);

QString filePath();

// The script last saved or loaded; empty when none.
QString lastScript();
void setLastScript(const QString &path);

int speedSlider(int defaultValue);
void setSpeedSlider(int value);

// Geometry and maximised state; a window with nothing remembered opens maximised.
void restoreWindow(QWidget &window);
void saveWindow(const QWidget &window);

} // namespace AppSettings
