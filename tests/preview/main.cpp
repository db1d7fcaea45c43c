#include "shell/appresources.h"

#include <QApplication>

int runVideoPlayerTests(int argc, char **argv);
int runVideoStreamThreadTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    AppResources::initBundle();
    return runVideoPlayerTests(argc, argv) + runVideoStreamThreadTests(argc, argv);
}
