#pragma once

#include <QHBoxLayout>
#include <QPushButton>
#include <QWidget>

class QVBoxLayout;

// The tall "+" tile at the end of the panel row; releasing it asks the form for another panel.
class CameraSrcAddCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CameraSrcAddCtrl(QWidget *parent = nullptr);
    ~CameraSrcAddCtrl() override;

signals:
    void addSource();

private:
    QVBoxLayout *outerLayout = nullptr;
    QHBoxLayout buttonRow;
    QPushButton button;
};
