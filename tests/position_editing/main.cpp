#include "shell/appresources.h"

#include <QApplication>

int runJoyPadTests(int argc, char **argv);
int runPanelTextsTests(int argc, char **argv);
int runCameraPosCtrlsTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    AppResources::initBundle();
    return runJoyPadTests(argc, argv) + runPanelTextsTests(argc, argv) +
           runCameraPosCtrlsTests(argc, argv);
}
