#include "position_editing/cameraposctrls.h"

#include "camera_control/viscacommand.h"
#include "ndi/previewreceiver.h"
#include "ndi/videoplayer.h"
#include "ndi/videostreamthread.h"
#include "position_editing/camerachannel.h"
#include "position_editing/joypad.h"
#include "position_editing/panelstyles.h"
#include "position_editing/positiontext.h"
#include "shell/palette.h"
#include "store/cameradatastore.h"
#include "store/ndisourcename.h"

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

CameraPosCtrls::CameraPosCtrls(bool fixedCamera, QWidget *parent)
    : QWidget(parent)
    , fixed(fixedCamera)
    , channel(std::make_unique<CameraChannel>())
    , sourceName(noneText())
{
    setMinimumWidth(PanelWidth);
    setMaximumWidth(PanelWidth);
    setStyleSheet(PanelStyles::panel());
    ui.setupUi(this, fixed);
    preview = ui.preview;
    connectWidgets();
    connectChannel();
    setCameraControlsEnabled(false);
    setUpHealth();
}

CameraPosCtrls::~CameraPosCtrls()
{
    channel.reset(); // no answer lands on the panel from here on
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

void CameraPosCtrls::connectChannel()
{
    CameraChannel *answers = channel.get();
    connect(answers, &CameraChannel::panTiltRead, this, [this](int newPan, int newTilt) {
        answered |= PanTiltAnswered;
        setPanTilt(newPan, newTilt);
    });
    connect(answers, &CameraChannel::focusRead, this, [this](int newFocus) {
        answered |= FocusAnswered;
        focus = newFocus;
    });
    connect(answers, &CameraChannel::zoomRead, this, [this](int newZoom) {
        answered |= ZoomAnswered;
        setZoom(newZoom);
    });
    connect(answers, &CameraChannel::videoFormatRead, ui.videoResValueLabel, &QLabel::setText);
    connect(answers, &CameraChannel::versionRead, this, &CameraPosCtrls::setVersion);
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
    StopPreview();
    ClearWayPoints();
    forgetCamera();
    sourceName = selected;
    const bool none = sourceName == noneText();
    const uint16_t port = none ? 0 : lookUpAddress();
    channel->setCamera(address);
    showHealth();
    if (none) {
        ui.wayPointSpinBox->setEnabled(false);
        setCameraControlsEnabled(false);
        return;
    }
    openReceiver(port);
    channel->queryWebInterface();
    loadWayPoints();
    ui.wayPointSpinBox->setEnabled(true);
    applyEnableRule();
}

// Nothing the previous camera told stays: not its position (STORE waits for the new camera's),
// its texts, its scale, nor the focus mode it was put in.
void CameraPosCtrls::forgetCamera()
{
    address.clear();
    for (QLabel *label : {ui.videoResValueLabel, ui.versionValueLabel, ui.panValueLabel,
                          ui.tiltValueLabel, ui.zoomValueLabel})
        label->clear();
    pan = tilt = focus = zoom = 0;
    answered = 0;
    health.reset();
    version.clear();
    isR5x0 = false;
    manualFocusSent = false;
    showNotice(QString());
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
    if (!receiver)
        return;
    connect(previewThread.emplace(receiver), &VideoStreamThread::ResultReady, this,
            &CameraPosCtrls::HandleVideoFrames);
    previewThread.start();
    QTimer::singleShot(PositionRefreshDelayMs, this, &CameraPosCtrls::on_posRefreshButton_clicked);
}

// The version names the model, and with it the pan scale of what is already shown.
void CameraPosCtrls::setVersion(const QString &reportedVersion)
{
    version = reportedVersion;
    ui.versionValueLabel->setText(version);
    isR5x0 = version.contains(QLatin1String("R520")) || version.contains(QLatin1String("R530"));
    if (answered & PanTiltAnswered)
        ui.panValueLabel->setText(PanText(pan, isR5x0));
    loadWayPoints();
}

void CameraPosCtrls::loadWayPoints()
{
    std::map<int32_t, WayPoint> stored;
    CameraDataStore::instance().getCameraWayPoints(sourceName.toStdString(), stored);
    RefreshWayPointTable(stored);
}

void CameraPosCtrls::RequestPreviewStop()
{
    previewThread.requestStop();
}

void CameraPosCtrls::StopPreview()
{
    try {
        previewThread.stopAndWait(); // before its receiver goes
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
    if (!closePending)
        return;
    closePending = false;
    closed = true;
    emit sourceClosed();
}

// ---- camera exchanges ----

void CameraPosCtrls::SendDrive(int32_t type, int32_t value)
{
    channel->send(type, value);
}

void CameraPosCtrls::ReadPanTilt()
{
    channel->readPanTilt();
}

void CameraPosCtrls::ReadFocus()
{
    channel->readFocus();
}

void CameraPosCtrls::ReadZoom()
{
    channel->readZoom();
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
        channel->stopPanTilt();
        return;
    }
    // y = 0 counts as down and x = 0 as right, so the idle axis still creeps at speed 1.
    const int32_t directionCode = (xValue >= 0 ? 2 : 1) * 16 + (yValue >= 0 ? 2 : 1);
    const float speed = float(jogSpeed.load());
    const auto panSpeed = int32_t(std::fabs(xValue) * speed * 20.0f / 100.0f + 1.0f);
    const auto tiltSpeed = int32_t(std::fabs(yValue) * speed * 17.0f / 100.0f + 1.0f);
    channel->drivePanTilt(panSpeed, tiltSpeed, directionCode);
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

// Files under the number the box shows when STORE is clicked, once the camera has answered
// the position reads it asks for.
void CameraPosCtrls::on_presetStoreButton_clicked()
{
    on_posRefreshButton_clicked();
    const int32_t number = wayPointNumber;
    channel->afterPending([this, number] { fileWayPoint(number); });
}

void CameraPosCtrls::fileWayPoint(int32_t number)
{
    if ((answered & PositionAnswered) != PositionAnswered) {
        showNotice(
            QCoreApplication::translate("CameraPosCtrls", "Not stored: no position from %1 yet")
                .arg(sourceName));
        return;
    }
    showNotice(QString());
    const WayPoint wayPoint{pan, tilt, focus, zoom, 1.0f};
    bool added = false;
    CameraDataStore::instance().storeWayPoint(sourceName.toStdString(), wayPoint, number, added);
    loadWayPoints();
    if (added)
        emit newsrcWayPtAdded();
}

// Works on the same waypoint as STORE, in the table and in the play list alike.
void CameraPosCtrls::on_presetResetButton_clicked()
{
    CameraDataStore::instance().removeCameraWayPoint(sourceName.toStdString(), wayPointNumber);
    loadWayPoints();
}

void CameraPosCtrls::showNotice(const QString &text)
{
    ui.noticeLabel->setText(text);
    ui.noticeLabel->setVisible(!text.isEmpty());
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
    painter.setBrush(QColor(Palette::panel));
    painter.drawRoundedRect(rect(), 5, 5);
}
