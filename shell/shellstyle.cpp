#include "shell/shellstyle.h"

namespace ShellStyle {

QString windowButtonStyleSheet(const QString &objectName, const QString &imageBase)
{
    return QStringLiteral("#%1{\n"
                          "  background-color:none;\n"
                          "  border:none;\n"
                          "  width:24px;\n"
                          "  height:24px;\n"
                          "  padding:4px;\n"
                          "  image:url(:images/%2.png);\n"
                          "}\n"
                          "#%1:hover{\n"
                          "   image:url(:images/%2_hover.png);\n"
                          "}\n"
                          "#%1:pressed{\n"
                          "   image:url(:images/%2_pressed.png);\n"
                          "}")
        .arg(objectName, imageBase);
}

} // namespace ShellStyle
