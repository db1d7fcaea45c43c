#include "automation/racecourse.h"

#include <QImage>
#include <QtTest>

namespace {

const QRgb Bar = 0xff4a4a4a;
const QRgb Open = 0xff282b2e;
const QRgb Leg = 0xffa1cc4a;
const QRgb Reached = QColor(Qt::darkGreen).rgb();
const QRgb None = 0x00000000;

// The 12-cell example course: 314 x 600 gives bar (89, 60, 127, 510), cells 42 apart.
QImage renderCourse(RaceCourse &course)
{
    course.resize(314, 600);
    QImage image(course.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    course.render(&image, QPoint(), QRegion(), QWidget::DrawChildren); // no window background
    return image;
}

bool hasWhiteIn(const QImage &image, const QRect &box)
{
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) > 200)
                return true;
    return false;
}

QString colourAt(const QImage &image, QPoint at)
{
    return QString::number(image.pixel(at), 16);
}

} // namespace

class TestRaceCourse : public QObject
{
    Q_OBJECT

private slots:
    void geometryOfTwelveCells();
    void marksAndLegs_data();
    void marksAndLegs();
    void markRules_data();
    void markRules();
    void otherCounts();
};

void TestRaceCourse::geometryOfTwelveCells()
{
    RaceCourse course;
    course.setWayPointCount(12);
    const QImage image = renderCourse(course);
    const QList<std::tuple<const char *, QPoint, QRgb>> rows{
        {"left of the bar", {88, 100}, None},      {"bar's left edge", {89, 100}, Bar},
        {"bar's right edge", {215, 100}, Bar},     {"right of the bar", {216, 100}, None},
        {"above the bar", {150, 59}, None},        {"bar's top", {150, 60}, Bar},
        {"first cell top left", {94, 65}, Open},   {"first cell bottom right", {211, 100}, Open},
        {"gap after first cell", {150, 103}, Bar}, {"second cell", {100, 110}, Open},
        {"last cell", {100, 560}, Open},           {"below the last cell", {150, 567}, Bar},
        {"bar's bottom", {150, 569}, Bar},         {"below the bar", {150, 570}, None}};
    QStringList expected, actual;
    for (const auto &[what, at, colour] : rows) {
        expected << QString("%1: %2").arg(what, QString::number(colour, 16));
        actual << QString("%1: %2").arg(what, colourAt(image, at));
    }
    QCOMPARE(actual, expected);

    QCOMPARE(course.numberAnchor(1), QPoint(149, 70));
    QCOMPARE(course.numberAnchor(12), QPoint(149, 70 + 11 * 42));
    // The digit's baseline starts at (149, 86): ink above it and to its right, none to its left.
    QVERIFY(hasWhiteIn(image, QRect(149, 74, 10, 13)));
    QVERIFY(!hasWhiteIn(image, QRect(94, 66, 50, 34)));
    QVERIFY(hasWhiteIn(image, QRect(149, 74 + 11 * 42, 20, 13)));
}

void TestRaceCourse::marksAndLegs_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<uint>("colour");
    // Cell 3 reached spans y 150..188, cell 4 open from 189, reached from 192.
    QTest::newRow("single: reached cell is lower") << 3 << 0 << QPoint(150, 152) << uint(Reached);
    QTest::newRow("single: no leg") << 3 << 0 << QPoint(150, 190) << uint(Open);
    QTest::newRow("pair: leg joins the cells") << 3 << 4 << QPoint(150, 190) << uint(Leg);
    QTest::newRow("pair: second cell reached") << 3 << 4 << QPoint(150, 220) << uint(Reached);
    QTest::newRow("apart: no leg") << 3 << 5 << QPoint(150, 190) << uint(Open);
    QTest::newRow("first and last: leg below the last") << 1 << 12 << QPoint(150, 568) << uint(Leg);
    QTest::newRow("only last: bar below it") << 12 << 0 << QPoint(150, 568) << uint(Bar);
}

void TestRaceCourse::marksAndLegs()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(QPoint, at);
    QFETCH(uint, colour);
    RaceCourse course;
    course.setWayPointCount(12);
    course.markWayPoints(a, b);
    QCOMPARE(colourAt(renderCourse(course), at), QString::number(colour, 16));
}

void TestRaceCourse::markRules_data()
{
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QList<int>>("reached");
    QTest::newRow("single") << "m3" << QList<int>{3};
    QTest::newRow("single replaces pair") << "p3,4 m5" << QList<int>{5};
    QTest::newRow("zero keeps marks") << "p3,4 m0" << QList<int>{3, 4};
    QTest::newRow("101 keeps marks") << "m3 m101" << QList<int>{3};
    QTest::newRow("pair with zero") << "p3,4 p0,5" << QList<int>{5};
    QTest::newRow("pair out of range clears") << "m3 p0,101" << QList<int>{};
    QTest::newRow("clear") << "p1,12 c" << QList<int>{};
    QTest::newRow("beyond count is kept") << "m50" << QList<int>{50};
    QTest::newRow("pair at the limits") << "p1,100" << QList<int>{1, 100};
    // A count lowered during a run must not keep a mark that shows again when it is raised.
    QTest::newRow("clear above a lowered count") << "p9,10 n5 c" << QList<int>{};
    QTest::newRow("mark above a lowered count") << "m10 n5 m3" << QList<int>{3};
}

void TestRaceCourse::markRules()
{
    QFETCH(QString, calls);
    QFETCH(QList<int>, reached);
    RaceCourse course;
    course.setWayPointCount(12);
    for (const QString &call : calls.split(' ')) {
        const QStringList args = call.mid(1).split(',');
        if (call.startsWith('m'))
            course.markWayPoint(args[0].toInt());
        else if (call.startsWith('p'))
            course.markWayPoints(args[0].toInt(), args[1].toInt());
        else if (call.startsWith('n'))
            course.setWayPointCount(int16_t(args[0].toInt()));
        else
            course.clearReached();
    }
    QList<int> marked;
    for (int n = 1; n <= RaceCourse::MaxCells; ++n)
        if (course.isReached(n))
            marked << n;
    QCOMPARE(marked, reached);
}

// Two cells split the course; counts are capped at 100; none or fewer draw only the bar.
void TestRaceCourse::otherCounts()
{
    RaceCourse course;
    course.setWayPointCount(2);
    QImage image = renderCourse(course);
    QCOMPARE(course.numberAnchor(2).y() - course.numberAnchor(1).y(), 512 / 2);
    QCOMPARE(colourAt(image, {150, 63 + 256 + 20}), QString::number(Open, 16));

    course.setWayPointCount(150);
    QCOMPARE(int(course.count()), 100);
    renderCourse(course);
    QCOMPARE(course.numberAnchor(100).y(), 63 + 99 * (512 / 100) + (512 - 303) / 100 / 2 - 12);

    for (int count : {0, -3}) {
        course.setWayPointCount(int16_t(count));
        QCOMPARE(int(course.count()), count);
        course.markWayPoints(1, 2);
        image = renderCourse(course);
        QCOMPARE(colourAt(image, {150, 65}), QString::number(Bar, 16));
        QVERIFY(!hasWhiteIn(image, image.rect()));
    }
}

QTEST_MAIN(TestRaceCourse)
#include "tst_racecourse.moc"
