#pragma once

#include "shell/borderzones.h"

#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>

class QVBoxLayout;

namespace Ui {
class ZuMainWindow;
}

// The frameless top-level window: draws its own title bar and does its own moving, border
// resizing, minimise, maximise, restore and close.
class ZuMainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ZuMainWindow(QWidget *parent = nullptr);
    ~ZuMainWindow() override;

    // Where the automation form goes.
    QVBoxLayout *contentLayout() const;

signals:
    void requestClose();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    virtual void checkBorderDragging(QMouseEvent *event);

private slots:
    void on_minimizeButton_clicked();
    void on_restoreButton_clicked();
    void on_maximizeButton_clicked();
    void on_closeButton_clicked();
    void on_windowTitlebar_doubleClicked();
    void on_titlButton_clicked();

private:
    bool filterEvent(QObject *watched, QEvent *event);
    bool isTopBorderPress(QObject *watched, QMouseEvent *event) const;
    void remaximizeIfPending();
    void hoverBorder(const QPoint &globalPos);
    void showStateButtons(bool maximized);
    BorderZones::Edges dragEdges() const;
    void setDragEdges(const BorderZones::Edges &edges);

    std::unique_ptr<Ui::ZuMainWindow> ui;
    QRect startGeometry;
    quint8 borderWidth = 15;
    bool mousePressed = false;
    bool dragTop = false;
    bool dragLeft = false;
    bool dragRight = false;
    bool dragBottom = false;

public:
    // Set by main before the window is shown; the About box displays it.
    QString appVersion;

private:
    bool remaximizePending = false;
};
