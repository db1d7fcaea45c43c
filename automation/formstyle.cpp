#include "automation/formstyle.h"

#include "shell/palette.h"

namespace FormStyle {

namespace {

const char ButtonText[] = "color:@white;font: 14pt @font;font-weight: bold;"
                          "font-size: 18px;min-height: 26px;text-align:center;padding-top:5px;";

} // namespace

QString labelStyle()
{
    return Palette::sheet("QLabel{\n    color:@caption;\n\tfont: 12pt @font;\n\t"
                          "font-weight: bold;\n}");
}

QString valueStyle()
{
    return Palette::sheet("QLineEdit{color:@caption;font: 12pt @font;font-weight: bold;"
                          "background:@field;border:none;border-radius:5px;"
                          "selection-background-color:@selection;}");
}

QString stepButtonStyle(bool left)
{
    // The bundle has no hover or pressed arrows, and a missing image would blank the button
    // under the mouse; the plain arrow stays and the background marks the state instead.
    const QString image = left ? QStringLiteral(":/images/icon_larrow.png")
                               : QStringLiteral(":/images/icon_rarrow.png");
    return Palette::sheet("QToolButton{background:none;border:none;width:24px;height:24px;"
                          "padding:4px;image:url(%1);}"
                          "QToolButton:hover{background:@raised;border-radius:5px;}"
                          "QToolButton:pressed{background:@accent;border-radius:5px;}"
                          "QToolButton:disabled{image:none;}")
        .arg(image);
}

QString pushButtonStyle(bool neutral)
{
    QString style = Palette::sheet("QPushButton{background:@accent;border:5px;border-radius:5px;") +
                    Palette::sheet(ButtonText) +
                    Palette::sheet("}QPushButton:pressed{background:@accent;"
                                   "border:1px solid @accent;color:@panel;}"
                                   "QPushButton:hover:!pressed{color:@white;}"
                                   "QPushButton:disabled{background:@accent;color:@onAccent;}");
    if (neutral)
        style += Palette::sheet("QPushButton:enabled:!pressed{background:@field;}");
    return style;
}

QString startButtonStyle()
{
    return Palette::sheet("QPushButton{background:@accent;border:5px;border-radius:5px;") +
           Palette::sheet(ButtonText) +
           Palette::sheet("}QPushButton:disabled{background:@disabled;color:@disabledText;}"
                          "QPushButton:pressed{background:@accent;border:1px solid @accent;"
                          "color:@pressed;}QPushButton:hover:!pressed{color:@white;}");
}

QString stopButtonStyle()
{
    return Palette::sheet("QPushButton{background:@stop;border:5px;border-radius:5px;") +
           Palette::sheet(ButtonText) + QStringLiteral("}");
}

} // namespace FormStyle
