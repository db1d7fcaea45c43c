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

} // namespace

class TestRaceCourse : public QObject
{
    Q_OBJECT

private slots:
    void geometryOfTwelveCells_data();
    void geometryOfTwelveCells();
    void numbersSitAtTheirAnchors();
    void marksAndLegs_data();
    void marksAndLegs();
    void markRules_data();
    void markRules();
    void twoCellsSplitTheCourse();
    void countIsCappedAndEmptyCountsDrawOnlyTheBar_data();
    void countIsCappedAndEmptyCountsDrawOnlyTheBar();
};

void TestRaceCourse::geometryOfTwelveCells_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<uint>("colour");
    QTest::newRow("left of the bar") << QPoint(88, 100) << uint(None);
    QTest::newRow("bar's left edge") << QPoint(89, 100) << uint(Bar);
    QTest::newRow("bar's right edge") << QPoint(215, 100) << uint(Bar);
    QTest::newRow("right of the bar") << QPoint(216, 100) << uint(None);
    QTest::newRow("above the bar") << QPoint(150, 59) << uint(None);
    QTest::newRow("bar's top") << QPoint(150, 60) << uint(Bar);
    QTest::newRow("first cell top left") << QPoint(94, 65) << uint(Open);
    QTest::newRow("first cell bottom right") << QPoint(211, 100) << uint(Open);
    QTest::newRow("gap after first cell") << QPoint(150, 103) << uint(Bar);
    QTest::newRow("second cell") << QPoint(100, 110) << uint(Open);
    QTest::newRow("last cell") << QPoint(100, 560) << uint(Open);
    QTest::newRow("below the last cell") << QPoint(150, 567) << uint(Bar);
    QTest::newRow("bar's bottom") << QPoint(150, 569) << uint(Bar);
    QTest::newRow("below the bar") << QPoint(150, 570) << uint(None);
}

void TestRaceCourse::geometryOfTwelveCells()
{
    QFETCH(QPoint, at);
    QFETCH(uint, colour);
    RaceCourse course;
    course.setWayPointCount(12);
    const QImage image = renderCourse(course);
    QCOMPARE(QString::number(image.pixel(at), 16), QString::number(colour, 16));
}

void TestRaceCourse::numbersSitAtTheirAnchors()
{
    RaceCourse course;
    course.setWayPointCount(12);
    const QImage image = renderCourse(course);
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
    const QImage image = renderCourse(course);
    QCOMPARE(QString::number(image.pixel(at), 16), QString::number(colour, 16));
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
        else
            course.clearReached();
    }
    QList<int> marked;
    for (int n = 1; n <= RaceCourse::MaxCells; ++n)
        if (course.isReached(n))
            marked << n;
    QCOMPARE(marked, reached);
}

void TestRaceCourse::twoCellsSplitTheCourse()
{
    RaceCourse course;
    course.setWayPointCount(2);
    const QImage image = renderCourse(course);
    QCOMPARE(course.numberAnchor(2).y() - course.numberAnchor(1).y(), 512 / 2);
    QCOMPARE(QString::number(image.pixel(150, 63 + 256 + 20), 16), QString::number(Open, 16));
}

void TestRaceCourse::countIsCappedAndEmptyCountsDrawOnlyTheBar_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expected");
    QTest::newRow("150") << 150 << 100;
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("-3") << -3 << -3;
}

void TestRaceCourse::countIsCappedAndEmptyCountsDrawOnlyTheBar()
{
    QFETCH(int, count);
    QFETCH(int, expected);
    RaceCourse course;
    course.setWayPointCount(int16_t(count));
    QCOMPARE(int(course.count()), expected);
    course.markWayPoints(1, 2);
    const QImage image = renderCourse(course);
    if (expected > 0) {
        QCOMPARE(course.numberAnchor(100).y(), 63 + 99 * (512 / 100) + (512 - 303) / 100 / 2 - 12);
    } else {
        QCOMPARE(QString::number(image.pixel(150, 65), 16), QString::number(Bar, 16));
        QVERIFY(!hasWhiteIn(image, image.rect()));
    }
}

QTEST_MAIN(TestRaceCourse)
#include "tst_racecourse.moc"
