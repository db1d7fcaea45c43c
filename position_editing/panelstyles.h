#pragma once

#include <QRgb>
#include <QString>

class QWidget;

// Style sheets of the camera position panel's widgets: captions on the dark panel, grey
// inputs and green actions; every text bold in the program's family.
namespace PanelStyles {
QString panel();
QString separator();
QString topSeparator();
QString wideLabel();              // version and video values, the "Positions" caption
QString narrowLabel();            // "Video Res", "Version" captions; pan, tilt and zoom values
QString captionLabel();           // "Pan", "Tilt", "Zoom", "Way Point "
QString gridCaption();            // "Zoom" and "Focus" above the sliders
QString notice();                 // a line under STORE and RESET saying why a STORE was refused
QString healthBadge(QRgb colour); // the camera's state beside the source selector
QString sourceSelector();
QString closeButton();
QString iconButton(const QString &image);
QString actionButton();            // STORE, RESET
QString stepButton(int pointSize); // "+", "-", "W", "T"
QString slider();
QString wayPointBox();
QString wayPointTable();
// Black buttons on the accent colour: the palette captions, values and the number box share.
void applyLabelPalette(QWidget *widget);
} // namespace PanelStyles
