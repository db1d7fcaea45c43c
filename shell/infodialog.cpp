#include "shell/infodialog.h"

#include <QLabel>

InfoDialog::InfoDialog(QWidget *parent)
    : QDialog(parent)
{
    setupUi(this);
}

void InfoDialog::setVersionText(const QString &text)
{
    versionLabel->setText(text);
}

void InfoDialog::on_closeButton_clicked()
{
    close();
}
