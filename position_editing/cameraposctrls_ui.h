#pragma once

class QComboBox;
class QFrame;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QTableWidget;
class QToolButton;
class QVBoxLayout;
class QWidget;
class JoyPad;
class VideoPlayer;

// The camera position panel's widget tree, built in code the Designer way: a narrow column of
// source, camera info, position and waypoint rows, the preview, the drive controls and the
// waypoint table.
struct Ui_CameraPosCtrls
{
    QVBoxLayout *mainLayout;
    QComboBox *srcSelectComboBox;
    QToolButton *closeToolButton;
    QLabel *healthBadge; // hidden while no camera address is known
    QLabel *videoResCaptionLabel;
    QLabel *videoResValueLabel;
    QToolButton *linkToolButton;
    QLabel *versionCaptionLabel;
    QLabel *versionValueLabel;
    QLabel *positionsCaptionLabel;
    QToolButton *posRefreshButton;
    QLabel *panCaptionLabel;
    QLabel *panValueLabel;
    QLabel *tiltCaptionLabel;
    QLabel *tiltValueLabel;
    QLabel *zoomCaptionLabel;
    QLabel *zoomValueLabel;
    QLabel *wayPointCaptionLabel;
    QSpinBox *wayPointSpinBox;
    QPushButton *presetStoreButton;
    QPushButton *presetResetButton;
    QLabel *noticeLabel; // why a STORE was refused; hidden while empty
    VideoPlayer *preview;
    QGridLayout *controlGrid;
    JoyPad *joyPad;
    QLabel *zoomGridCaptionLabel;
    QPushButton *btnCameraZoomTele;
    QSlider *zoomSpeedSlider;
    QPushButton *btnCameraZoomWide;
    QLabel *focusGridCaptionLabel;
    QPushButton *btnCameraFocusDecrease;
    QSlider *focusSpeedSlider;
    QPushButton *btnCameraFocusIncrease;
    QTableWidget *wayPointTableWidget;

    void setupUi(QWidget *panel, bool fixed);
    void retranslateUi(QWidget *panel);

private:
    void addSourceRow(QWidget *panel, bool fixed);
    void addInfoRows(QWidget *panel);
    void addPositionRows(QWidget *panel);
    void addWayPointRows(QWidget *panel);
    void addPreviewRow(QWidget *panel);
    void addControlGrid(QWidget *panel);
    void addTableRow(QWidget *panel);
    void addSeparator(QWidget *panel, bool top = false);
};
