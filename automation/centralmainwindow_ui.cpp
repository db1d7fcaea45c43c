#include "automation/centralmainwindow_ui.h"

#include "automation/formstyle.h"
#include "automation/racecourse.h"
#include "shell/palette.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpacerItem>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template<typename T>
T *named(T *object, const char *name)
{
    object->setObjectName(QString::fromUtf8(name));
    return object;
}

QSpacerItem *hSpacer(int width = 40)
{
    return new QSpacerItem(width, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

QSpacerItem *vSpacer()
{
    return new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding);
}

QLabel *paramLabel(QWidget *parent, const char *name, int width = 170)
{
    auto *label = named(new QLabel(parent), name);
    label->setMinimumSize(width, 30);
    label->setStyleSheet(FormStyle::labelStyle());
    return label;
}

QToolButton *stepButton(QWidget *parent, const char *name, bool left)
{
    auto *button = named(new QToolButton(parent), name);
    button->setMinimumSize(26, 35);
    button->setStyleSheet(FormStyle::stepButtonStyle(left));
    return button;
}

QLineEdit *valueEdit(QWidget *parent, const char *name, int width, bool readOnly)
{
    auto *edit = named(new QLineEdit(parent), name);
    edit->setMinimumSize(width, 40);
    edit->setMaximumHeight(40);
    edit->setAlignment(Qt::AlignCenter);
    edit->setReadOnly(readOnly);
    edit->setStyleSheet(FormStyle::valueStyle());
    return edit;
}

QFrame *separator(QWidget *parent, const char *name)
{
    auto *line = named(new QFrame(parent), name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    line->setStyleSheet(Palette::sheet("QFrame{background:@rule;border:none;}"));
    return line;
}

QPushButton *largeButton(QWidget *parent, const char *name, bool neutral)
{
    auto *button = named(new QPushButton(parent), name);
    button->setMinimumSize(140, 31);
    button->setMaximumWidth(250);
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    button->setStyleSheet(FormStyle::pushButtonStyle(neutral));
    return button;
}

QToolButton *linkButton(QWidget *parent, const char *name, const char *image)
{
    auto *button = named(new QToolButton(parent), name);
    button->setIcon(QIcon(QString::fromUtf8(image)));
    button->setIconSize(QSize(36, 36));
    button->setStyleSheet(QStringLiteral("QToolButton{background:none;border:none;}"));
    return button;
}

// One parameter row: label, an optional spacer, then the value between its step buttons.
QHBoxLayout *stepRow(QLabel *label, bool spacer, QToolButton *left, QLineEdit *edit, QWidget *right)
{
    auto *row = new QHBoxLayout();
    row->setSpacing(2);
    row->addWidget(label);
    if (spacer)
        row->addItem(hSpacer(10));
    if (left)
        row->addWidget(left);
    row->addWidget(edit);
    row->addWidget(right);
    return row;
}

QVBoxLayout *parameterColumn(const char *name, QHBoxLayout *top, QFrame *line, QHBoxLayout *bottom)
{
    auto *column = named(new QVBoxLayout(), name);
    column->addLayout(top);
    column->addWidget(line);
    column->addLayout(bottom);
    return column;
}

} // namespace

void Ui_CentralMainWindow::setupUi(QMainWindow *CentralMainWindow)
{
    setupCentral(CentralMainWindow);
    setupCourseColumn();
    setupLinks();
    setupRunColumn();
    setupRunBar();
    setupPanelRow();
    setupParameterPanel();
    retranslateUi(CentralMainWindow);
    QMetaObject::connectSlotsByName(CentralMainWindow);
}

void Ui_CentralMainWindow::setupCentral(QMainWindow *CentralMainWindow)
{
    if (CentralMainWindow->objectName().isEmpty())
        CentralMainWindow->setObjectName(QStringLiteral("CentralMainWindow"));
    CentralMainWindow->resize(1900, 820);
    horizontalwidget = named(new QWidget(CentralMainWindow), "horizontalwidget");
    horizontalwidget->setMinimumSize(1900, 820);
    horizontalwidget->setStyleSheet(Palette::sheet("QWidget{  background:@form;}"));
    horizontalLayout = named(new QHBoxLayout(horizontalwidget), "horizontalLayout");
    horizontalLayout->setSpacing(0);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    CentralMainWindow->setCentralWidget(horizontalwidget);
}

void Ui_CentralMainWindow::setupCourseColumn()
{
    verticalwidget_1 = named(new QWidget(horizontalwidget), "verticalwidget_1");
    verticalwidget_1->setMinimumSize(320, 820);
    verticalwidget_1->setMaximumWidth(400);
    verticalLayout = named(new QVBoxLayout(verticalwidget_1), "verticalLayout");
    verticalLayout->setSpacing(0);
    vwidget_11 = named(new QWidget(verticalwidget_1), "vwidget_11");
    vwidget_11->setMinimumSize(314, 808);
    vwidget_11->setStyleSheet(Palette::sheet("QWidget{background:@column;}"));
    verticalLayout->addWidget(vwidget_11);
    verticalLayout_4 = named(new QVBoxLayout(vwidget_11), "verticalLayout_4");
    verticalLayout_4->addItem(new QSpacerItem(20, 20, QSizePolicy::Minimum, QSizePolicy::Fixed));

    horizontalLayout_11 = named(new QHBoxLayout(), "horizontalLayout_11");
    RaceCourseNameLineEdit = named(new QLineEdit(vwidget_11), "RaceCourseNameLineEdit");
    RaceCourseNameLineEdit->setMinimumHeight(40);
    RaceCourseNameLineEdit->setFrame(false);
    RaceCourseNameLineEdit->setAlignment(Qt::AlignCenter);
    RaceCourseNameLineEdit->setMaxLength(50);
    RaceCourseNameLineEdit->setStyleSheet(
        Palette::sheet("QLineEdit{color:@white;font: 14pt @font;font-weight: bold;border:none;"
                       "background:@column url(:/images/editPen.png) no-repeat right center;"
                       "padding-right:24px;selection-background-color:@selection;}"));
    horizontalLayout_11->addWidget(RaceCourseNameLineEdit);
    verticalLayout_4->addLayout(horizontalLayout_11);

    raceCourseWidget = named(new RaceCourse(vwidget_11), "raceCourseWidget");
    raceCourseWidget->setMinimumHeight(600);
    verticalLayout_4->addWidget(raceCourseWidget);

    horizontalLayout_15 = named(new QHBoxLayout(), "horizontalLayout_15");
    CurrentLoopLabel = named(new QLabel(vwidget_11), "CurrentLoopLabel");
    CurrentLoopLabel->setMinimumHeight(30);
    CurrentLoopLabel->setStyleSheet(FormStyle::labelStyle());
    CurrentLoopValueLabel = named(new QLabel(vwidget_11), "CurrentLoopValueLabel");
    CurrentLoopValueLabel->setMinimumSize(100, 30);
    CurrentLoopValueLabel->setMaximumWidth(50);
    CurrentLoopValueLabel->setStyleSheet(FormStyle::labelStyle());
    horizontalLayout_15->addWidget(CurrentLoopLabel);
    horizontalLayout_15->addWidget(CurrentLoopValueLabel);
    verticalLayout_4->addLayout(horizontalLayout_15);
    verticalLayout_4->addItem(vSpacer());
}

void Ui_CentralMainWindow::setupLinks()
{
    verticalLayout_5 = named(new QVBoxLayout(), "verticalLayout_5");
    horizontalLayout_4 = named(new QHBoxLayout(), "horizontalLayout_4");
    fbToolButton = linkButton(vwidget_11, "fbToolButton", ":/images/fb_icon.png");
    twToolButton = linkButton(vwidget_11, "twToolButton", ":/images/twitter_icon.png");
    InstToolButton = linkButton(vwidget_11, "InstToolButton", ":/images/instagram_icon.png");
    ytToolButton = linkButton(vwidget_11, "ytToolButton", ":/images/youtube_icon.png");
    liToolButton = linkButton(vwidget_11, "liToolButton", ":/images/linkedin_icon.png");
    for (QToolButton *button :
         {fbToolButton, twToolButton, InstToolButton, ytToolButton, liToolButton})
        horizontalLayout_4->addWidget(button);
    verticalLayout_5->addLayout(horizontalLayout_4);

    kvHomePushButton = named(new QPushButton(vwidget_11), "kvHomePushButton");
    kvHomePushButton->setFlat(true);
    kvHomePushButton->setMinimumHeight(40);
    kvHomePushButton->setStyleSheet(
        Palette::sheet("QPushButton{color:@link;font: 12pt @font;font-weight: bold;"
                       "border:none;background:none;}QPushButton:hover{color:@white;}"
                       "QPushButton:pressed{color:@panel;background:@accent;}"));
    verticalLayout_5->addWidget(kvHomePushButton);
    verticalLayout_4->addLayout(verticalLayout_5);
    horizontalLayout->addWidget(verticalwidget_1, 1);
}

void Ui_CentralMainWindow::setupRunColumn()
{
    verticalwidget_2 = named(new QWidget(horizontalwidget), "verticalwidget_2");
    verticalwidget_2->setMinimumSize(1260, 808);
    verticalLayout_2 = named(new QVBoxLayout(verticalwidget_2), "verticalLayout_2");
    horizontalLayout->addWidget(verticalwidget_2, 4);
}

void Ui_CentralMainWindow::setupRunBar()
{
    vwidget_21 = named(new QWidget(verticalwidget_2), "vwidget_21");
    vwidget_21->setMinimumSize(1186, 80);
    vwidget_21->setMaximumHeight(120);
    vwidget_21->setStyleSheet(Palette::sheet("QWidget{background:@bar;}"));
    horizontalLayout_10 = named(new QHBoxLayout(vwidget_21), "horizontalLayout_10");

    GoStartPushButton = largeButton(vwidget_21, "GoStartPushButton", true);
    GoEndPushButton = largeButton(vwidget_21, "GoEndPushButton", true);
    ResetPushButton = largeButton(vwidget_21, "ResetPushButton", true);
    StartStopPushButton = largeButton(vwidget_21, "StartStopPushButton", false);
    StartStopPushButton->setStyleSheet(FormStyle::startButtonStyle());

    toolButton_7 = linkButton(vwidget_21, "toolButton_7", ":/images/lspeed.png");
    toolButton_8 = linkButton(vwidget_21, "toolButton_8", ":/images/hSpeed.png");
    horizontalSlider = named(new QSlider(Qt::Horizontal, vwidget_21), "horizontalSlider");
    horizontalSlider->setMaximumSize(300, 30);
    horizontalSlider->setRange(6, 100);
    horizontalSlider->setPageStep(1);
    horizontalSlider->setValue(60);
    horizontalSlider->setTracking(true);
    horizontalSlider->setStyleSheet(Palette::sheet(
        "QSlider::groove:horizontal{height:10px;border-radius:4px;background:qlineargradient("
        "x1:0, y1:0, x2:1, y2:0, stop:0 @slow, stop:1 @fast);}"
        "QSlider::handle:horizontal{image:url(:/images/icon_sliderarrow.png);background:none;"
        "width:24px;margin:-8px 0;}"));

    playStartStoptoolButton = named(new QToolButton(vwidget_21), "playStartStoptoolButton");
    playStartStoptoolButton->setFixedSize(48, 48);
    playStartStoptoolButton->setIconSize(QSize(32, 32));
    // The icon, not a style image, shows play or stop: a style image would stay under it.
    playStartStoptoolButton->setIcon(QIcon(QStringLiteral(":/images/PlayIcon.png")));
    playStartStoptoolButton->setStyleSheet(
        QStringLiteral("QToolButton{background:none;border:none;}"));

    const QList<QWidget *> bar{GoStartPushButton,   GoEndPushButton,        toolButton_7,
                               horizontalSlider,    toolButton_8,           ResetPushButton,
                               StartStopPushButton, playStartStoptoolButton};
    horizontalLayout_10->addItem(hSpacer());
    for (QWidget *widget : bar) {
        horizontalLayout_10->addWidget(widget);
        // The speed controls sit together; everything else is spread out.
        if (widget != toolButton_7 && widget != horizontalSlider)
            horizontalLayout_10->addItem(hSpacer());
    }
    verticalLayout_2->addWidget(vwidget_21);
}

void Ui_CentralMainWindow::setupPanelRow()
{
    vwidget_22 = named(new QWidget(verticalwidget_2), "vwidget_22");
    vwidget_22->setMinimumSize(1186, 738);
    verticalLayout_3 = named(new QVBoxLayout(vwidget_22), "verticalLayout_3");
    vwidget_221 = named(new QWidget(vwidget_22), "vwidget_221");
    vwidget_221->setMinimumSize(1170, 545);
    horizontalLayout_12 = named(new QHBoxLayout(vwidget_221), "horizontalLayout_12");
    scrollArea = named(new QScrollArea(vwidget_221), "scrollArea");
    scrollArea->setWidgetResizable(true);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setStyleSheet(
        Palette::sheet("QScrollBar{background:@panel;}"
                       "QScrollBar:horizontal{height:15px;}QScrollBar:vertical{width:15px;}"
                       "QScrollBar::handle{background:@field;border-radius:5px;}"
                       "QScrollBar::handle:horizontal{min-width:30px;}QScrollBar::handle:vertical{"
                       "min-height:30px;}"
                       "QScrollBar::add-line,QScrollBar::sub-line{background:@panel;border:none;}"
                       "QScrollBar::left-arrow{image:url(:/images/icon_larrow.png);}"
                       "QScrollBar::right-arrow{image:url(:/images/icon_rarrow.png);}"
                       "QScrollBar::up-arrow{image:url(:/images/icon_tarrow.png);}"
                       "QScrollBar::down-arrow{image:url(:/images/icon_darrow.png);}"));
    srcWidget = named(new QWidget(), "srcWidget");
    srcWidget->setGeometry(0, 0, 1470, 545);
    horizontalLayout_14 = named(new QHBoxLayout(srcWidget), "horizontalLayout_14");
    SrcHorizontalLayout = named(new QHBoxLayout(), "SrcHorizontalLayout");
    horizontalLayout_14->addLayout(SrcHorizontalLayout);
    horizontalLayout_14->addStretch(1); // panels pack to the left
    scrollArea->setWidget(srcWidget);
    horizontalLayout_12->addWidget(scrollArea);
    verticalLayout_3->addWidget(vwidget_221);
}

void Ui_CentralMainWindow::setupParameterPanel()
{
    vwidget_222 = named(new QWidget(vwidget_22), "vwidget_222");
    vwidget_222->setMinimumSize(1170, 150);
    vwidget_222->setMaximumHeight(200);
    vwidget_222->setStyleSheet(
        Palette::sheet("QWidget{  background:@panel; border-radius: 15px;}"));
    horizontalLayout_2 = named(new QHBoxLayout(vwidget_222), "horizontalLayout_2");
    srcTableWidget = named(new QTableWidget(vwidget_222), "srcTableWidget");
    srcTableWidget->setMinimumWidth(180);
    srcTableWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
    srcTableWidget->setShowGrid(false);
    srcTableWidget->setCornerButtonEnabled(false);
    horizontalLayout_2->addItem(hSpacer(10));
    horizontalLayout_2->addWidget(srcTableWidget);
    setupRacesColumn();
    setupSetupColumn();
    setupRangeColumn();
    setupLengthColumn();
    setupScriptColumn();
    verticalLayout_3->addWidget(vwidget_222);
    verticalLayout_2->addWidget(vwidget_22);
}

void Ui_CentralMainWindow::setupRacesColumn()
{
    QWidget *p = vwidget_222;
    TotalRacesLabel = paramLabel(p, "TotalRacesLabel");
    LTotalRacesToolButton = stepButton(p, "LTotalRacesToolButton", true);
    TotalRaceslineEdit = valueEdit(p, "TotalRaceslineEdit", 45, false);
    TotalRaceslineEdit->setMaxLength(3);
    RTotalRacesToolButton = stepButton(p, "RTotalRacesToolButton", false);
    line_7 = separator(p, "line_7");
    TotalWaypointLabel = paramLabel(p, "TotalWaypointLabel");
    LTotalWayPtsToolButton = stepButton(p, "LTotalWayPtsToolButton", true);
    TotalWayPtlineEdit = valueEdit(p, "TotalWayPtlineEdit", 45, false);
    TotalWayPtlineEdit->setMaxLength(4);
    RTotalWayPtsToolButton = stepButton(p, "RTotalWayPtsToolButton", false);
    verticalLayout_2222 = parameterColumn("verticalLayout_2222",
                                          stepRow(TotalRacesLabel, true, LTotalRacesToolButton,
                                                  TotalRaceslineEdit, RTotalRacesToolButton),
                                          line_7,
                                          stepRow(TotalWaypointLabel, true, LTotalWayPtsToolButton,
                                                  TotalWayPtlineEdit, RTotalWayPtsToolButton));
    horizontalLayout_2->addItem(hSpacer(10));
    horizontalLayout_2->addLayout(verticalLayout_2222);
}

void Ui_CentralMainWindow::setupSetupColumn()
{
    QWidget *p = vwidget_222;
    SetupWaypointLabel = paramLabel(p, "SetupWaypointLabel", 180);
    LSetupWayptToolButton = stepButton(p, "LSetupWayptToolButton", true);
    SetupWayptLineEdit = valueEdit(p, "SetupWayptLineEdit", 65, true);
    RSetupWayptToolButton = stepButton(p, "RSetupWayptToolButton", false);
    line_6 = separator(p, "line_6");
    CurrentRaceLabel = paramLabel(p, "CurrentRaceLabel", 180);
    LCurrentRaceToolButton = stepButton(p, "LCurrentRaceToolButton", true);
    CurrentRaceLineEdit = valueEdit(p, "CurrentRaceLineEdit", 65, true);
    RCurrentRaceToolButton = stepButton(p, "RCurrentRaceToolButton", false);
    verticalLayout_2221 = parameterColumn("verticalLayout_2221",
                                          stepRow(SetupWaypointLabel, false, LSetupWayptToolButton,
                                                  SetupWayptLineEdit, RSetupWayptToolButton),
                                          line_6,
                                          stepRow(CurrentRaceLabel, false, LCurrentRaceToolButton,
                                                  CurrentRaceLineEdit, RCurrentRaceToolButton));
    horizontalLayout_2->addItem(hSpacer(10));
    horizontalLayout_2->addLayout(verticalLayout_2221);
}

void Ui_CentralMainWindow::setupRangeColumn()
{
    QWidget *p = vwidget_222;
    startWayPtLabel = paramLabel(p, "startWayPtLabel");
    LStartWayptToolButton = stepButton(p, "LStartWayptToolButton", true);
    StartWayptLineEdit = valueEdit(p, "StartWayptLineEdit", 65, true);
    RStartWayptToolButton = stepButton(p, "RStartWayptToolButton", false);
    line_9 = separator(p, "line_9");
    endWayPtLabel = paramLabel(p, "endWayPtLabel");
    LEndWayptToolButton = stepButton(p, "LEndWayptToolButton", true);
    EndWayPtLlineEdit = valueEdit(p, "EndWayPtLlineEdit", 65, true);
    REndWayptToolButton = stepButton(p, "REndWayptToolButton", false);
    verticalLayout_2223 = parameterColumn(
        "verticalLayout_2223",
        stepRow(startWayPtLabel, false, LStartWayptToolButton, StartWayptLineEdit,
                RStartWayptToolButton),
        line_9,
        stepRow(endWayPtLabel, false, LEndWayptToolButton, EndWayPtLlineEdit, REndWayptToolButton));
    horizontalLayout_2->addItem(hSpacer(10));
    horizontalLayout_2->addLayout(verticalLayout_2223);
}

void Ui_CentralMainWindow::setupLengthColumn()
{
    QWidget *p = vwidget_222;
    RaceLengthLabel = paramLabel(p, "RaceLengthLabel");
    RaceLengthLineEdit = valueEdit(p, "RaceLengthLineEdit", 65, false);
    RaceLengthLineEdit->setMaxLength(5);
    RaceLengthLineEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    RaceLengthUnitLabel = named(new QLabel(p), "RaceLengthUnitLabel");
    RaceLengthUnitLabel->setMinimumSize(25, 30);
    RaceLengthUnitLabel->setStyleSheet(FormStyle::labelStyle());
    line_11 = separator(p, "line_11");
    CurrentRaceLabel_2 = paramLabel(p, "CurrentRaceLabel_2");
    LLoopCountToolButton = stepButton(p, "LLoopCountToolButton", true);
    LoopCountLlineEdit = valueEdit(p, "LoopCountLlineEdit", 40, true);
    RLoopCountToolButton = stepButton(p, "RLoopCountToolButton", false);
    verticalLayout_2226 = parameterColumn(
        "verticalLayout_2226",
        stepRow(RaceLengthLabel, true, nullptr, RaceLengthLineEdit, RaceLengthUnitLabel), line_11,
        stepRow(CurrentRaceLabel_2, false, LLoopCountToolButton, LoopCountLlineEdit,
                RLoopCountToolButton));
    horizontalLayout_2->addItem(hSpacer(10));
    horizontalLayout_2->addLayout(verticalLayout_2226);
}

void Ui_CentralMainWindow::setupScriptColumn()
{
    QWidget *p = vwidget_222;
    verticalLayout_2224 = named(new QVBoxLayout(), "verticalLayout_2224");
    line_8 = separator(p, "line_8");
    scriptSavePushButton = largeButton(p, "scriptSavePushButton", false);
    scriptLoadPushButton = largeButton(p, "scriptLoadPushButton", true);
    OpenReportPushButton = largeButton(p, "OpenReportPushButton", true);
    for (QPushButton *button : {scriptSavePushButton, scriptLoadPushButton, OpenReportPushButton})
        button->setMinimumSize(200, 31);
    verticalLayout_2224->addWidget(line_8);
    verticalLayout_2224->addItem(vSpacer());
    verticalLayout_2224->addWidget(scriptSavePushButton);
    verticalLayout_2224->addWidget(scriptLoadPushButton);
    verticalLayout_2224->addWidget(OpenReportPushButton);
    verticalLayout_2224->addItem(vSpacer());
    horizontalLayout_2->addItem(hSpacer(10));
    horizontalLayout_2->addLayout(verticalLayout_2224);
    horizontalLayout_2->addItem(hSpacer(10));
}

void Ui_CentralMainWindow::retranslateUi(QMainWindow *CentralMainWindow)
{
    auto tr = [](const char *text) {
        return QCoreApplication::translate("CentralMainWindow", text);
    };
    CentralMainWindow->setWindowTitle(tr("Form"));
    RaceCourseNameLineEdit->setPlaceholderText(tr("Westmere Racecourse"));
    CurrentLoopLabel->setText(tr("Current Loop"));
    CurrentLoopValueLabel->setText(tr("1"));
    fbToolButton->setText(tr("..."));
    twToolButton->setText(tr("..."));
    kvHomePushButton->setText(tr("korvane.example"));
    GoStartPushButton->setText(tr("GO TO START"));
    GoEndPushButton->setText(tr("GO TO END"));
    ResetPushButton->setText(tr("RESET"));
    StartStopPushButton->setText(tr("START"));
    TotalRacesLabel->setText(tr("Total Races"));
    TotalRaceslineEdit->setPlaceholderText(tr("15"));
    TotalWaypointLabel->setText(tr("Total Waypoint"));
    TotalWayPtlineEdit->setPlaceholderText(tr("15"));
    SetupWaypointLabel->setText(tr("Setup Waypoint"));
    SetupWayptLineEdit->setPlaceholderText(tr("1/15"));
    CurrentRaceLabel->setText(tr("Current Race"));
    CurrentRaceLineEdit->setPlaceholderText(tr("1/15"));
    startWayPtLabel->setText(tr("Start Waypoint"));
    StartWayptLineEdit->setPlaceholderText(tr("1/15"));
    endWayPtLabel->setText(tr("End Waypoint"));
    EndWayPtLlineEdit->setPlaceholderText(tr("1/15"));
    RaceLengthLabel->setText(tr("Race Length"));
    RaceLengthLineEdit->setPlaceholderText(tr("3000"));
    RaceLengthUnitLabel->setText(tr("m"));
    CurrentRaceLabel_2->setText(tr("Loop Count"));
    LoopCountLlineEdit->setPlaceholderText(tr("1"));
    scriptSavePushButton->setText(tr("SAVE"));
    scriptLoadPushButton->setText(tr("LOAD"));
    OpenReportPushButton->setText(tr("OPEN REPORT"));
}
