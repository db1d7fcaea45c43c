#pragma once

#include <QString>

// Style sheets of the automation form that change at run time or are shared by several of its
// widgets.
namespace FormStyle {

QString labelStyle();
QString valueStyle(); // the parameter line edits: the label colour and font on an input field
QString stepButtonStyle(bool left);
// The large push buttons; neutral ones sit on the field grey while enabled, the others on green.
QString pushButtonStyle(bool neutral);
QString startButtonStyle(); // START/STOP while idle
QString stopButtonStyle();  // START/STOP during a run

} // namespace FormStyle
