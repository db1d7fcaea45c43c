#pragma once

#include <QPoint>
#include <QWidget>

// The custom title bar: dragging it moves the top-level window (its grandparent), and a double
// click is reported so the window can toggle maximised.
class WindowDragger : public QWidget
{
    Q_OBJECT

public:
    explicit WindowDragger(QWidget *parent = nullptr);

signals:
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *topLevel() const;

    QPoint mousePos;
    QPoint wndPos;
    bool mousePressed = false;
};
