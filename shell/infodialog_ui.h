#pragma once

class QDialog;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;

// The About box's form: a green title strip with a close button, the version and the links.
class Ui_InfoForm
{
public:
    QVBoxLayout *verticalLayout_2 = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QWidget *widget = nullptr;
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QLabel *titleLabel = nullptr;
    QPushButton *closeButton = nullptr;
    QLabel *versionLabel = nullptr;
    QLabel *contactLabel = nullptr;

    void setupUi(QDialog *InfoForm);
    void retranslateUi(QDialog *InfoForm);

private:
    void setupDialog(QDialog *InfoForm);
    void setupTitle(QDialog *InfoForm);
    void setupTexts(QDialog *InfoForm);
};

namespace Ui {
class InfoForm : public Ui_InfoForm
{
};
} // namespace Ui
