#pragma once

#include "base/ownedthread.h"
#include "ndi/ndilib.h"
#include "position_editing/camerahealth.h"
#include "position_editing/cameraposctrls_ui.h"
#include "store/waypoint.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class CameraChannel;
class VideoPlayer;
class VideoStreamThread;

// The panel for one camera: pick an NDI source, watch its preview, drive pan, tilt, zoom and
// focus by hand, and file the camera's position as waypoints. Every exchange with the camera
// runs on the panel's CameraChannel; the panel shows the answers as they come.
class CameraPosCtrls : public QWidget
{
    Q_OBJECT

public:
    explicit CameraPosCtrls(bool fixedCamera, QWidget *parent = nullptr);
    // Quick whatever the camera does: an exchange under way is left to finish on its own.
    ~CameraPosCtrls() override;

    // ---- operations of the automation form ----
    // Appends the names to the source selector and keeps the current selection.
    void AddSources(const QStringList &names);
    // Selects the entry with exactly this text; nothing happens when there is none.
    void SelectSource(const QString &name);
    // The number box is limited to [minimum, maximum]; STORE files under value itself.
    void SetWayPointRange(int16_t value, int16_t minimum, int16_t maximum);
    // A position the auto-play engine read back for this camera.
    void ShowPositions(int32_t pan, int32_t tilt, int32_t focus, int32_t zoom);
    // While a run goes the engine polls the cameras, so the panel asks nothing of its own.
    void SetRunActive(bool active);
    // The engine's state (AutoPlayThread::CameraState) of this panel's camera at a waypoint.
    void ShowRunState(int nPreset, int state);
    // The camera's IP address; empty while no discovered source is chosen.
    const std::string &cameraAddress() const { return address; }
    const QString &currentSourceName() const { return sourceName; }

    // Shutdown: every preview thread is told to stop first, then each is waited for and its
    // receiver destroyed, so that no thread still holds a frame when NDI is released.
    void RequestPreviewStop();
    void StopPreview();

    // ---- keyboard and gamepad, for the selected panel (cameraposctrls_input.cpp) ----
    // Outlines the panel whose camera the keys and the pad drive.
    void setSelected(bool selected);
    // Pan and tilt as the joystick drives them at this deflection; (0, 0) stops.
    void jog(float x, float y);
    // 1 tele, -1 wide, 0 stop, at the zoom speed of the panel's slider.
    void zoomDrive(int direction);
    void store();

    // Joystick speed percentage, stored by the form from its speed slider.
    std::atomic<int32_t> jogSpeed{50};
    // Set once the operator has closed the panel; the form then removes it.
    bool closed = false;

signals:
    void sourceClosed();
    void newsrcWayPtAdded();

public slots:
    void UpdateSrcSelect();
    void HandleClose();
    void HandleVideoFrames(int width, int height, uint8_t *pData);
    void on_CameraControlAuto_clicked();
    void on_CameraControlManual_clicked();
    void on_btnCameraFocusDecrease_pressed();
    void on_btnCameraFocusIncrease_pressed();
    void on_btnCameraFocusDecrease_released();
    void on_btnCameraFocusIncrease_released();
    void on_btnCameraZoomWide_pressed();
    void on_btnCameraZoomTele_pressed();
    void on_btnCameraZoomWide_released();
    void on_btnCameraZoomTele_released();
    void on_presetStoreButton_clicked();
    void on_presetResetButton_clicked();
    void OpenCameraLink();
    void on_posRefreshButton_clicked();
    void FetchZoomPos();
    void FetchFocusPos();
    void on_wayPointValueChanged(int nWayPt);
    // Each joystick report drives pan and tilt; (0, 0) stops them.
    void HandleJoyPadValue(float xValue, float yValue);
    void ReadPanTilt();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // What the chosen camera has answered since it was chosen; STORE needs all of it.
    enum Answered : unsigned {
        PanTiltAnswered = 1,
        FocusAnswered = 2,
        ZoomAnswered = 4,
        PositionAnswered = PanTiltAnswered | FocusAnswered | ZoomAnswered
    };

    void connectWidgets();
    void connectChannel();
    void setCameraControlsEnabled(bool enabled);
    void applyEnableRule();
    void forgetCamera();
    uint16_t lookUpAddress();
    void openReceiver(uint16_t port);
    void loadWayPoints();
    void showNotice(const QString &text);

    void SendDrive(int32_t type, int32_t value);
    void SendZoomDrive(int32_t directionBase);
    void SendFocusDrive(int32_t directionBase);
    void ReadFocus();
    void ReadZoom();
    void setPanTilt(int32_t newPan, int32_t newTilt);
    void setZoom(int32_t newZoom);
    void setVersion(const QString &reportedVersion);
    void fileWayPoint(int32_t number);

    void ClearWayPoints();
    void RefreshWayPointTable(const std::map<int32_t, WayPoint> &map);
    void postCloseSignal();
    void emitCloseWhenSafe();
    void discardPendingFrames();

    // ---- camera health (cameraposctrls_health.cpp) ----
    void setUpHealth();
    void healthTick();
    void noteInquiry(bool replied);
    void noteHealthChange(CameraHealth::Change change);
    void showHealth();
    void takeUpAgain();

    Ui_CameraPosCtrls ui;
    bool fixed;
    VideoPlayer *preview = nullptr;
    OwnedThread<VideoStreamThread> previewThread;
    NdiReceiverHandle receiver = nullptr;
    std::unique_ptr<CameraChannel> channel;
    QString sourceName;
    std::string address;
    bool manualFocusSent = false; // for the chosen camera
    int32_t pan = 0;
    int32_t tilt = 0;
    int32_t focus = 0;
    int32_t zoom = 0;
    unsigned answered = 0;
    int32_t wayPointNumber = 1;
    QString version;
    bool isR5x0 = false;
    std::map<int32_t, WayPoint> wayPoints;

    bool closePending = false; // the close is announced from the event loop
    bool discardingFrames = false;
    CameraHealth health;
    bool runActive = false;
};
