#pragma once

class QHBoxLayout;
class QLabel;
class QPushButton;
class QSpacerItem;
class QToolButton;
class QVBoxLayout;
class QWidget;
class WindowDragger;

// The main window's form: its own title bar above the content area the automation form fills.
class Ui_ZuMainWindow
{
public:
    QVBoxLayout *verticalLayout_2 = nullptr;
    QWidget *windowFrame = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    WindowDragger *windowTitlebar = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QLabel *logoLabel = nullptr;
    QPushButton *titlButton = nullptr;
    QSpacerItem *horizontalSpacer = nullptr;
    QLabel *label = nullptr;
    QToolButton *minimizeButton = nullptr;
    QToolButton *restoreButton = nullptr;
    QToolButton *maximizeButton = nullptr;
    QToolButton *closeButton = nullptr;
    QWidget *windowContent = nullptr;
    QVBoxLayout *verticalLayout_3 = nullptr;

    void setupUi(QWidget *ZuMainWindow);
    void retranslateUi(QWidget *ZuMainWindow);

private:
    void setupWindow(QWidget *ZuMainWindow);
    void setupFrame(QWidget *ZuMainWindow);
    void setupTitlebar();
    void setupWindowButtons();
    void setupContent();
};

namespace Ui {
class ZuMainWindow : public Ui_ZuMainWindow
{
};
} // namespace Ui
