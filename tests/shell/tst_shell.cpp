#include "shell/borderzones.h"
#include "shell/zumainwindow.h"

#include <QApplication>
#include <QtTest>

using namespace BorderZones;

Q_DECLARE_METATYPE(BorderZones::Zone)
Q_DECLARE_METATYPE(Qt::CursorShape)

namespace {
const QRect windowRect(100, 100, 1900, 900);

// Delivers a mouse event the way the platform does, so application filters see it too.
void sendMouse(QWidget *target, QEvent::Type type, const QPoint &globalPos,
               Qt::MouseButtons buttons = Qt::NoButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, target->mapFromGlobal(globalPos), globalPos, button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void drag(QWidget *target, const QPoint &from, const QPoint &to)
{
    sendMouse(target, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(target, QEvent::MouseMove, to, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, to);
}
} // namespace

class TestShell : public QObject
{
    Q_OBJECT

    std::unique_ptr<ZuMainWindow> window;
    QWidget *content() { return window->findChild<QWidget *>(QStringLiteral("windowContent")); }

private slots:
    void init()
    {
        window = std::make_unique<ZuMainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->setGeometry(windowRect);
        QTRY_COMPARE(window->geometry(), windowRect);
        window->setCursor(Qt::WaitCursor);
    }

    // Corners win over edges, there is no bottom-right corner, and bands are not clipped to
    // the window's other extent. Window (100,200) 400 x 300, bands 15 wide.
    void hitZone_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<Zone>("zone");
        QTest::newRow("top-left corner") << QPoint(100, 200) << Zone::TopLeft;
        QTest::newRow("top-right outer edge") << QPoint(500, 200) << Zone::TopRight;
        QTest::newRow("bottom-left") << QPoint(105, 495) << Zone::BottomLeft;
        QTest::newRow("bottom-right is right edge") << QPoint(495, 495) << Zone::Right;
        QTest::newRow("just past the left band") << QPoint(116, 350) << Zone::None;
        QTest::newRow("top band beyond the right") << QPoint(900, 205) << Zone::Top;
    }
    void hitZone()
    {
        QFETCH(QPoint, pos);
        QFETCH(Zone, zone);
        QCOMPARE(BorderZones::hitZone(QRect(100, 200, 400, 300), pos, 15), zone);
    }

    // From (100,100)-(899,699) on a 1920 x 1080 desktop: no edge may leave the desktop or come
    // within 50 px of its far side, and the window may not collapse (a null rect: refused).
    void dragGeometry_data()
    {
        QTest::addColumn<Zone>("zone");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("expected");
        auto row = [](const char *tag, Zone zone, QPoint pointer, QRect expected) {
            QTest::newRow(tag) << zone << pointer << expected;
        };
        row("top-right", Zone::TopRight, {950, 50}, {QPoint(100, 50), QPoint(949, 699)});
        row("bottom-left", Zone::BottomLeft, {50, 900}, {QPoint(50, 100), QPoint(899, 899)});
        row("bottom-left zero height", Zone::BottomLeft, {50, 100}, {});
        row("top at 0", Zone::Top, {500, 0}, {});
        row("top 51 above floor", Zone::Top, {500, 1029}, {QPoint(100, 1029), QPoint(899, 699)});
        row("top 50 above floor", Zone::Top, {500, 1030}, {});
        row("left at 0", Zone::Left, {0, 300}, {});
        row("left 50 before wall", Zone::Left, {1870, 300}, {});
        row("bottom height 0", Zone::Bottom, {10, 100}, {});
    }
    void dragGeometry()
    {
        QFETCH(Zone, zone);
        QFETCH(QPoint, pointer);
        QFETCH(QRect, expected);
        QCOMPARE(BorderZones::dragGeometry(edgesOf(zone), QRect(100, 100, 800, 600), pointer,
                                           QSize(1920, 1080))
                     .value_or(QRect()),
                 expected);
    }

    // Child widgets cover the borders, so the window watches their events: the cursor shows the
    // band, a press there resizes, the title bar moves the window below its top band; a maximised
    // window has no borders. Points are from the window's top-left; a null rect: unchanged.
    void borderDrag_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<Qt::CursorShape>("cursor");
        QTest::addColumn<QRect>("expected");
        const QRect r = windowRect;
        QTest::newRow("left band over the content")
            << false << "windowContent" << QPoint(5, 400) << QPoint(-60, 400) << Qt::SizeHorCursor
            << QRect(QPoint(40, r.y()), r.bottomRight());
        QTest::newRow("top-left corner over the logo")
            << false << "logoLabel" << QPoint(5, 5) << QPoint(-25, -15) << Qt::SizeFDiagCursor
            << QRect(QPoint(75, 85), r.bottomRight());
        QTest::newRow("top band over the title bar resizes")
            << false << "windowTitlebar" << QPoint(1000, 5) << QPoint(970, -15) << Qt::SizeVerCursor
            << QRect(QPoint(r.x(), 85), r.bottomRight());
        QTest::newRow("title bar below the band moves")
            << false << "windowTitlebar" << QPoint(1000, 40) << QPoint(970, 20) << Qt::ArrowCursor
            << r.translated(-30, -20);
        QTest::newRow("bottom-right resizes width only")
            << false << "windowContent" << QPoint(1895, 895) << QPoint(1930, 930)
            << Qt::SizeHorCursor << QRect(r.topLeft(), QSize(1930, 900));
        QTest::newRow("middle does nothing") << false << "windowContent" << QPoint(800, 400)
                                             << QPoint(850, 450) << Qt::ArrowCursor << QRect();
        QTest::newRow("maximised") << true << "windowContent" << QPoint(3, 400) << QPoint(53, 400)
                                   << Qt::WaitCursor << QRect();
    }
    void borderDrag()
    {
        QFETCH(bool, maximized);
        QFETCH(QString, target);
        QFETCH(QPoint, press);
        QFETCH(QPoint, to);
        QFETCH(Qt::CursorShape, cursor);
        QFETCH(QRect, expected);
        if (maximized)
            window->showMaximized();
        QTRY_COMPARE(window->isMaximized(), maximized);
        const QPoint origin = window->geometry().topLeft();
        if (expected.isNull())
            expected = window->geometry();
        auto *widget = window->findChild<QWidget *>(target);
        QVERIFY(widget);
        sendMouse(widget, QEvent::MouseMove, origin + press);
        QCOMPARE(window->cursor().shape(), cursor);
        drag(widget, origin + press, origin + to);
        QTRY_COMPARE(window->geometry(), expected);

        // Once released nothing follows the pointer, and a press outside every band does not
        // pick up the edges of the last drag.
        sendMouse(widget, QEvent::MouseMove, origin + to + QPoint(20, 20));
        drag(content(), window->geometry().center(), window->geometry().center() + QPoint(30, 30));
        QCOMPARE(window->geometry(), expected);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
