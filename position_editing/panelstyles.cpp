#include "position_editing/panelstyles.h"

#include "shell/palette.h"

#include <QPalette>
#include <QWidget>

namespace {
QString textStyle(const char *widgetClass, int pointSize, const QString &extra)
{
    return Palette::sheet("%1{font: %2pt @font; font-weight: bold; color: @caption; "
                          "background: @panel; %3}")
        .arg(QLatin1String(widgetClass))
        .arg(pointSize)
        .arg(extra);
}
} // namespace

namespace PanelStyles {

QString panel()
{
    return Palette::sheet("QWidget{  background:@panel; border-radius: 5px;}");
}

QString separator()
{
    return Palette::sheet("background-color:@panel;");
}

QString topSeparator()
{
    return Palette::sheet("background-color:@topRule;");
}

QString wideLabel()
{
    return textStyle("QLabel", 12,
                     QStringLiteral("min-width: 250px; max-width: 370px; "
                                    "min-height: 28px;"));
}

QString narrowLabel()
{
    return textStyle("QLabel", 12,
                     QStringLiteral("min-width: 150px; max-width: 135px; "
                                    "min-height: 28px;"));
}

QString captionLabel()
{
    return textStyle("QLabel", 12,
                     QStringLiteral("min-width: 130px; max-width: 130px; "
                                    "min-height: 30px;"));
}

QString gridCaption()
{
    return textStyle("QLabel", 10,
                     QStringLiteral("min-width: 65px; max-width: 100px; "
                                    "min-height: 30px; margin-bottom: -30px;"));
}

QString notice()
{
    return textStyle("QLabel", 10, QString());
}

QString healthBadge(QRgb colour)
{
    return Palette::sheet("QLabel{font: 9pt @font; font-weight: bold; color: %1; "
                          "background: @bar; border: 1px solid %1; border-radius: 5px; "
                          "min-width: 132px; max-width: 132px; min-height: 24px; "
                          "max-height: 24px; padding: 0px 4px;}")
        .arg(Palette::css(colour));
}

QString sourceSelector()
{
    return Palette::sheet(
        "QComboBox{background: @field; color: @listText; font: 10pt @font; "
        "font-weight: bold; min-height: 28px; min-width: 170px; padding-left: 10px; "
        "border-radius: 5px;}"
        "QComboBox::drop-down{width: 25px; border: none;}"
        "QComboBox::down-arrow{image: url(:/images/icon_comboarrow.png);}"
        "QComboBox QAbstractItemView{background: @caption;}"
        "QComboBox QAbstractItemView::item{background: @field; color: @listText;}");
}

QString closeButton()
{
    return QStringLiteral(
        "QToolButton{min-width: 24px; max-width: 24px; min-height: 24px; max-height: 24px; "
        "padding: 4px; border: none; image: url(:images/icon_window_close.png);}"
        "QToolButton:hover{image: url(:images/icon_window_close_hover.png);}"
        "QToolButton:pressed{image: url(:images/icon_window_close_pressed.png);}");
}

QString iconButton(const QString &image)
{
    return Palette::sheet("QToolButton{min-width: 20px; max-width: 20px; min-height: 20px; "
                          "max-height: 20px; padding: 4px; border: none; image: url(%1);}"
                          "QToolButton:hover{background: @hover;}"
                          "QToolButton:pressed{background: @pressed; border: 2px solid @accent;}")
        .arg(image);
}

QString actionButton()
{
    return Palette::sheet(
        "QPushButton{background: @accent; color: @white; font: 14pt @font; "
        "font-weight: bold; font-size: 18px; min-height: 26px; border-radius: 5px; "
        "text-align: center; padding-top: 5px;}"
        "QPushButton:disabled{background: @disabled; color: @disabledText;}"
        "QPushButton:pressed{color: @pressed; border: 1px solid @accent;}"
        "QPushButton:hover:!pressed{color: @white;}");
}

QString stepButton(int pointSize)
{
    return Palette::sheet("QPushButton{background: transparent; border: none; color: @caption; "
                          "font: %1pt @font; font-weight: bold; min-width: 30px; max-width: 32px; "
                          "min-height: 30px; max-height: 32px; text-align: center;}"
                          "QPushButton:hover{background: @hover;}"
                          "QPushButton:pressed{background: @pressed;}")
        .arg(pointSize);
}

QString slider()
{
    return Palette::sheet(
        "QSlider{background: @panel;}"
        "QSlider::groove:horizontal{height: 10px; border-radius: 4px; background: @field;}"
        "QSlider::handle:horizontal{image: url(:/images/icon_sliderarrow.png); "
        "background: transparent; margin-bottom: -15px;}");
}

QString wayPointBox()
{
    return Palette::sheet(
        "QSpinBox{font: 12pt @font; font-weight: bold; color: @caption; "
        "background: @panel; min-width: 50px; max-width: 50px; min-height: 28px; border: none;}"
        "QSpinBox::up-button{subcontrol-origin: border; subcontrol-position: top right; "
        "width: 14px; background: transparent; image: url(:/images/icon_tarrow.png);}"
        "QSpinBox::down-button{subcontrol-origin: border; subcontrol-position: bottom right; "
        "width: 14px; background: transparent; image: url(:/images/icon_darrow.png);}");
}

QString wayPointTable()
{
    return Palette::sheet(
        "QTableWidget{background: @field; color: @listText; border-radius: 5px; "
        "font: 10pt @font; font-weight: bold;}"
        "QHeaderView::section{color: @white; font-weight: bold; background: @field;}"
        "QTableWidget::item:selected:active, QTableWidget::item:selected:!active"
        "{background: @selection;}");
}

void applyLabelPalette(QWidget *widget)
{
    widget->setPalette(QPalette(QColor(Palette::black), QColor(Palette::accent)));
}

} // namespace PanelStyles
