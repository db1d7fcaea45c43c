#pragma once

#include "automation/engine/raceparameters.h"
#include "base/ownedthread.h"
#include "store/cameradatastore.h"

#include <QList>
#include <QMainWindow>
#include <map>
#include <memory>
#include <string>

class AutoPlayThread;
class CameraPosCtrls;
class CameraSrcAddCtrl;
class QSplashScreen;
class QTableWidgetItem;
class QTimer;
class QToolButton;
class RunChart;

namespace Ui {
class CentralMainWindow;
}

namespace ScriptFile {
struct LoadResult;
}

// The automation form: the race set-up (its rules are RaceParameters'), the row of camera
// panels fed with the discovered sources, the AutoPlay Sources table, the run controls that
// drive one auto-play engine at a time, and SAVE and LOAD of scripts. It also brings NDI and
// discovery up and down around its own lifetime.
class CentralMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int MaxPanels = 10;
    static constexpr int InitialPanels = 5;
    static constexpr int FixedPanels = 4;

    explicit CentralMainWindow(QWidget *parent = nullptr);
    ~CentralMainWindow() override;

    bool isNdiInitialised() const { return ndiInitialised; }
    const RaceParameters &raceParameters() const { return race; }
    const QList<CameraPosCtrls *> &cameraPanels() const { return panels; }
    CameraSrcAddCtrl *sourceTile() const { return addSourceTile; }
    AutoPlayThread *engine() const { return autoPlay.get(); }
    bool playing() const { return isPlaying; }
    int32_t speedStep() const { return playSpeed; }

public slots:
    void UpdateSourceList();
    void AddSourcePanel();
    void RemoveClosedPanels();
    void UpdateNewSrcAdded();
    void tableitemchanged(QTableWidgetItem *pItem);
    void HandleAutoPlayFinished();
    void HandlePresetUpdate(int nPreset);
    void HandleLoopUpdate(int nLoop);

private slots:
    // Race parameters.
    void on_LTotalRacesToolButton_clicked();
    void on_RTotalRacesToolButton_clicked();
    void on_LTotalWayPtsToolButton_clicked();
    void on_RTotalWayPtsToolButton_clicked();
    void on_LSetupWayptToolButton_clicked();
    void on_RSetupWayptToolButton_clicked();
    void on_LCurrentRaceToolButton_clicked();
    void on_RCurrentRaceToolButton_clicked();
    void on_LStartWayptToolButton_clicked();
    void on_RStartWayptToolButton_clicked();
    void on_LEndWayptToolButton_clicked();
    void on_REndWayptToolButton_clicked();
    void on_LLoopCountToolButton_clicked();
    void on_RLoopCountToolButton_clicked();
    void on_TotalRaceslineEdit_editingFinished();
    void on_TotalWayPtlineEdit_editingFinished();
    void on_RaceLengthLineEdit_editingFinished();
    void on_RaceCourseNameLineEdit_editingFinished();
    void on_ResetPushButton_clicked();

    // Run controls.
    void on_StartStopPushButton_clicked();
    void on_playStartStoptoolButton_clicked();
    void on_GoStartPushButton_clicked();
    void on_GoEndPushButton_clicked();
    void on_horizontalSlider_valueChanged(int value);

    // Scripts.
    void on_scriptSavePushButton_clicked();
    void on_scriptLoadPushButton_clicked();
    void on_OpenReportPushButton_clicked();
    // Charts the report a START run has just written.
    void showWrittenReport(const QString &path, bool ok);

    // Links.
    void on_fbToolButton_clicked();
    void on_twToolButton_clicked();
    void on_InstToolButton_clicked();
    void on_ytToolButton_clicked();
    void on_liToolButton_clicked();
    void on_kvHomePushButton_clicked();

private:
    // Start-up and shutdown.
    void showSplash();
    void initialiseNdi();
    void startSourceListTimer();
    void finishSplash();

    // Panels and sources.
    void CreateInitialPanels();
    CameraPosCtrls *appendPanel(bool fixed);
    void placeSourceTile();
    void InitSourcesTable();
    void FillSourcesTable(const CameraDataStore::SourceFlags &sources);

    // Race parameters: RaceParameters holds the rules; a show writes a field and its step
    // buttons, a change shows the fields it can alter.
    void showField(RaceParameters::Field field);
    void showChange(RaceParameters::Field changed);
    void showRaceParameters();
    void giveWayPointRange();
    void stepField(RaceParameters::Field field, int direction);
    void typeField(RaceParameters::Field field, const QString &text);
    // For the run and script parts: the checks hold the fields, the shows write them.
    void CheckSetupWayPoint();
    void ShowSetupWayPoint();
    void CheckLoopCount();
    void ShowLoopCount();
    void ShowRaceLength();
    void UpdateTotalWayPoints();
    void applyTotalRaces();
    void restoreSetUp();
    void resetSetUp();

    // Runs.
    void toggleRun();
    void StartAutoPlay(int16_t start, int16_t end, bool report);
    void StopAutoPlay();
    void connectEngine();
    void goTo(bool end);
    void RefreshPanelPositions();

    // Keyboard and gamepad (centralmainwindow_keys.cpp).
    void setUpInputControls();

    // Scripts.
    void showLoadedSetUp(const ScriptFile::LoadResult &loaded);
    void rememberScript(const QString &path);
    void showRunChart(const QString &reportPath);

    std::unique_ptr<Ui::CentralMainWindow> ui;
    RaceParameters race;
    QList<CameraPosCtrls *> panels;
    CameraSrcAddCtrl *addSourceTile = nullptr;
    std::map<std::string, std::string> offeredSources; // display name -> IP address
    bool ndiInitialised = false;
    QSplashScreen *splash = nullptr;
    QTimer *sourceListTimer = nullptr;

    OwnedThread<AutoPlayThread> autoPlay;
    bool isPlaying = false;
    bool isRangeRun = false;
    bool isGoToRun = false; // the run is a GO TO START or GO TO END move
    int32_t playSpeed = 0;
    // Tells the signals of the current engine from late ones of an engine already stopped.
    quint64 runSerial = 0;
    RunChart *runChart = nullptr; // one window, reused for every report
};
