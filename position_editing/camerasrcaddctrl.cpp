#include "position_editing/camerasrcaddctrl.h"

#include "shell/palette.h"

#include <QCoreApplication>
#include <QVBoxLayout>

namespace {
constexpr int TileWidth = 350;

const char ButtonStyle[] =
    "QPushButton{border : 4px @black;border-style : dashed;border-radius:5px;color: @onAccent;"
    "font: 80pt @font;font-weight: bold;font-size: 120px;min-height: 630px;"
    "max-width:  340px;Text-align:center;padding-top:5px;}"
    "QPushButton:enabled{border:4px;border-style : dashed;color: @disabledText; }"
    "QPushButton:!enabled{background:@accent;border:5px;border-radius:5px;color: @onAccent;}"
    "QPushButton:pressed{background-color: @accent;border:1px solid @accent;color: @pressed;}"
    "QPushButton:hover:!pressed{color: @white;}";
} // namespace

CameraSrcAddCtrl::CameraSrcAddCtrl(QWidget *parent)
    : QWidget(parent)
{
    outerLayout = new QVBoxLayout;
    setMinimumWidth(TileWidth);
    setMaximumWidth(TileWidth);
    button.setObjectName(QStringLiteral("addSourcePushButton"));
    button.setText(QCoreApplication::translate("CameraSrcAddCtrl", "+"));
    button.setStyleSheet(Palette::sheet(ButtonStyle));
    buttonRow.addWidget(&button);
    buttonRow.setSpacing(5);
    outerLayout->addLayout(&buttonRow);
    connect(&button, &QPushButton::released, this, &CameraSrcAddCtrl::addSource);
    setLayout(outerLayout);
}

CameraSrcAddCtrl::~CameraSrcAddCtrl()
{
    // The row and the button are members: unhook them before the owning layouts would delete
    // them or touch a destroyed button.
    while (outerLayout->takeAt(0) != nullptr) {
    }
    buttonRow.setParent(nullptr);
    delete outerLayout;
    buttonRow.removeWidget(&button);
}
