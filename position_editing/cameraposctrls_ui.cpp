#include "position_editing/cameraposctrls_ui.h"

#include "ndi/videoplayer.h"
#include "position_editing/joypad.h"
#include "position_editing/panelstyles.h"
#include "shell/palette.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int PreviewWidth = 360;
constexpr int PreviewHeight = 203;

// Camera replies and NDI names end up in these labels: never let them carry markup.
QLabel *makeLabel(QWidget *parent, const char *objectName, const QString &style)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(style);
    PanelStyles::applyLabelPalette(label);
    return label;
}

QFrame *makeSeparator(QWidget *parent, const QString &style)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Raised);
    line->setLineWidth(0);
    line->setMidLineWidth(0);
    line->setStyleSheet(style);
    return line;
}

QHBoxLayout *makeRow(QLabel *caption, QLabel *value)
{
    auto *row = new QHBoxLayout;
    row->addWidget(caption);
    if (value)
        row->addWidget(value);
    return row;
}

QToolButton *makeIconButton(QWidget *parent, const char *objectName, const char *image)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setStyleSheet(PanelStyles::iconButton(QLatin1String(image)));
    return button;
}

QPushButton *makeButton(QWidget *parent, const char *objectName, const char *text,
                        const QString &style)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setText(QLatin1String(text));
    button->setStyleSheet(style);
    return button;
}

QSlider *makeSlider(QWidget *parent, const char *objectName, int maximum, int pageStep, int value)
{
    auto *slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QLatin1String(objectName));
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setRange(0, maximum);
    slider->setPageStep(pageStep);
    slider->setValue(value);
    slider->setStyleSheet(PanelStyles::slider());
    return slider;
}
} // namespace

void Ui_CameraPosCtrls::setupUi(QWidget *panel, bool fixed)
{
    mainLayout = new QVBoxLayout(panel);
    mainLayout->setSpacing(10);
    addSourceRow(panel, fixed);
    addSeparator(panel, true);
    addInfoRows(panel);
    addSeparator(panel);
    addPositionRows(panel);
    addSeparator(panel);
    addWayPointRows(panel);
    addSeparator(panel);
    addPreviewRow(panel);
    addSeparator(panel);
    addControlGrid(panel);
    addSeparator(panel);
    addTableRow(panel);
    mainLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    retranslateUi(panel);
}

void Ui_CameraPosCtrls::addSourceRow(QWidget *panel, bool fixed)
{
    srcSelectComboBox = new QComboBox(panel);
    srcSelectComboBox->setObjectName(QStringLiteral("srcSelectComboBox"));
    srcSelectComboBox->setStyleSheet(PanelStyles::sourceSelector());
    srcSelectComboBox->addItem(QString());
    closeToolButton = new QToolButton(panel);
    closeToolButton->setObjectName(QStringLiteral("closeToolButton"));
    closeToolButton->setStyleSheet(PanelStyles::closeButton());
    healthBadge = makeLabel(panel, "healthBadge", PanelStyles::healthBadge(Palette::caption));
    healthBadge->setAlignment(Qt::AlignCenter);
    healthBadge->hide();

    auto *row = new QHBoxLayout;
    row->setSpacing(5);
    row->addWidget(srcSelectComboBox);
    row->addWidget(healthBadge);
    if (fixed) {
        // Kept for the shared code paths, but a fixed panel cannot be closed: out of sight.
        closeToolButton->setEnabled(false);
        closeToolButton->hide();
    } else {
        row->addWidget(closeToolButton);
    }
    mainLayout->addLayout(row);
}

void Ui_CameraPosCtrls::addInfoRows(QWidget *panel)
{
    videoResCaptionLabel = makeLabel(panel, "videoResCaptionLabel", PanelStyles::narrowLabel());
    videoResValueLabel = makeLabel(panel, "videoResValueLabel", PanelStyles::wideLabel());
    linkToolButton = makeIconButton(panel, "linkToolButton", ":images/link.png");
    QHBoxLayout *videoRow = makeRow(videoResCaptionLabel, videoResValueLabel);
    videoRow->addWidget(linkToolButton);
    mainLayout->addLayout(videoRow);

    versionCaptionLabel = makeLabel(panel, "versionCaptionLabel", PanelStyles::narrowLabel());
    versionValueLabel = makeLabel(panel, "versionValueLabel", PanelStyles::wideLabel());
    mainLayout->addLayout(makeRow(versionCaptionLabel, versionValueLabel));
}

void Ui_CameraPosCtrls::addPositionRows(QWidget *panel)
{
    positionsCaptionLabel = makeLabel(panel, "positionsCaptionLabel", PanelStyles::wideLabel());
    posRefreshButton = makeIconButton(panel, "posRefreshButton", ":images/refresh.png");
    QHBoxLayout *positionsRow = makeRow(positionsCaptionLabel, nullptr);
    positionsRow->addWidget(posRefreshButton);
    mainLayout->addLayout(positionsRow);

    panCaptionLabel = makeLabel(panel, "panCaptionLabel", PanelStyles::captionLabel());
    panValueLabel = makeLabel(panel, "panValueLabel", PanelStyles::narrowLabel());
    mainLayout->addLayout(makeRow(panCaptionLabel, panValueLabel));
    tiltCaptionLabel = makeLabel(panel, "tiltCaptionLabel", PanelStyles::captionLabel());
    tiltValueLabel = makeLabel(panel, "tiltValueLabel", PanelStyles::narrowLabel());
    mainLayout->addLayout(makeRow(tiltCaptionLabel, tiltValueLabel));
    zoomCaptionLabel = makeLabel(panel, "zoomCaptionLabel", PanelStyles::captionLabel());
    zoomValueLabel = makeLabel(panel, "zoomValueLabel", PanelStyles::narrowLabel());
    mainLayout->addLayout(makeRow(zoomCaptionLabel, zoomValueLabel));
}

void Ui_CameraPosCtrls::addWayPointRows(QWidget *panel)
{
    wayPointCaptionLabel = makeLabel(panel, "wayPointCaptionLabel", PanelStyles::captionLabel());
    wayPointSpinBox = new QSpinBox(panel);
    wayPointSpinBox->setObjectName(QStringLiteral("wayPointSpinBox"));
    wayPointSpinBox->setStyleSheet(PanelStyles::wayPointBox());
    PanelStyles::applyLabelPalette(wayPointSpinBox);
    wayPointSpinBox->setAlignment(Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);
    // The number moves only by the arrows (and by the form's range), never by typing.
    if (auto *edit = wayPointSpinBox->findChild<QLineEdit *>())
        edit->setReadOnly(true);
    wayPointSpinBox->setValue(1);
    wayPointSpinBox->setEnabled(false);
    QHBoxLayout *wayPointRow = makeRow(wayPointCaptionLabel, nullptr);
    wayPointRow->addWidget(wayPointSpinBox);
    wayPointRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    mainLayout->addLayout(wayPointRow);

    presetStoreButton =
        makeButton(panel, "presetStoreButton", "STORE", PanelStyles::actionButton());
    presetResetButton =
        makeButton(panel, "presetResetButton", "RESET", PanelStyles::actionButton());
    auto *buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(5);
    buttonRow->addWidget(presetStoreButton);
    buttonRow->addWidget(presetResetButton);
    mainLayout->addLayout(buttonRow);

    noticeLabel = makeLabel(panel, "noticeLabel", PanelStyles::notice());
    noticeLabel->setWordWrap(true);
    noticeLabel->hide();
    mainLayout->addWidget(noticeLabel);
}

void Ui_CameraPosCtrls::addPreviewRow(QWidget *panel)
{
    preview = new VideoPlayer(panel);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setFixedSize(PreviewWidth, PreviewHeight);
    auto *row = new QHBoxLayout;
    row->addWidget(preview);
    mainLayout->addLayout(row);
}

void Ui_CameraPosCtrls::addControlGrid(QWidget *panel)
{
    controlGrid = new QGridLayout;
    controlGrid->setSpacing(6);
    joyPad = new JoyPad(panel);
    joyPad->setObjectName(QStringLiteral("joyPad"));
    controlGrid->addWidget(joyPad, 1, 1, 6, 6);

    zoomGridCaptionLabel = makeLabel(panel, "zoomGridCaptionLabel", PanelStyles::gridCaption());
    btnCameraZoomTele = makeButton(panel, "btnCameraZoomTele", "T", PanelStyles::stepButton(14));
    zoomSpeedSlider = makeSlider(panel, "zoomSpeedSlider", 14, 5, 7);
    btnCameraZoomWide = makeButton(panel, "btnCameraZoomWide", "W", PanelStyles::stepButton(14));
    controlGrid->addWidget(zoomGridCaptionLabel, 0, 9, 1, 3);
    controlGrid->addWidget(btnCameraZoomTele, 1, 7);
    controlGrid->addWidget(zoomSpeedSlider, 1, 8, 1, 4);
    controlGrid->addWidget(btnCameraZoomWide, 1, 12);

    controlGrid->addWidget(makeSeparator(panel, PanelStyles::separator()), 2, 7, 2, 5);

    focusGridCaptionLabel = makeLabel(panel, "focusGridCaptionLabel", PanelStyles::gridCaption());
    btnCameraFocusDecrease =
        makeButton(panel, "btnCameraFocusDecrease", "-", PanelStyles::stepButton(24));
    focusSpeedSlider = makeSlider(panel, "focusSpeedSlider", 7, 1, 3);
    btnCameraFocusIncrease =
        makeButton(panel, "btnCameraFocusIncrease", "+", PanelStyles::stepButton(24));
    controlGrid->addWidget(focusGridCaptionLabel, 4, 9, 1, 3);
    controlGrid->addWidget(btnCameraFocusDecrease, 5, 7);
    controlGrid->addWidget(focusSpeedSlider, 5, 8, 1, 4);
    controlGrid->addWidget(btnCameraFocusIncrease, 5, 12);
    mainLayout->addLayout(controlGrid);
}

void Ui_CameraPosCtrls::addTableRow(QWidget *panel)
{
    wayPointTableWidget = new QTableWidget(0, 4, panel);
    wayPointTableWidget->setObjectName(QStringLiteral("wayPointTableWidget"));
    wayPointTableWidget->setHorizontalHeaderLabels({QStringLiteral("WayPt"), QStringLiteral("Pan"),
                                                    QStringLiteral("Tilt"),
                                                    QStringLiteral("Zoom")});
    const int widths[] = {70, 107, 107, 80};
    for (int column = 0; column < 4; ++column)
        wayPointTableWidget->setColumnWidth(column, widths[column]);
    wayPointTableWidget->setMinimumHeight(130);
    wayPointTableWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    wayPointTableWidget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    wayPointTableWidget->verticalHeader()->setVisible(false);
    wayPointTableWidget->setStyleSheet(PanelStyles::wayPointTable());
    auto *row = new QHBoxLayout;
    row->setSpacing(5);
    row->addWidget(wayPointTableWidget);
    mainLayout->addLayout(row);
}

void Ui_CameraPosCtrls::addSeparator(QWidget *panel, bool top)
{
    mainLayout->addWidget(
        makeSeparator(panel, top ? PanelStyles::topSeparator() : PanelStyles::separator()));
}

void Ui_CameraPosCtrls::retranslateUi(QWidget *)
{
    auto tr = [](const char *text) { return QCoreApplication::translate("CameraPosCtrls", text); };
    srcSelectComboBox->setItemText(0, tr("None"));
    videoResCaptionLabel->setText(tr("Video Res"));
    versionCaptionLabel->setText(tr("Version"));
    positionsCaptionLabel->setText(tr("Positions"));
    panCaptionLabel->setText(tr("Pan"));
    tiltCaptionLabel->setText(tr("Tilt"));
    zoomCaptionLabel->setText(tr("Zoom"));
    wayPointCaptionLabel->setText(tr("Way Point "));
    zoomGridCaptionLabel->setText(tr("Zoom"));
    focusGridCaptionLabel->setText(tr("Focus"));
}
