#pragma once

#include <QString>

namespace ShellStyle {

// The image-only window button style shared by the main window and the About box.
QString windowButtonStyleSheet(const QString &objectName, const QString &imageBase);

} // namespace ShellStyle
