#include "position_editing/cameraposctrls.h"

#include "automation/viscalink.h"
#include "camera_control/httphandler.h"
#include "camera_control/viscacommand.h"
#include "ndi/ndisourcename.h"
#include "ndi/previewreceiver.h"
#include "ndi/videoplayer.h"
#include "ndi/videostreamthread.h"
#include "position_editing/joypad.h"
#include "position_editing/panelstyles.h"
#include "position_editing/positiontext.h"
#include "store/cameradatastore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <cmath>

namespace {
constexpr int PanelWidth = 382;
constexpr int PositionRefreshDelayMs = 300;
constexpr int ZoomFetchDelayMs = 300;
constexpr int FocusFetchDelayMs = 200;
constexpr int32_t PanTiltStopCode = 0x33;
constexpr int32_t ManualFocus = 0x03;
constexpr int32_t AutoFocus = 0x02;
constexpr int32_t FarOrTele = 0x20;
constexpr int32_t NearOrWide = 0x30;

QString noneText()
{
    return QCoreApplication::translate("CameraPosCtrls", "None");
}

QTableWidgetItem *centredItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return item;
}
} // namespace

// Counts a slot that waits in a nested event loop; a close requested meanwhile is announced
// only once the outermost such slot has finished.
class NestedWaitGuard
{
public:
    explicit NestedWaitGuard(CameraPosCtrls &panel)
        : panel(panel)
    {
        ++panel.nestedWaits;
    }
    ~NestedWaitGuard()
    {
        if (--panel.nestedWaits == 0 && panel.closePending)
            panel.postCloseSignal();
    }
    NestedWaitGuard(const NestedWaitGuard &) = delete;
    NestedWaitGuard &operator=(const NestedWaitGuard &) = delete;

private:
    CameraPosCtrls &panel;
};

CameraPosCtrls::CameraPosCtrls(bool fixed, QWidget *parent)
    : QWidget(parent)
    , fixed(fixed)
    , sourceName(noneText())
{
    setMinimumWidth(PanelWidth);
    setMaximumWidth(PanelWidth);
    setStyleSheet(PanelStyles::panel());
    ui.setupUi(this, fixed);
    preview = ui.preview;
    connectWidgets();
    setCameraControlsEnabled(false);
}

CameraPosCtrls::~CameraPosCtrls()
{
    disconnect(ui.srcSelectComboBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
               &CameraPosCtrls::UpdateSrcSelect);
    closePending = false;
    StopPreview();
    discardPendingFrames();
    ClearWayPoints();
    ui.srcSelectComboBox->hide();
    if (!fixed)
        ui.closeToolButton->hide();
    preview->hide();
    delete layout();
}

void CameraPosCtrls::connectWidgets()
{
    connect(ui.closeToolButton, &QToolButton::released, this, &CameraPosCtrls::HandleClose);
    connect(ui.srcSelectComboBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CameraPosCtrls::UpdateSrcSelect);
    connect(ui.linkToolButton, &QToolButton::released, this, &CameraPosCtrls::OpenCameraLink);
    connect(ui.posRefreshButton, &QToolButton::clicked, this,
            &CameraPosCtrls::on_posRefreshButton_clicked);
    connect(ui.presetStoreButton, &QPushButton::clicked, this,
            &CameraPosCtrls::on_presetStoreButton_clicked);
    connect(ui.presetResetButton, &QPushButton::clicked, this,
            &CameraPosCtrls::on_presetResetButton_clicked);
    connect(ui.wayPointSpinBox, qOverload<int>(&QSpinBox::valueChanged), this,
            &CameraPosCtrls::on_wayPointValueChanged);
    connect(ui.btnCameraFocusDecrease, &QPushButton::pressed, this,
            &CameraPosCtrls::on_btnCameraFocusDecrease_pressed);
    connect(ui.btnCameraFocusDecrease, &QPushButton::released, this,
            &CameraPosCtrls::on_btnCameraFocusDecrease_released);
    connect(ui.btnCameraFocusIncrease, &QPushButton::pressed, this,
            &CameraPosCtrls::on_btnCameraFocusIncrease_pressed);
    connect(ui.btnCameraFocusIncrease, &QPushButton::released, this,
            &CameraPosCtrls::on_btnCameraFocusIncrease_released);
    connect(ui.btnCameraZoomWide, &QPushButton::pressed, this,
            &CameraPosCtrls::on_btnCameraZoomWide_pressed);
    connect(ui.btnCameraZoomWide, &QPushButton::released, this,
            &CameraPosCtrls::on_btnCameraZoomWide_released);
    connect(ui.btnCameraZoomTele, &QPushButton::pressed, this,
            &CameraPosCtrls::on_btnCameraZoomTele_pressed);
    connect(ui.btnCameraZoomTele, &QPushButton::released, this,
            &CameraPosCtrls::on_btnCameraZoomTele_released);
    connect(ui.joyPad, &JoyPad::emitValue, this, &CameraPosCtrls::HandleJoyPadValue);
    connect(ui.joyPad, &JoyPad::mouseReleased, this, &CameraPosCtrls::ReadPanTilt);
}

void CameraPosCtrls::setCameraControlsEnabled(bool enabled)
{
    QWidget *const controls[] = {
        ui.presetStoreButton, ui.presetResetButton,      ui.posRefreshButton,
        ui.linkToolButton,    ui.wayPointSpinBox,        ui.btnCameraZoomWide,
        ui.btnCameraZoomTele, ui.btnCameraFocusIncrease, ui.btnCameraFocusDecrease,
        ui.focusSpeedSlider,  ui.zoomSpeedSlider,        ui.joyPad};
    for (QWidget *control : controls)
        control->setEnabled(enabled);
}

void CameraPosCtrls::applyEnableRule()
{
    setCameraControlsEnabled(sourceName != noneText());
}

// ---- operations of the form ----

void CameraPosCtrls::AddSources(const QStringList &names)
{
    QComboBox *selector = ui.srcSelectComboBox;
    const QString before = selector->currentText();
    for (const QString &name : names)
        selector->addItem(name);
    if (before.isEmpty()) {
        selector->setCurrentIndex(0);
        return;
    }
    const int index = selector->findText(before, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        selector->setCurrentIndex(index);
}

void CameraPosCtrls::SelectSource(const QString &name)
{
    const int index =
        ui.srcSelectComboBox->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        ui.srcSelectComboBox->setCurrentIndex(index);
}

void CameraPosCtrls::SetWayPointRange(int16_t value, int16_t minimum, int16_t maximum)
{
    ui.wayPointSpinBox->setRange(minimum, maximum);
    ui.wayPointSpinBox->setValue(value);
    wayPointNumber = value;
}

void CameraPosCtrls::ShowPositions(int32_t newPan, int32_t newTilt, int32_t newFocus,
                                   int32_t newZoom)
{
    if (newPan != pan) {
        pan = newPan;
        ui.panValueLabel->setText(PanText(pan, isR5x0));
    }
    if (newTilt != tilt) {
        tilt = newTilt;
        ui.tiltValueLabel->setText(TiltText(tilt));
    }
    focus = newFocus;
    if (newZoom != zoom)
        setZoom(newZoom);
}

// ---- source switch ----

void CameraPosCtrls::UpdateSrcSelect()
{
    const QString selected = ui.srcSelectComboBox->currentText();
    if (selected == sourceName) {
        applyEnableRule();
        return;
    }
    const NestedWaitGuard guard(*this);
    const uint64_t generation = ++switchGeneration;
    StopPreview();
    ClearWayPoints();
    sourceName = selected;
    address.clear();
    ui.videoResValueLabel->clear();
    ui.versionValueLabel->clear();
    if (sourceName == noneText()) {
        clearCamera();
        return;
    }
    openReceiver(lookUpAddress());
    if (!queryWebInterface(generation))
        return;
    loadWayPoints();
    ui.wayPointSpinBox->setEnabled(true);
    applyEnableRule();
}

void CameraPosCtrls::clearCamera()
{
    ui.panValueLabel->clear();
    ui.tiltValueLabel->clear();
    ui.zoomValueLabel->clear();
    pan = tilt = focus = zoom = 0;
    isR5x0 = false;
    version.clear();
    ui.wayPointSpinBox->setEnabled(false);
    setCameraControlsEnabled(false);
}

// Fills address from the discovered sources and returns the stream's port (0 when unknown).
uint16_t CameraPosCtrls::lookUpAddress()
{
    std::string machineName;
    std::string streamName;
    splitSourceName(sourceName.toStdString(), machineName, streamName);
    std::string foundAddress;
    uint16_t port = 0;
    if (CameraDataStore::instance().findSourceAddress(machineName, streamName, foundAddress, port))
        address = foundAddress;
    return port;
}

void CameraPosCtrls::openReceiver(uint16_t port)
{
    const QByteArray ndiName = sourceName.toUtf8();
    const QByteArray urlAddress =
        QString::fromStdString(address + ":" + std::to_string(port)).toUtf8();
    // A source that was never discovered has no address: the runtime looks it up by name.
    receiver = openPreviewReceiver(ndiName.constData(),
                                   address.empty() ? nullptr : urlAddress.constData());
    if (!receiver) {
        ui.videoResValueLabel->clear();
        ui.versionValueLabel->clear();
        return;
    }
    previewThread = new VideoStreamThread(receiver, this);
    connect(previewThread, &VideoStreamThread::ResultReady, this,
            &CameraPosCtrls::HandleVideoFrames);
    previewThread->start(QThread::InheritPriority);
    QTimer::singleShot(PositionRefreshDelayMs, this, &CameraPosCtrls::on_posRefreshButton_clicked);
}

// Each query waits in a nested event loop, where the operator may have switched again or
// closed the panel: false when this switch has been superseded.
bool CameraPosCtrls::queryWebInterface(uint64_t generation)
{
    auto superseded = [&] { return generation != switchGeneration || closed || closePending; };
    const QString cameraAddress = QString::fromStdString(address);
    QString videoFormat;
    const bool haveFormat = HttpHandler::instance().getVideoFormat(cameraAddress, videoFormat);
    if (superseded())
        return false;
    if (haveFormat)
        ui.videoResValueLabel->setText(videoFormat);

    version.clear();
    isR5x0 = false;
    QString reportedVersion;
    const bool haveVersion = HttpHandler::instance().getVersion(cameraAddress, reportedVersion);
    if (superseded())
        return false;
    if (haveVersion) {
        version = reportedVersion;
        ui.versionValueLabel->setText(version);
        isR5x0 = version.contains(QLatin1String("R520")) || version.contains(QLatin1String("R530"));
    }
    return true;
}

void CameraPosCtrls::loadWayPoints()
{
    std::map<int32_t, WayPoint> stored;
    CameraDataStore::instance().getCameraWayPoints(sourceName.toStdString(), stored);
    RefreshWayPointTable(stored);
}

void CameraPosCtrls::RequestPreviewStop()
{
    if (previewThread)
        previewThread->running = false;
}

void CameraPosCtrls::StopPreview()
{
    try {
        if (previewThread) {
            RequestPreviewStop();
            if (previewThread->isRunning())
                previewThread->wait();
            delete previewThread;
            previewThread = nullptr;
        }
        if (receiver) {
            NDIlib_recv_destroy(receiver);
            receiver = nullptr;
        }
    } catch (...) {
    }
}

void CameraPosCtrls::HandleVideoFrames(int width, int height, uint8_t *pData)
{
    if (discardingFrames) {
        delete[] pData;
        return;
    }
    preview->presentFrame(width, height, pData);
}

// Frames still queued for this panel would be dropped with it, and their buffers with them.
void CameraPosCtrls::discardPendingFrames()
{
    discardingFrames = true;
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

// ---- closing ----

void CameraPosCtrls::HandleClose()
{
    ui.closeToolButton->setEnabled(false);
    ui.srcSelectComboBox->hide();
    if (!fixed)
        ui.closeToolButton->hide();
    preview->hide();
    StopPreview();
    closePending = true;
    if (nestedWaits == 0)
        postCloseSignal();
}

// The form deletes a closed panel when it hears of it. So the flag and the signal come from
// the event loop, with none of this panel's slots on the stack: the call is queued on the
// application object, which outlives the panel.
void CameraPosCtrls::postCloseSignal()
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [panel = QPointer<CameraPosCtrls>(this)] {
            if (panel)
                panel->emitCloseWhenSafe();
        },
        Qt::QueuedConnection);
}

void CameraPosCtrls::emitCloseWhenSafe()
{
    if (!closePending || nestedWaits > 0)
        return;
    closePending = false;
    closed = true;
    emit sourceClosed();
}

// ---- camera exchanges ----

void CameraPosCtrls::SendDrive(int32_t type, int32_t value)
{
    ViscaLink(sequenceCounter).send(type, address, value);
}

void CameraPosCtrls::SendPanTiltDrive(int32_t panSpeed, int32_t tiltSpeed, int32_t directionCode)
{
    ViscaLink(sequenceCounter)
        .send(VISCACommandType::PanTilt, address, directionCode, panSpeed, tiltSpeed);
}

void CameraPosCtrls::ReadPanTilt()
{
    if (address.empty())
        return;
    int32_t newPan = 0;
    int32_t newTilt = 0;
    if (ViscaLink(sequenceCounter).inquirePanTilt(address, newPan, newTilt))
        setPanTilt(newPan, newTilt);
}

void CameraPosCtrls::ReadFocus()
{
    if (address.empty())
        return;
    ViscaLink(sequenceCounter).inquireValue(VISCACommandType::FocusInq, address, focus);
}

void CameraPosCtrls::ReadZoom()
{
    if (address.empty())
        return;
    int32_t newZoom = 0;
    if (ViscaLink(sequenceCounter).inquireValue(VISCACommandType::ZoomInq, address, newZoom))
        setZoom(newZoom);
}

void CameraPosCtrls::setPanTilt(int32_t newPan, int32_t newTilt)
{
    pan = newPan;
    tilt = newTilt;
    ui.panValueLabel->setText(PanText(pan, isR5x0));
    ui.tiltValueLabel->setText(TiltText(tilt));
}

void CameraPosCtrls::setZoom(int32_t newZoom)
{
    zoom = newZoom;
    ui.zoomValueLabel->setText(ZoomText(zoom));
}

void CameraPosCtrls::HandleJoyPadValue(float xValue, float yValue)
{
    if (xValue == 0.0f && yValue == 0.0f) {
        SendPanTiltDrive(0, 0, PanTiltStopCode);
        return;
    }
    // y = 0 counts as down and x = 0 as right, so the idle axis still creeps at speed 1.
    const int32_t directionCode = (xValue >= 0 ? 2 : 1) * 16 + (yValue >= 0 ? 2 : 1);
    const float speed = float(jogSpeed.load());
    const auto panSpeed = int32_t(std::fabs(xValue) * speed * 20.0f / 100.0f + 1.0f);
    const auto tiltSpeed = int32_t(std::fabs(yValue) * speed * 17.0f / 100.0f + 1.0f);
    SendPanTiltDrive(panSpeed, tiltSpeed, directionCode);
}

void CameraPosCtrls::on_CameraControlAuto_clicked()
{
    SendDrive(VISCACommandType::FocusMode, AutoFocus);
}

void CameraPosCtrls::on_CameraControlManual_clicked()
{
    SendDrive(VISCACommandType::FocusMode, ManualFocus);
}

void CameraPosCtrls::SendZoomDrive(int32_t directionBase)
{
    const int32_t speed = ui.zoomSpeedSlider->value();
    SendDrive(VISCACommandType::Zoom, speed != 0 ? speed / 2 + directionBase : 0);
}

void CameraPosCtrls::SendFocusDrive(int32_t directionBase)
{
    if (!manualFocusSent) {
        SendDrive(VISCACommandType::FocusMode, ManualFocus);
        manualFocusSent = true;
    }
    SendDrive(VISCACommandType::Focus, ui.focusSpeedSlider->value() + directionBase);
}

void CameraPosCtrls::on_btnCameraZoomTele_pressed()
{
    SendZoomDrive(FarOrTele);
}

void CameraPosCtrls::on_btnCameraZoomWide_pressed()
{
    SendZoomDrive(NearOrWide);
}

void CameraPosCtrls::on_btnCameraZoomWide_released()
{
    SendDrive(VISCACommandType::Zoom, 0);
    QTimer::singleShot(ZoomFetchDelayMs, this, &CameraPosCtrls::FetchZoomPos);
}

void CameraPosCtrls::on_btnCameraZoomTele_released()
{
    on_btnCameraZoomWide_released();
}

void CameraPosCtrls::on_btnCameraFocusDecrease_pressed()
{
    SendFocusDrive(FarOrTele);
}

void CameraPosCtrls::on_btnCameraFocusIncrease_pressed()
{
    SendFocusDrive(NearOrWide);
}

void CameraPosCtrls::on_btnCameraFocusDecrease_released()
{
    SendDrive(VISCACommandType::Focus, 0);
    QTimer::singleShot(FocusFetchDelayMs, this, &CameraPosCtrls::FetchFocusPos);
}

void CameraPosCtrls::on_btnCameraFocusIncrease_released()
{
    on_btnCameraFocusDecrease_released();
}

void CameraPosCtrls::on_posRefreshButton_clicked()
{
    ReadFocus();
    ReadPanTilt();
    ReadZoom();
}

void CameraPosCtrls::FetchZoomPos()
{
    ReadZoom();
}

void CameraPosCtrls::FetchFocusPos()
{
    ReadFocus();
}

void CameraPosCtrls::on_wayPointValueChanged(int nWayPt)
{
    wayPointNumber = nWayPt;
}

void CameraPosCtrls::OpenCameraLink()
{
    if (!address.empty())
        QDesktopServices::openUrl(
            QUrl(QStringLiteral("http://") + QString::fromStdString(address)));
}

// ---- waypoints ----

void CameraPosCtrls::on_presetStoreButton_clicked()
{
    on_posRefreshButton_clicked();
    const WayPoint wayPoint{pan, tilt, focus, zoom, 1.0f};
    bool added = false;
    CameraDataStore::instance().storeWayPoint(sourceName.toStdString(), wayPoint, wayPointNumber,
                                              added);
    loadWayPoints();
    if (added)
        emit newsrcWayPtAdded();
}

void CameraPosCtrls::on_presetResetButton_clicked()
{
    CameraDataStore::instance().resetCamera(sourceName.toStdString());
    ClearWayPoints();
}

void CameraPosCtrls::ClearWayPoints()
{
    ui.wayPointTableWidget->setRowCount(0);
    ui.wayPointTableWidget->clearContents();
    wayPoints.clear();
}

void CameraPosCtrls::RefreshWayPointTable(const std::map<int32_t, WayPoint> &map)
{
    ClearWayPoints();
    wayPoints = map;
    QTableWidget *table = ui.wayPointTableWidget;
    for (const auto &[number, wayPoint] : wayPoints) {
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, 0, centredItem(QString::number(number)));
        table->setItem(row, 1, centredItem(PanText(wayPoint.pan, isR5x0)));
        table->setItem(row, 2, centredItem(TiltText(wayPoint.tilt)));
        table->setItem(row, 3, centredItem(ZoomText(wayPoint.zoom)));
    }
}

void CameraPosCtrls::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x28, 0x2B, 0x2E));
    painter.drawRoundedRect(rect(), 5, 5);
}
