#include "automation/centralmainwindow.h"

#include "automation/appsettings.h"
#include "automation/centralmainwindow_ui.h"
#include "automation/engine/autoplaythread.h"
#include "ndi/ndilib.h"
#include "ndi/ndisourcefinder.h"
#include "position_editing/cameraposctrls.h"
#include "position_editing/camerasrcaddctrl.h"
#include "shell/palette.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPixmap>
#include <QSlider>
#include <QSplashScreen>
#include <QTableWidget>
#include <QTimer>
#include <set>
#include <vector>

namespace {

std::string displayName(const NDISourceInfo &source)
{
    return source.machineName + "(" + source.streamName + ")";
}

} // namespace

CentralMainWindow::CentralMainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::CentralMainWindow>())
{
    showSplash();
    initialiseNdi();
    NDISourceFinder::instance().start();
    ui->setupUi(this);
    ui->horizontalSlider->setValue(AppSettings::speedSlider(ui->horizontalSlider->value()));
    playSpeed = AutoPlayThread::speedStepFromSlider(ui->horizontalSlider->value());
    CreateInitialPanels();
    restoreSetUp();
    startSourceListTimer();
    InitSourcesTable();
    setUpInputControls();
    finishSplash();
}

CentralMainWindow::~CentralMainWindow()
{
    AppSettings::setSpeedSlider(ui->horizontalSlider->value());
    // A run in progress ends first, so its cameras still get their stop commands.
    isPlaying = false;
    StopAutoPlay();
    NDISourceFinder::instance().stop();
    if (sourceListTimer) {
        sourceListTimer->stop();
        delete sourceListTimer;
        sourceListTimer = nullptr;
    }
    // A preview thread may be copying a frame: the runtime must not free it under the copy.
    for (CameraPosCtrls *panel : panels)
        panel->RequestPreviewStop();
    for (CameraPosCtrls *panel : panels)
        panel->StopPreview();
    if (ndiInitialised)
        NDIlib_destroy();
    qDeleteAll(panels);
    panels.clear();
    delete addSourceTile;
    addSourceTile = nullptr;
    ui.reset();
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

// ---- camera panels ----

void CentralMainWindow::CreateInitialPanels()
{
    for (int i = 0; i < InitialPanels; ++i)
        appendPanel(i < FixedPanels);
    if (!addSourceTile) {
        addSourceTile = new CameraSrcAddCtrl(ui->srcWidget);
        addSourceTile->setObjectName(QStringLiteral("addSourceTile"));
        connect(addSourceTile, &CameraSrcAddCtrl::addSource, this,
                &CentralMainWindow::AddSourcePanel);
    }
    placeSourceTile();
}

CameraPosCtrls *CentralMainWindow::appendPanel(bool fixed)
{
    auto *panel = new CameraPosCtrls(fixed, ui->srcWidget);
    // Scoped to the panel itself, so the panel's own widgets keep their looks.
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(
        Palette::sheet("CameraPosCtrls{background:@caption;border:none;border-radius:5px;}"));
    connect(panel, &CameraPosCtrls::newsrcWayPtAdded, this, &CentralMainWindow::UpdateNewSrcAdded);
    connect(panel, &CameraPosCtrls::sourceClosed, this, &CentralMainWindow::RemoveClosedPanels);
    panels.append(panel);
    ui->SrcHorizontalLayout->addWidget(panel);
    panel->SetWayPointRange(race.setupWayPoint, race.startWayPoint, race.endWayPoint);
    return panel;
}

// The tile ends the row until it holds the most panels; then it is withdrawn.
void CentralMainWindow::placeSourceTile()
{
    if (panels.size() < MaxPanels) {
        ui->SrcHorizontalLayout->addWidget(addSourceTile);
        addSourceTile->show();
    } else {
        addSourceTile->hide();
    }
}

void CentralMainWindow::AddSourcePanel()
{
    if (panels.size() >= MaxPanels)
        return; // the tile is withdrawn at ten; a late signal must not add an eleventh
    ui->SrcHorizontalLayout->removeWidget(addSourceTile);
    CameraPosCtrls *panel = appendPanel(false);
    panel->jogSpeed.store(ui->horizontalSlider->value());
    std::set<NDISourceInfo> known;
    CameraDataStore::instance().copyKnownSources(known);
    QStringList names;
    for (const NDISourceInfo &source : known)
        names << QString::fromStdString(displayName(source));
    panel->AddSources(names);
    placeSourceTile();
}

void CentralMainWindow::RemoveClosedPanels()
{
    ui->SrcHorizontalLayout->removeWidget(addSourceTile);
    for (CameraPosCtrls *panel : panels)
        ui->SrcHorizontalLayout->removeWidget(panel);
    QList<CameraPosCtrls *> kept;
    for (CameraPosCtrls *panel : panels) {
        if (!panel->closed) {
            kept.append(panel);
            continue;
        }
        disconnect(panel, &CameraPosCtrls::sourceClosed, this,
                   &CentralMainWindow::RemoveClosedPanels);
        // The panel is still inside its own close handler; it goes once that has returned.
        panel->hide();
        panel->deleteLater();
    }
    panels = kept;
    for (CameraPosCtrls *panel : panels)
        ui->SrcHorizontalLayout->addWidget(panel);
    placeSourceTile();
}

// ---- sources ----

void CentralMainWindow::UpdateSourceList()
{
    std::vector<NDISourceInfo> fresh;
    bool changed = false;
    CameraDataStore::instance().takeNewSources(fresh, changed);
    if (!changed)
        return;
    QStringList names;
    for (const NDISourceInfo &source : fresh) {
        const std::string name = displayName(source);
        // A camera seen again under a known name is not offered twice, whatever its address.
        if (offeredSources.emplace(name, source.ipAddress).second)
            names << QString::fromStdString(name);
    }
    for (CameraPosCtrls *panel : panels)
        panel->AddSources(names);
}

void CentralMainWindow::InitSourcesTable()
{
    QTableWidget *table = ui->srcTableWidget;
    table->setColumnCount(1);
    table->setHorizontalHeaderLabels({tr("AutoPlay Sources")});
    table->setStyleSheet(Palette::sheet(
        "QTableWidget{background:@panel;border:1px solid @field;border-radius:5px;"
        "color:@listText;font: 10pt @font;font-weight: bold;"
        "selection-background-color:@selection;}"
        "QHeaderView::section{background:@panel;color:@white;font-weight: bold;border:none;}"));
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setColumnWidth(0, 180);
    connect(table, &QTableWidget::itemChanged, this, &CentralMainWindow::tableitemchanged);
}

void CentralMainWindow::UpdateNewSrcAdded()
{
    FillSourcesTable(CameraDataStore::instance().getAutoPlaySources());
}

void CentralMainWindow::FillSourcesTable(const CameraDataStore::SourceFlags &sources)
{
    QTableWidget *table = ui->srcTableWidget;
    // Rebuilding must not read back as the operator ticking boxes.
    const QSignalBlocker blocker(table);
    table->setRowCount(0);
    table->clearContents();
    for (const auto &[name, flag] : sources) {
        auto *item = new QTableWidgetItem(QString::fromStdString(name));
        // Checkable only: a renamed item would name no camera.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(flag > 0 ? Qt::Checked : Qt::Unchecked);
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, 0, item);
    }
}

void CentralMainWindow::tableitemchanged(QTableWidgetItem *pItem)
{
    if (!pItem)
        return;
    const int32_t flag = pItem->checkState() != Qt::Unchecked ? 1 : 0;
    CameraDataStore::instance().setAutoPlaySourceEnabled(pItem->text().toStdString(), flag);
}
