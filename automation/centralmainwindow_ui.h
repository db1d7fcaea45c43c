#pragma once

class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QScrollArea;
class QSlider;
class QTableWidget;
class QToolButton;
class QVBoxLayout;
class QWidget;
class RaceCourse;

// The automation form's widget tree: the race-course column on the left; the run bar, the
// camera panel row and the parameter panel on the right.
class Ui_CentralMainWindow
{
public:
    QWidget *horizontalwidget = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;

    // Left column.
    QWidget *verticalwidget_1 = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QWidget *vwidget_11 = nullptr;
    QVBoxLayout *verticalLayout_4 = nullptr;
    QHBoxLayout *horizontalLayout_11 = nullptr;
    QLineEdit *RaceCourseNameLineEdit = nullptr;
    RaceCourse *raceCourseWidget = nullptr;
    QHBoxLayout *horizontalLayout_15 = nullptr;
    QLabel *CurrentLoopLabel = nullptr;
    QLabel *CurrentLoopValueLabel = nullptr;
    QVBoxLayout *verticalLayout_5 = nullptr;
    QHBoxLayout *horizontalLayout_4 = nullptr;
    QToolButton *fbToolButton = nullptr;
    QToolButton *twToolButton = nullptr;
    QToolButton *InstToolButton = nullptr;
    QToolButton *ytToolButton = nullptr;
    QToolButton *liToolButton = nullptr;
    QPushButton *kvHomePushButton = nullptr;

    // Right column: run bar.
    QWidget *verticalwidget_2 = nullptr;
    QVBoxLayout *verticalLayout_2 = nullptr;
    QWidget *vwidget_21 = nullptr;
    QHBoxLayout *horizontalLayout_10 = nullptr;
    QPushButton *GoStartPushButton = nullptr;
    QPushButton *GoEndPushButton = nullptr;
    QToolButton *toolButton_7 = nullptr;
    QSlider *horizontalSlider = nullptr;
    QToolButton *toolButton_8 = nullptr;
    QPushButton *ResetPushButton = nullptr;
    QPushButton *StartStopPushButton = nullptr;
    QToolButton *playStartStoptoolButton = nullptr;

    // Right column: panel row.
    QWidget *vwidget_22 = nullptr;
    QVBoxLayout *verticalLayout_3 = nullptr;
    QWidget *vwidget_221 = nullptr;
    QHBoxLayout *horizontalLayout_12 = nullptr;
    QScrollArea *scrollArea = nullptr;
    QWidget *srcWidget = nullptr;
    QHBoxLayout *horizontalLayout_14 = nullptr;
    QHBoxLayout *SrcHorizontalLayout = nullptr;

    // Right column: parameter panel.
    QWidget *vwidget_222 = nullptr;
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QTableWidget *srcTableWidget = nullptr;
    QVBoxLayout *verticalLayout_2222 = nullptr;
    QLabel *TotalRacesLabel = nullptr;
    QToolButton *LTotalRacesToolButton = nullptr;
    QLineEdit *TotalRaceslineEdit = nullptr;
    QToolButton *RTotalRacesToolButton = nullptr;
    QFrame *line_7 = nullptr;
    QLabel *TotalWaypointLabel = nullptr;
    QToolButton *LTotalWayPtsToolButton = nullptr;
    QLineEdit *TotalWayPtlineEdit = nullptr;
    QToolButton *RTotalWayPtsToolButton = nullptr;
    QVBoxLayout *verticalLayout_2221 = nullptr;
    QLabel *SetupWaypointLabel = nullptr;
    QToolButton *LSetupWayptToolButton = nullptr;
    QLineEdit *SetupWayptLineEdit = nullptr;
    QToolButton *RSetupWayptToolButton = nullptr;
    QFrame *line_6 = nullptr;
    QLabel *CurrentRaceLabel = nullptr;
    QToolButton *LCurrentRaceToolButton = nullptr;
    QLineEdit *CurrentRaceLineEdit = nullptr;
    QToolButton *RCurrentRaceToolButton = nullptr;
    QVBoxLayout *verticalLayout_2223 = nullptr;
    QLabel *startWayPtLabel = nullptr;
    QToolButton *LStartWayptToolButton = nullptr;
    QLineEdit *StartWayptLineEdit = nullptr;
    QToolButton *RStartWayptToolButton = nullptr;
    QFrame *line_9 = nullptr;
    QLabel *endWayPtLabel = nullptr;
    QToolButton *LEndWayptToolButton = nullptr;
    QLineEdit *EndWayPtLlineEdit = nullptr;
    QToolButton *REndWayptToolButton = nullptr;
    QVBoxLayout *verticalLayout_2226 = nullptr;
    QLabel *RaceLengthLabel = nullptr;
    QLineEdit *RaceLengthLineEdit = nullptr;
    QLabel *RaceLengthUnitLabel = nullptr;
    QFrame *line_11 = nullptr;
    QLabel *CurrentRaceLabel_2 = nullptr;
    QToolButton *LLoopCountToolButton = nullptr;
    QLineEdit *LoopCountLlineEdit = nullptr;
    QToolButton *RLoopCountToolButton = nullptr;
    QVBoxLayout *verticalLayout_2224 = nullptr;
    QFrame *line_8 = nullptr;
    QPushButton *scriptSavePushButton = nullptr;
    QPushButton *scriptLoadPushButton = nullptr;
    QPushButton *OpenReportPushButton = nullptr;

    void setupUi(QMainWindow *CentralMainWindow);
    void retranslateUi(QMainWindow *CentralMainWindow);

private:
    void setupCentral(QMainWindow *CentralMainWindow);
    void setupCourseColumn();
    void setupLinks();
    void setupRunColumn();
    void setupRunBar();
    void setupPanelRow();
    void setupParameterPanel();
    void setupRacesColumn();
    void setupSetupColumn();
    void setupRangeColumn();
    void setupLengthColumn();
    void setupScriptColumn();
};

namespace Ui {
class CentralMainWindow : public Ui_CentralMainWindow
{
};
} // namespace Ui
