#include "automation/formstyle.h"

namespace FormStyle {

namespace {

const char ButtonText[] = "color:#FFFFFF;font: 14pt 'Kumbh Sans';font-weight: bold;"
                          "font-size: 18px;min-height: 26px;text-align:center;padding-top:5px;";

} // namespace

QString labelStyle()
{
    return QStringLiteral("QLabel{\n    color:#909090;\n\tfont: 12pt 'Kumbh Sans';\n\t"
                          "font-weight: bold;\n}");
}

QString valueStyle()
{
    return QStringLiteral("QLineEdit{color:#909090;font: 12pt 'Kumbh Sans';font-weight: bold;"
                          "background:#505050;border:none;border-radius:5px;"
                          "selection-background-color:rgb(0, 120, 215);}");
}

QString stepButtonStyle(bool left)
{
    // The bundle has no hover or pressed arrows, and a missing image would blank the button
    // under the mouse; the plain arrow stays and the background marks the state instead.
    const QString image = left ? QStringLiteral(":/images/icon_larrow.png")
                               : QStringLiteral(":/images/icon_rarrow.png");
    return QStringLiteral("QToolButton{background:none;border:none;width:24px;height:24px;"
                          "padding:4px;image:url(%1);}"
                          "QToolButton:hover{background:#3a3d40;border-radius:5px;}"
                          "QToolButton:pressed{background:#22b24c;border-radius:5px;}"
                          "QToolButton:disabled{image:none;}")
        .arg(image);
}

QString pushButtonStyle(bool neutral)
{
    QString style = QStringLiteral("QPushButton{background:#22b24c;border:5px;border-radius:5px;") +
                    QLatin1String(ButtonText) +
                    QStringLiteral("}QPushButton:pressed{background:#22b24c;"
                                   "border:1px solid #22b24c;color:#282B2E;}"
                                   "QPushButton:hover:!pressed{color:#FFFFFF;}"
                                   "QPushButton:disabled{background:#22b24c;color:#efefef;}");
    if (neutral)
        style += QStringLiteral("QPushButton:enabled:!pressed{background:#505050;}");
    return style;
}

QString startButtonStyle()
{
    return QStringLiteral("QPushButton{background:#22b24c;border:5px;border-radius:5px;") +
           QLatin1String(ButtonText) +
           QStringLiteral("}QPushButton:disabled{background:#404040;color:#222222;}"
                          "QPushButton:pressed{background:#22b24c;border:1px solid #22b24c;"
                          "color:#606060;}QPushButton:hover:!pressed{color:#FFFFFF;}");
}

QString stopButtonStyle()
{
    return QStringLiteral("QPushButton{background:red;border:5px;border-radius:5px;") +
           QLatin1String(ButtonText) + QStringLiteral("}");
}

} // namespace FormStyle
