#include "automation/engine/raceparameters.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

using Field = RaceParameters::Field;

// The fields as the change strings below name them, in the order they are held.
const QStringList Names{"races", "current", "waypoints", "setup",
                        "end",   "start",   "loops",     "length"};

// "races-3" steps down three times, "end+2" up twice, "races=7" types, "reset" resets.
void apply(RaceParameters &race, const QString &changes)
{
    static const QRegularExpression change(QStringLiteral("^(\\w+)([-+=])(.*)$"));
    for (const QString &word : changes.split(' ', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = change.match(word);
        QVERIFY2(word == "reset" || Names.contains(match.captured(1)), qPrintable(word));
        const auto field = Field(Names.indexOf(match.captured(1)));
        const QString how = match.captured(2), what = match.captured(3);
        if (word == QLatin1String("reset"))
            race.reset();
        else if (how == QLatin1String("="))
            race.setTyped(field, what);
        else
            for (int i = what.toInt(); i > 0; --i)
                race.step(field, how == QLatin1String("+") ? 1 : -1);
    }
}

// A field's text and its step buttons: "<" down enabled, ">" up enabled, "." neither.
QString shown(const RaceParameters &race, Field field)
{
    if (field == Field::RaceLength)
        return race.text(field);
    return race.text(field) + (race.canStepDown(field) ? "<" : ".") +
           (race.canStepUp(field) ? ">" : ".");
}

QString shown(const RaceParameters &race)
{
    QStringList fields;
    for (Field field : RaceParameters::Fields)
        fields << shown(race, field);
    return fields.join(' ');
}

} // namespace

class TestRaceParameters : public QObject
{
    Q_OBJECT

private slots:
    void changes_data();
    void changes();
    void aChangeNamesEveryFieldItAlters();
};

void TestRaceParameters::changes_data()
{
    QTest::addColumn<QString>("changes");
    QTest::addColumn<QString>("shown"); // races current waypoints setup end start loops length
    const QString startUp = "30<> 1/30.> 12<> 1/12.> 12/12<. 1/12.> 1.> 3000";
    QTest::newRow("start-up") << "" << startUp;
    QTest::newRow("step buttons stop at their bounds; total waypoints pull End")
        << "races-40 waypoints-20 loops+200"
        << "2.> 1/2.> 3.> 1/3.> 3/3<. 1/3.> 99<. 3000";
    QTest::newRow("total waypoints step up to 99, moving no other")
        << "waypoints+100"
        << "30<> 1/30.> 99<. 1/99.> 12/99<> 1/99.> 1.> 3000";
    QTest::newRow("current race stops at the total, which pulls it down")
        << "current+40 races-5"
        << "25<> 25/25<. 12<> 1/12.> 12/12<. 1/12.> 1.> 3000";
    QTest::newRow("start and end never cross") << "end-8 start+10"
                                               << "30<> 1/30.> 12<> 1/12.> 4/12.> 4/12<. 1.> 3000";
    QTest::newRow("typed total waypoints pull setup, end and start")
        << "setup+9 start+7 end-2 waypoints=5"
        << "30<> 1/30.> 5<> 5/5<. 5/5.. 5/5<. 1.> 3000";
    QTest::newRow("typed values held to their bounds")
        << "current+9 races=xy waypoints=1 length=40000"
        << "1.> 1/1.. 2.> 1/2.> 2/2<. 1/2.> 1.> 32767";
    QTest::newRow("typed total waypoints beyond the step buttons")
        << "waypoints=9999"
        << "30<> 1/30.> 9999<. 1/9999.> 12/9999<> 1/9999.> 1.> 3000";
    // From 999 races and a one-waypoint range, the step-up buttons come back.
    QTest::newRow("reset") << "races=999 waypoints=99 end-98 loops+5 length=800 reset" << startUp;
}

void TestRaceParameters::changes()
{
    QFETCH(QString, changes);
    RaceParameters race;
    apply(race, changes);
    QTEST(shown(race), "shown");
}

// The form rewrites only the fields a change names, so every field that shows differently
// must be among them: from start-up and from set-ups at their bounds, every change.
void TestRaceParameters::aChangeNamesEveryFieldItAlters()
{
    for (const char *setUp : {"", "current+40 setup+20 end-11 loops+98", "waypoints-9 races-28"}) {
        for (Field changed : RaceParameters::Fields) {
            for (const char *change : {"-1", "+1", "=0", "=9999"}) {
                RaceParameters race;
                apply(race, setUp);
                const RaceParameters before = race;
                const QString name = Names.at(int(changed));
                apply(race, name + change);
                const std::vector<Field> named = RaceParameters::affectedBy(changed);
                for (Field field : RaceParameters::Fields)
                    QVERIFY2(shown(race, field) == shown(before, field) ||
                                 std::count(named.begin(), named.end(), field),
                             qPrintable(Names.at(int(field)) + ": " + setUp + ' ' + name + change));
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestRaceParameters)
#include "tst_raceparameters.moc"
