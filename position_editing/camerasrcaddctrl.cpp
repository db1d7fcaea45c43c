#include "position_editing/camerasrcaddctrl.h"

#include <QCoreApplication>
#include <QVBoxLayout>

namespace {
constexpr int TileWidth = 350;

const char *const ButtonStyle =
    "QPushButton{border : 4px black;border-style : dashed;border-radius:5px;color: #efefef;"
    "font: 80pt 'Kumbh Sans';font-weight: bold;font-size: 120px;min-height: 630px;"
    "max-width:  340px;Text-align:center;padding-top:5px;}"
    "QPushButton:enabled{border:4px;border-style : dashed;color: #222222; }"
    "QPushButton:!enabled{background:#22b24c;border:5px;border-radius:5px;color: #efefef;}"
    "QPushButton:pressed{background-color: #22b24c;border:1px solid #22b24c;color: #606060;}"
    "QPushButton:hover:!pressed{color: #FFFFFF;}";
} // namespace

CameraSrcAddCtrl::CameraSrcAddCtrl(QWidget *parent)
    : QWidget(parent)
{
    outerLayout = new QVBoxLayout;
    setMinimumWidth(TileWidth);
    setMaximumWidth(TileWidth);
    button.setObjectName(QStringLiteral("addSourcePushButton"));
    button.setText(QCoreApplication::translate("CameraSrcAddCtrl", "+"));
    button.setStyleSheet(QString::fromLatin1(ButtonStyle));
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
