#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class RunChartData;

namespace QtCharts {
class QChartView;
}

// The picture of one run: per waypoint each camera's arrival after the waypoint's start, the
// spread, the slowest camera and the cameras given up. One window, shown again for each report
// and left open beside the form.
class RunChart : public QDialog
{
    Q_OBJECT

public:
    static const char *const SaveButtonName;

    explicit RunChart(QWidget *parent = nullptr);

    // False, with the reason, when the file is no run report; the chart shown stays as it was.
    bool showReport(const QString &path, QString &error);
    // Beside the report: the same name with ".png".
    static QString pngPath(const QString &reportPath);
    bool savePng(QString &error);
    QtCharts::QChartView *chartView() const { return view; }

private:
    void saveClicked();

    QtCharts::QChartView *view = nullptr;
    QPushButton *saveButton = nullptr;
    QLabel *savedLabel = nullptr;
    QString reportPath;
};
