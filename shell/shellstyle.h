#pragma once

#include <QFont>
#include <QString>

namespace ShellStyle {

constexpr char fontFamily[] = "Kumbh Sans";

// A font in the program's family; pointSize <= 0 keeps the default size.
QFont font(int pointSize, int weight);

// The image-only window button style shared by the main window and the About box.
QString windowButtonStyleSheet(const QString &objectName, const QString &imageBase);

} // namespace ShellStyle
