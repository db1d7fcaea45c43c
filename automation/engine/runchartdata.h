#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

// What a run report says about each waypoint play, read for the run chart: when each camera
// arrived, the spread between the first and the last, and which camera came last.
class RunChartData
{
public:
    struct Arrival
    {
        QString camera;
        int msec = 0; // from the waypoint's common start; 0 unless arrived
        bool arrived = false;
        bool givenUp = false;
    };

    struct Play
    {
        int preset = 0; // -1 for a waypoint without a number
        std::vector<Arrival> arrivals;
        int spreadMsec = 0; // latest minus earliest arrival; 0 with fewer than two
        int slowest = -1;   // index into arrivals of the latest arrival; -1 when none arrived
    };

    // False, with the reason in `error`, for anything but a run report with waypoints.
    bool load(const QString &path, QString &error);
    bool parse(const QByteArray &json, QString &error);

    QString venue;
    int race = 0;
    QDate date; // from the report's file name; invalid when the name does not carry one
    std::vector<Play> plays;

    // Every camera of the report, in the order it first appears: the chart's series.
    QStringList cameras() const;
    // The median of the spreads of the plays where a camera arrived; 0 when none did.
    int medianSpreadMsec() const;
    int maxArrivalMsec() const;
};
