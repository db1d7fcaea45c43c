#include "automation/runchart.h"

#include "automation/engine/runchartdata.h"
#include "automation/formstyle.h"
#include "automation/scriptfiledialog.h"
#include "shell/palette.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

using namespace QtCharts;

const char *const RunChart::SaveButtonName = "SavePngPushButton";

namespace {

constexpr double kGroupWidth = 0.8; // of a waypoint's slot, shared by its cameras' bars
const QColor kBackground(Palette::panel);
const QColor kText(Palette::caption);
const QColor kGrid(Palette::raised);
const QColor kGivenUp(Palette::givenUpBar);

QColor cameraColour(int camera)
{
    return QColor(Palette::series[camera % int(std::size(Palette::series))]);
}

QFont chartFont(int pointSize, bool bold)
{
    QFont font(QString::fromUtf8(Palette::fontFamily), pointSize);
    font.setBold(bold);
    return font;
}

// Where the bar of `camera` stands within the slot of `play` (slots are centred on 0, 1, ...).
double barCentre(int play, int camera, int cameras)
{
    return play - kGroupWidth / 2 + (camera + 0.5) * kGroupWidth / cameras;
}

QString wayPointName(int preset)
{
    return preset < 0 ? QStringLiteral("-") : QString::number(preset);
}

QString titleOf(const RunChartData &data)
{
    QStringList parts;
    if (!data.venue.isEmpty())
        parts << data.venue;
    parts << RunChart::tr("Race %1").arg(data.race);
    if (data.date.isValid())
        parts << data.date.toString(Qt::ISODate);
    parts << RunChart::tr("median spread %1 ms").arg(data.medianSpreadMsec());
    return parts.join(QStringLiteral("  \u00b7  "));
}

void styleAxis(QAbstractAxis *axis, const QString &title)
{
    axis->setLabelsBrush(kText);
    axis->setLabelsFont(chartFont(9, false));
    axis->setTitleBrush(kText);
    axis->setTitleFont(chartFont(10, true));
    axis->setTitleText(title);
    axis->setLinePen(QPen(kGrid));
    axis->setGridLinePen(QPen(kGrid));
}

// The scale leaves room above the latest arrival for the given-up marks.
double axisTop(const RunChartData &data)
{
    return std::max(1000.0, std::ceil(data.maxArrivalMsec() * 1.2 / 500.0) * 500.0);
}

void attach(QChart *chart, QAbstractSeries *series)
{
    chart->addSeries(series);
    for (QAbstractAxis *axis : chart->axes())
        series->attachAxis(axis);
}

// The legend shows a mark as drawn on the chart, not as a plain square.
void legendAsDrawn(QChart *chart, QAbstractSeries *series)
{
    for (QLegendMarker *marker : chart->legend()->markers(series))
        marker->setShape(QLegend::MarkerShapeFromSeries);
}

// A mark per point whose tooltip names the camera behind it.
void addMarks(QChart *chart, QScatterSeries *marks, const QStringList &tips)
{
    attach(chart, marks);
    legendAsDrawn(chart, marks);
    QObject::connect(marks, &QScatterSeries::hovered, marks,
                     [marks, tips](const QPointF &point, bool over) {
                         const int index = marks->points().indexOf(point);
                         if (over && index >= 0)
                             QToolTip::showText(QCursor::pos(), tips.value(index));
                         else
                             QToolTip::hideText();
                     });
}

QString arrivalTip(const RunChartData::Play &play, const RunChartData::Arrival &arrival)
{
    const QString at =
        RunChart::tr("%1 at waypoint %2: ").arg(arrival.camera, wayPointName(play.preset));
    if (arrival.givenUp)
        return at + RunChart::tr("given up");
    if (!arrival.arrived)
        return at + RunChart::tr("did not arrive");
    return at + RunChart::tr("%1 ms").arg(arrival.msec);
}

void addArrivalBars(QChart *chart, const RunChartData &data, const QStringList &cameras)
{
    auto *bars = new QBarSeries();
    bars->setBarWidth(kGroupWidth);
    for (int c = 0; c < cameras.size(); ++c) {
        auto *set = new QBarSet(cameras[c]);
        set->setColor(cameraColour(c));
        set->setBorderColor(cameraColour(c));
        set->setLabelColor(kText);
        QStringList tips;
        for (const RunChartData::Play &play : data.plays) {
            const auto found = std::find_if(
                play.arrivals.begin(), play.arrivals.end(),
                [&](const RunChartData::Arrival &a) { return a.camera == cameras[c]; });
            set->append(found == play.arrivals.end() ? 0 : found->msec);
            tips << (found == play.arrivals.end() ? QString() : arrivalTip(play, *found));
        }
        QObject::connect(set, &QBarSet::hovered, set, [tips](bool over, int index) {
            if (over && !tips.value(index).isEmpty())
                QToolTip::showText(QCursor::pos(), tips.value(index));
            else
                QToolTip::hideText();
        });
        bars->append(set);
    }
    attach(chart, bars);
}

void addSpreadLine(QChart *chart, const RunChartData &data)
{
    auto *line = new QLineSeries();
    line->setName(RunChart::tr("Spread (ms)"));
    QPen pen(QColor(Palette::marker), 2, Qt::DashLine);
    line->setPen(pen);
    line->setPointsVisible(true);
    line->setPointLabelsVisible(true);
    line->setPointLabelsFormat(QStringLiteral("@yPoint"));
    line->setPointLabelsColor(QColor(Palette::marker));
    line->setPointLabelsFont(chartFont(8, true));
    for (size_t p = 0; p < data.plays.size(); ++p)
        line->append(double(p), data.plays[p].spreadMsec);
    attach(chart, line);
    legendAsDrawn(chart, line);
}

QImage crossImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kGivenUp, 3.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4, 4), QPointF(size - 4, size - 4));
    painter.drawLine(QPointF(size - 4, 4), QPointF(4, size - 4));
    return image;
}

void addSlowestAndGivenUp(QChart *chart, const RunChartData &data, const QStringList &cameras)
{
    auto *slowest = new QScatterSeries();
    slowest->setName(RunChart::tr("Slowest"));
    slowest->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    slowest->setMarkerSize(16);
    slowest->setBrush(Qt::NoBrush);
    slowest->setPen(QPen(QColor(Palette::white), 2.5));
    auto *givenUp = new QScatterSeries();
    givenUp->setName(RunChart::tr("Given up"));
    givenUp->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    givenUp->setMarkerSize(20);
    givenUp->setBrush(crossImage(20));
    givenUp->setPen(Qt::NoPen);

    const double crossHeight = axisTop(data) * 0.94;
    QStringList slowestTips, givenUpTips;
    for (int p = 0; p < int(data.plays.size()); ++p) {
        const RunChartData::Play &play = data.plays[size_t(p)];
        for (int a = 0; a < int(play.arrivals.size()); ++a) {
            const RunChartData::Arrival &arrival = play.arrivals[size_t(a)];
            const double x = barCentre(p, int(cameras.indexOf(arrival.camera)), cameras.size());
            if (a == play.slowest) {
                slowest->append(x, arrival.msec);
                slowestTips << RunChart::tr("%1, slowest: %2 behind the first")
                                   .arg(arrivalTip(play, arrival),
                                        RunChart::tr("%1 ms").arg(play.spreadMsec));
            } else if (arrival.givenUp) {
                givenUp->append(x, crossHeight);
                givenUpTips << arrivalTip(play, arrival);
            }
        }
    }
    addMarks(chart, slowest, slowestTips);
    addMarks(chart, givenUp, givenUpTips);
}

void addAxes(QChart *chart, const RunChartData &data)
{
    auto *x = new QBarCategoryAxis();
    for (const RunChartData::Play &play : data.plays)
        x->append(wayPointName(play.preset));
    styleAxis(x, RunChart::tr("Waypoint"));
    x->setGridLineVisible(false);
    auto *y = new QValueAxis();
    y->setRange(0, axisTop(data));
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTickCount(6);
    styleAxis(y, RunChart::tr("Arrival after the waypoint's start (ms)"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
}

void styleChart(QChart *chart, const RunChartData &data)
{
    chart->setBackgroundBrush(kBackground);
    chart->setBackgroundRoundness(0);
    chart->setTitle(titleOf(data));
    chart->setTitleBrush(QColor(Palette::white));
    chart->setTitleFont(chartFont(13, true));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setLabelColor(kText);
    chart->legend()->setFont(chartFont(9, true));
    chart->setAnimationOptions(QChart::NoAnimation);
}

QChart *buildChart(const RunChartData &data)
{
    auto *chart = new QChart();
    styleChart(chart, data);
    addAxes(chart, data);
    const QStringList cameras = data.cameras();
    addArrivalBars(chart, data, cameras);
    addSpreadLine(chart, data);
    addSlowestAndGivenUp(chart, data, cameras);
    return chart;
}

} // namespace

RunChart::RunChart(QWidget *parent)
    : QDialog(parent, Qt::Window)
{
    setObjectName(QStringLiteral("RunChart"));
    setStyleSheet(Palette::sheet("QDialog{background:@panel;}"));
    view = new QChartView(this);
    view->setObjectName(QStringLiteral("RunChartView"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setFrameShape(QFrame::NoFrame);
    view->setBackgroundBrush(kBackground);
    view->setMinimumSize(720, 420);
    saveButton = new QPushButton(tr("Save PNG"), this);
    saveButton->setObjectName(QString::fromLatin1(SaveButtonName));
    saveButton->setStyleSheet(FormStyle::pushButtonStyle(false));
    saveButton->setMinimumSize(160, 31);
    savedLabel = new QLabel(this);
    savedLabel->setStyleSheet(FormStyle::labelStyle());
    connect(saveButton, &QPushButton::clicked, this, &RunChart::saveClicked);

    auto *buttons = new QHBoxLayout();
    buttons->addWidget(savedLabel, 1);
    buttons->addWidget(saveButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(view, 1);
    layout->addLayout(buttons);
    resize(1100, 620);
}

bool RunChart::showReport(const QString &path, QString &error)
{
    RunChartData report;
    if (!report.load(path, error))
        return false;
    reportPath = path;
    QChart *previous = view->chart();
    view->setChart(buildChart(report));
    delete previous;
    setWindowTitle(tr("Run chart - %1").arg(QFileInfo(path).fileName()));
    savedLabel->clear();
    return true;
}

QString RunChart::pngPath(const QString &reportPath)
{
    const QFileInfo report(reportPath);
    return report.dir().filePath(report.completeBaseName() + QStringLiteral(".png"));
}

bool RunChart::savePng(QString &error)
{
    const QImage image = view->grab().toImage();
    // Written aside and renamed into place, so a full disk leaves no broken picture.
    QSaveFile file(pngPath(reportPath));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        error = file.error() != QFileDevice::NoError ? file.errorString()
                                                     : tr("the picture could not be encoded");
        return false;
    }
    return true;
}

void RunChart::saveClicked()
{
    QString error;
    const QString path = QDir::toNativeSeparators(pngPath(reportPath));
    if (savePng(error)) {
        savedLabel->setText(tr("Saved %1").arg(path));
        return;
    }
    savedLabel->clear();
    ScriptFileDialog::showFailure(this, tr("Could not save the chart %1: %2.").arg(path, error));
}
