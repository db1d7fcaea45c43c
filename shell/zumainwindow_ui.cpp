#include "shell/zumainwindow_ui.h"

#include "shell/palette.h"
#include "shell/shellstyle.h"
#include "shell/windowdragger.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

void clearSpacing(QBoxLayout *layout)
{
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
}

QLabel *pixmapLabel(QWidget *parent, const char *name, const QSize &size, const char *image)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    label->setMinimumSize(size);
    label->setMaximumSize(size);
    label->setPixmap(QPixmap(QString::fromUtf8(image)));
    return label;
}

QToolButton *windowButton(QWidget *parent, const char *name, const char *imageBase, bool bold)
{
    auto *button = new QToolButton(parent);
    const QString objectName = QString::fromUtf8(name);
    button->setObjectName(objectName);
    if (bold)
        button->setFont(Palette::font(0, QFont::Bold));
    button->setStyleSheet(
        ShellStyle::windowButtonStyleSheet(objectName, QString::fromUtf8(imageBase)));
    return button;
}

} // namespace

void Ui_ZuMainWindow::setupUi(QWidget *ZuMainWindow)
{
    setupWindow(ZuMainWindow);
    setupFrame(ZuMainWindow);
    setupTitlebar();
    setupWindowButtons();
    setupContent();
    retranslateUi(ZuMainWindow);
    QMetaObject::connectSlotsByName(ZuMainWindow);
}

void Ui_ZuMainWindow::setupWindow(QWidget *ZuMainWindow)
{
    if (ZuMainWindow->objectName().isEmpty())
        ZuMainWindow->setObjectName(QString::fromUtf8("ZuMainWindow"));
    ZuMainWindow->resize(1900, 900);
    ZuMainWindow->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    ZuMainWindow->setMinimumSize(QSize(1900, 900));
    ZuMainWindow->setMaximumSize(QSize(3840, 2160));
    ZuMainWindow->setAutoFillBackground(false);
    verticalLayout_2 = new QVBoxLayout(ZuMainWindow);
    verticalLayout_2->setObjectName(QString::fromUtf8("verticalLayout_2"));
    clearSpacing(verticalLayout_2);
}

void Ui_ZuMainWindow::setupFrame(QWidget *ZuMainWindow)
{
    windowFrame = new QWidget(ZuMainWindow);
    windowFrame->setObjectName(QString::fromUtf8("windowFrame"));
    windowFrame->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    windowFrame->setMinimumSize(QSize(1600, 900));
    windowFrame->setMaximumSize(QSize(3840, 2160));
    windowFrame->setStyleSheet(Palette::sheet("#windowFrame\n{\n background-color:@frame;\n}"));
    verticalLayout = new QVBoxLayout(windowFrame);
    verticalLayout->setObjectName(QString::fromUtf8("verticalLayout"));
    clearSpacing(verticalLayout);
    verticalLayout_2->addWidget(windowFrame);
}

void Ui_ZuMainWindow::setupTitlebar()
{
    windowTitlebar = new WindowDragger(windowFrame);
    windowTitlebar->setObjectName(QString::fromUtf8("windowTitlebar"));
    windowTitlebar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    windowTitlebar->setMinimumSize(QSize(1100, 80));
    windowTitlebar->setMaximumSize(QSize(16777215, 80));
    windowTitlebar->setStyleSheet(Palette::sheet(
        "#windowTitlebar{\n\tborder: none; \n\theight:50px;\n\tbackground:@accent;\n}"));
    horizontalLayout = new QHBoxLayout(windowTitlebar);
    horizontalLayout->setObjectName(QString::fromUtf8("horizontalLayout"));
    clearSpacing(horizontalLayout);

    logoLabel =
        pixmapLabel(windowTitlebar, "logoLabel", QSize(258, 80), ":/images/Korvane-logo-only.png");
    horizontalLayout->addWidget(logoLabel);

    titlButton = new QPushButton(windowTitlebar);
    titlButton->setObjectName(QString::fromUtf8("titlButton"));
    titlButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);
    titlButton->setMinimumSize(QSize(600, 80));
    titlButton->setMaximumSize(QSize(600, 80));
    titlButton->setFont(Palette::font(22, QFont::Normal));
    titlButton->setIconSize(QSize(928, 16));
    titlButton->setStyleSheet(Palette::sheet("border:none;\n"
                                             "color:@white;\n"
                                             "padding-top:20px;\n"
                                             "padding-right:20px;\n"
                                             "text-align:left;\n"
                                             "font: 22pt @font;"));
    horizontalLayout->addWidget(titlButton);

    horizontalSpacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    horizontalLayout->addItem(horizontalSpacer);

    label = pixmapLabel(windowTitlebar, "label", QSize(134, 80), ":/images/NDI-logo.png");
    horizontalLayout->addWidget(label);
    verticalLayout->addWidget(windowTitlebar);
}

void Ui_ZuMainWindow::setupWindowButtons()
{
    minimizeButton = windowButton(windowTitlebar, "minimizeButton", "icon_window_minimize", true);
    restoreButton = windowButton(windowTitlebar, "restoreButton", "icon_window_restore", false);
    maximizeButton = windowButton(windowTitlebar, "maximizeButton", "icon_window_maximize", false);
    closeButton = windowButton(windowTitlebar, "closeButton", "icon_window_close", true);
    for (QToolButton *button : {minimizeButton, restoreButton, maximizeButton, closeButton})
        horizontalLayout->addWidget(button);
}

void Ui_ZuMainWindow::setupContent()
{
    windowContent = new QWidget(windowFrame);
    windowContent->setObjectName(QString::fromUtf8("windowContent"));
    windowContent->setAutoFillBackground(false);
    windowContent->setStyleSheet(
        Palette::sheet("#windowContent{\n  border: 0px none @white;\n\n}"));
    verticalLayout_3 = new QVBoxLayout(windowContent);
    verticalLayout_3->setObjectName(QString::fromUtf8("verticalLayout_3"));
    clearSpacing(verticalLayout_3);
    verticalLayout->addWidget(windowContent);
}

void Ui_ZuMainWindow::retranslateUi(QWidget *)
{
    logoLabel->setText(QString());
    titlButton->setText(QCoreApplication::translate("ZuMainWindow", "TREVALO       "));
    label->setText(QString());
}
