#include "position_editing/panelstyles.h"

#include <QPalette>
#include <QWidget>

namespace {
const QColor AccentColour(0x22, 0xb2, 0x4c);

QString textStyle(const char *widgetClass, int pointSize, const QString &extra)
{
    return QStringLiteral("%1{font: %2pt 'Kumbh Sans'; font-weight: bold; color: #909090; "
                          "background: #282B2E; %3}")
        .arg(QLatin1String(widgetClass))
        .arg(pointSize)
        .arg(extra);
}
} // namespace

namespace PanelStyles {

QString panel()
{
    return QStringLiteral("QWidget{  background:#282B2E; border-radius: 5px;}");
}

QString separator()
{
    return QStringLiteral("background-color:#282B2E;");
}

QString topSeparator()
{
    return QStringLiteral("background-color:rgb(36, 36, 36);");
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

QString healthBadge(const QString &colour)
{
    return QStringLiteral("QLabel{font: 9pt 'Kumbh Sans'; font-weight: bold; color: %1; "
                          "background: #1D1F21; border: 1px solid %1; border-radius: 5px; "
                          "min-width: 132px; max-width: 132px; min-height: 24px; "
                          "max-height: 24px; padding: 0px 4px;}")
        .arg(colour);
}

QString sourceSelector()
{
    return QStringLiteral(
        "QComboBox{background: #505050; color: rgb(190, 190, 190); font: 10pt 'Kumbh Sans'; "
        "font-weight: bold; min-height: 28px; min-width: 170px; padding-left: 10px; "
        "border-radius: 5px;}"
        "QComboBox::drop-down{width: 25px; border: none;}"
        "QComboBox::down-arrow{image: url(:/images/icon_comboarrow.png);}"
        "QComboBox QAbstractItemView{background: #909090;}"
        "QComboBox QAbstractItemView::item{background: #505050; color: rgb(190, 190, 190);}");
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
    return QStringLiteral("QToolButton{min-width: 20px; max-width: 20px; min-height: 20px; "
                          "max-height: 20px; padding: 4px; border: none; image: url(%1);}"
                          "QToolButton:hover{background: #707070;}"
                          "QToolButton:pressed{background: #606060; border: 2px solid #22b24c;}")
        .arg(image);
}

QString actionButton()
{
    return QStringLiteral(
        "QPushButton{background: #22b24c; color: #FFFFFF; font: 14pt 'Kumbh Sans'; "
        "font-weight: bold; font-size: 18px; min-height: 26px; border-radius: 5px; "
        "text-align: center; padding-top: 5px;}"
        "QPushButton:disabled{background: #404040; color: #222222;}"
        "QPushButton:pressed{color: #606060; border: 1px solid #22b24c;}"
        "QPushButton:hover:!pressed{color: #FFFFFF;}");
}

QString stepButton(int pointSize)
{
    return QStringLiteral(
               "QPushButton{background: transparent; border: none; color: #909090; "
               "font: %1pt 'Kumbh Sans'; font-weight: bold; min-width: 30px; max-width: 32px; "
               "min-height: 30px; max-height: 32px; text-align: center;}"
               "QPushButton:hover{background: #707070;}"
               "QPushButton:pressed{background: #606060;}")
        .arg(pointSize);
}

QString slider()
{
    return QStringLiteral(
        "QSlider{background: #282B2E;}"
        "QSlider::groove:horizontal{height: 10px; border-radius: 4px; background: #505050;}"
        "QSlider::handle:horizontal{image: url(:/images/icon_sliderarrow.png); "
        "background: transparent; margin-bottom: -15px;}");
}

QString wayPointBox()
{
    return QStringLiteral(
        "QSpinBox{font: 12pt 'Kumbh Sans'; font-weight: bold; color: #909090; "
        "background: #282B2E; min-width: 50px; max-width: 50px; min-height: 28px; border: none;}"
        "QSpinBox::up-button{subcontrol-origin: border; subcontrol-position: top right; "
        "width: 14px; background: transparent; image: url(:/images/icon_tarrow.png);}"
        "QSpinBox::down-button{subcontrol-origin: border; subcontrol-position: bottom right; "
        "width: 14px; background: transparent; image: url(:/images/icon_darrow.png);}");
}

QString wayPointTable()
{
    return QStringLiteral(
        "QTableWidget{background: #505050; color: rgb(190, 190, 190); border-radius: 5px; "
        "font: 10pt 'Kumbh Sans'; font-weight: bold;}"
        "QHeaderView::section{color: #ffffff; font-weight: bold; background: #505050;}"
        "QTableWidget::item:selected:active, QTableWidget::item:selected:!active"
        "{background: rgb(0, 120, 215);}");
}

void applyLabelPalette(QWidget *widget)
{
    widget->setPalette(QPalette(QColor(Qt::black), AccentColour));
}

} // namespace PanelStyles
