#include "shell/appresources.h"

#include <QApplication>

int runJoyPadTests(int argc, char **argv);
int runCameraSrcAddCtrlTests(int argc, char **argv);
int runPositionTextTests(int argc, char **argv);
int runCameraPosCtrlsTests(int argc, char **argv);
int runCameraHealthTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    AppResources::initBundle();
    int failures = 0;
    for (auto run : {runJoyPadTests, runCameraSrcAddCtrlTests, runPositionTextTests,
                     runCameraPosCtrlsTests, runCameraHealthTests})
        failures += run(argc, argv);
    return failures;
}
