#pragma once

#include "shell/infodialog_ui.h"

#include <QDialog>

// The About box: product title, version and support links; opened modally by the main window.
class InfoDialog : public QDialog, private Ui::InfoForm
{
    Q_OBJECT

public:
    explicit InfoDialog(QWidget *parent = nullptr);

    // The opener decides the whole version line.
    void setVersionText(const QString &text);

private slots:
    void on_closeButton_clicked();
};
