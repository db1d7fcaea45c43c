#include "automation/centralmainwindow.h"

#include "ndi/ndilib.h"
#include "ndi/ndisourcefinder.h"
#include "store/cameradatastore.h"

#include <QDebug>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>
#include <vector>

CentralMainWindow::CentralMainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    showSplash();
    initialiseNdi();
    NDISourceFinder::instance().start();
    setupUi();
    startSourceListTimer();
    finishSplash();
}

CentralMainWindow::~CentralMainWindow()
{
    NDISourceFinder::instance().stop();
    if (sourceListTimer) {
        sourceListTimer->stop();
        delete sourceListTimer;
        sourceListTimer = nullptr;
    }
    if (ndiInitialised)
        NDIlib_destroy();
}

void CentralMainWindow::showSplash()
{
    splash = new QSplashScreen(QPixmap(QStringLiteral(":/images/Zu_SplashScreen-1x.png")));
    splash->show();
}

void CentralMainWindow::initialiseNdi()
{
    ndiInitialised = NDIlib_initialize();
    if (!ndiInitialised)
        qDebug("NDI initialization failed.\n");
}

void CentralMainWindow::setupUi()
{
    setObjectName(QStringLiteral("CentralMainWindow"));
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralwidget"));
    central->setStyleSheet(QStringLiteral("#centralwidget{background:#111213;}"));
    setCentralWidget(central);
}

void CentralMainWindow::startSourceListTimer()
{
    if (sourceListTimer)
        return;
    sourceListTimer = new QTimer(this);
    connect(sourceListTimer, &QTimer::timeout, this, &CentralMainWindow::UpdateSourceList);
    sourceListTimer->start(1000);
}

void CentralMainWindow::finishSplash()
{
    if (!splash)
        return;
    // The form is not on screen until main embeds it: finishing "with the form" would make it
    // a native window and wait out Qt's one-second exposure time-out, so just close.
    splash->close();
    delete splash;
    splash = nullptr;
}

void CentralMainWindow::UpdateSourceList()
{
    std::vector<NDISourceInfo> fresh;
    bool changed = false;
    CameraDataStore::instance().takeNewSources(fresh, changed);
}
