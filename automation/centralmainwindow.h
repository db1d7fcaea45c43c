#pragma once

#include <QMainWindow>

class QSplashScreen;
class QTimer;

// The automation form: brings NDI and discovery up and down around the form's lifetime and
// collects newly discovered sources once a second.
class CentralMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit CentralMainWindow(QWidget *parent = nullptr);
    ~CentralMainWindow() override;

    bool isNdiInitialised() const { return ndiInitialised; }

public slots:
    void UpdateSourceList();

private:
    void showSplash();
    void initialiseNdi();
    void setupUi();
    void startSourceListTimer();
    void finishSplash();

    bool ndiInitialised = false;
    QSplashScreen *splash = nullptr;
    QTimer *sourceListTimer = nullptr;
};
