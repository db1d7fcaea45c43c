#include "automation/appsettings.h"
#include "shell/borderzones.h"
#include "shell/infodialog.h"
#include "shell/links.h"
#include "shell/zumainwindow.h"
#include "trevalo_version.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

using namespace BorderZones;

Q_DECLARE_METATYPE(BorderZones::Zone)
Q_DECLARE_METATYPE(BorderZones::Edges)
Q_DECLARE_METATYPE(std::optional<QRect>)
Q_DECLARE_METATYPE(Qt::CursorShape)

namespace {

const QRect windowRect(100, 100, 1900, 900);

// Delivers a mouse event the way the platform does, so application filters see it too.
void sendMouse(QWidget *target, QEvent::Type type, const QPoint &globalPos,
               Qt::MouseButtons buttons = Qt::NoButton)
{
    const Qt::MouseButton button =
        type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButton(int(Qt::LeftButton));
    QMouseEvent event(type, target->mapFromGlobal(globalPos), globalPos, button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

template<typename T>
T *child(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromUtf8(name));
    Q_ASSERT(found);
    return found;
}

// Waits inside a modal loop for the About box, lets the test look at it, then closes it
// with its own button.
void closeAboutWhenShown(QWidget *owner, std::function<void(InfoDialog *)> inspect)
{
    auto *poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, owner, [owner, poll, inspect] {
        InfoDialog *dialog = owner->findChild<InfoDialog *>();
        if (!dialog || !dialog->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        inspect(dialog);
        QTest::mouseClick(child<QPushButton>(dialog, "closeButton"), Qt::LeftButton);
    });
    poll->start(10);
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

    ZuMainWindow *window = nullptr;

    void showNormalAt(const QRect &geometry)
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->setGeometry(geometry);
        QTRY_COMPARE(window->geometry(), geometry);
    }

private slots:
    void init()
    {
        window = new ZuMainWindow(nullptr);
        window->appVersion = QStringLiteral(TREVALO_VERSION);
    }
    void cleanup()
    {
        delete window;
        window = nullptr;
    }

    void hitZone_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<Zone>("zone");
        // Window (100,200) 400 x 300: the outer right and bottom lines are x = 500 and y = 500.
        QTest::newRow("top-left exact corner") << QPoint(100, 200) << Zone::TopLeft;
        QTest::newRow("top-left band limit") << QPoint(115, 215) << Zone::TopLeft;
        QTest::newRow("top-right outer edge") << QPoint(500, 200) << Zone::TopRight;
        QTest::newRow("bottom-left") << QPoint(105, 495) << Zone::BottomLeft;
        QTest::newRow("bottom-right is right edge") << QPoint(495, 495) << Zone::Right;
        QTest::newRow("top") << QPoint(300, 210) << Zone::Top;
        QTest::newRow("left") << QPoint(110, 350) << Zone::Left;
        QTest::newRow("right") << QPoint(486, 350) << Zone::Right;
        QTest::newRow("bottom") << QPoint(300, 490) << Zone::Bottom;
        QTest::newRow("just past the left band") << QPoint(116, 350) << Zone::None;
        QTest::newRow("just above the bottom band") << QPoint(300, 484) << Zone::None;
        QTest::newRow("left of the window") << QPoint(99, 350) << Zone::None;
        QTest::newRow("below the window") << QPoint(300, 501) << Zone::None;
        // Bands are not clipped to the window's other extent.
        QTest::newRow("top band beyond the right") << QPoint(900, 205) << Zone::Top;
    }
    void hitZone()
    {
        QFETCH(QPoint, pos);
        QFETCH(Zone, zone);
        QCOMPARE(BorderZones::hitZone(QRect(100, 200, 400, 300), pos, 15), zone);
    }

    void dragGeometry_data()
    {
        QTest::addColumn<Edges>("edges");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<std::optional<QRect>>("expected");
        // Start (100,100)-(899,699) on a 1920 x 1080 desktop.
        const Edges topRight{true, false, true, false}, topLeft{true, true, false, false};
        const Edges bottomLeft{false, true, false, true}, top{true, false, false, false};
        const Edges left{false, true, false, false}, right{false, false, true, false};
        const Edges bottom{false, false, false, true};
        const std::optional<QRect> none;
        auto rect = [](int l, int t, int r, int b) {
            return std::optional<QRect>(QRect(QPoint(l, t), QPoint(r, b)));
        };
        QTest::newRow("top-right") << topRight << QPoint(950, 50) << rect(100, 50, 949, 699);
        QTest::newRow("top-right zero width") << topRight << QPoint(100, 50) << none;
        QTest::newRow("top-right top at 0") << topRight << QPoint(950, 0) << none;
        QTest::newRow("top-left") << topLeft << QPoint(90, 80) << rect(90, 80, 899, 699);
        QTest::newRow("bottom-left") << bottomLeft << QPoint(50, 900) << rect(50, 100, 899, 899);
        QTest::newRow("bottom-left zero height") << bottomLeft << QPoint(50, 100) << none;
        QTest::newRow("top at 1") << top << QPoint(500, 1) << rect(100, 1, 899, 699);
        QTest::newRow("top at 0") << top << QPoint(500, 0) << none;
        QTest::newRow("top 51 above floor")
            << top << QPoint(500, 1029) << rect(100, 1029, 899, 699);
        QTest::newRow("top 50 above floor") << top << QPoint(500, 1030) << none;
        QTest::newRow("left at 1") << left << QPoint(1, 300) << rect(1, 100, 899, 699);
        QTest::newRow("left at 0") << left << QPoint(0, 300) << none;
        QTest::newRow("left 51 before wall")
            << left << QPoint(1869, 300) << rect(1869, 100, 899, 699);
        QTest::newRow("left 50 before wall") << left << QPoint(1870, 300) << none;
        QTest::newRow("right width 1") << right << QPoint(101, 10) << rect(100, 100, 100, 699);
        QTest::newRow("right width 0") << right << QPoint(100, 10) << none;
        QTest::newRow("bottom") << bottom << QPoint(10, 800) << rect(100, 100, 899, 799);
        QTest::newRow("bottom height 0") << bottom << QPoint(10, 100) << none;
        QTest::newRow("no edge") << Edges{} << QPoint(500, 500) << none;
    }
    void dragGeometry()
    {
        QFETCH(Edges, edges);
        QFETCH(QPoint, pointer);
        QFETCH(std::optional<QRect>, expected);
        const auto result =
            BorderZones::dragGeometry(edges, QRect(100, 100, 800, 600), pointer, QSize(1920, 1080));
        QCOMPARE(result, expected);
    }

    void hoverCursor_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<Qt::CursorShape>("cursor");
        const int w = windowRect.width(), h = windowRect.height();
        QTest::newRow("top-left") << "windowTitlebar" << QPoint(5, 5) << Qt::SizeFDiagCursor;
        QTest::newRow("top-right") << "closeButton" << QPoint(w - 5, 5) << Qt::SizeBDiagCursor;
        QTest::newRow("bottom-left") << "windowContent" << QPoint(5, h - 5) << Qt::SizeBDiagCursor;
        QTest::newRow("top") << "titlButton" << QPoint(500, 5) << Qt::SizeVerCursor;
        QTest::newRow("left over child") << "windowContent" << QPoint(5, 400) << Qt::SizeHorCursor;
        QTest::newRow("right over child")
            << "windowContent" << QPoint(w - 5, 400) << Qt::SizeHorCursor;
        QTest::newRow("bottom-right")
            << "windowContent" << QPoint(w - 5, h - 5) << Qt::SizeHorCursor;
        QTest::newRow("bottom") << "windowContent" << QPoint(800, h - 5) << Qt::SizeVerCursor;
        QTest::newRow("middle") << "windowContent" << QPoint(800, 400) << Qt::ArrowCursor;
    }
    void hoverCursor()
    {
        QFETCH(QString, target);
        QFETCH(QPoint, offset);
        QFETCH(Qt::CursorShape, cursor);
        showNormalAt(windowRect);
        window->setCursor(Qt::WaitCursor);
        auto *widget = window->findChild<QWidget *>(target);
        QVERIFY(widget);
        sendMouse(widget, QEvent::MouseMove, windowRect.topLeft() + offset);
        QCOMPARE(window->cursor().shape(), cursor);
    }

    void borderDrag_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("move");
        QTest::addColumn<QRect>("expected");
        // The offscreen desktop is far smaller than the window, so only growing moves pass
        // the minimum size; rejected moves must leave the geometry alone.
        const QRect r = windowRect;
        const QSize desktop = QApplication::desktop()->size();
        const QPoint leftBand(r.x() + 5, 500), topBand(800, r.y() + 5);
        QTest::newRow("top-left 10 px inside") << r.topLeft() + QPoint(10, 10) << QPoint(60, 40)
                                               << QRect(QPoint(60, 40), r.bottomRight());
        QTest::newRow("left grows, right stays")
            << leftBand << QPoint(40, 500) << QRect(QPoint(40, r.y()), r.bottomRight());
        QTest::newRow("left stops near the desktop's right")
            << leftBand << QPoint(desktop.width() - 50, 500) << r;
        QTest::newRow("left stops at 0") << leftBand << QPoint(0, 500) << r;
        QTest::newRow("top stops near the desktop's bottom")
            << topBand << QPoint(800, desktop.height() - 50) << r;
        QTest::newRow("top grows")
            << topBand << QPoint(800, 60) << QRect(QPoint(r.x(), 60), r.bottomRight());
        QTest::newRow("bottom-right resizes width only")
            << r.bottomRight() - QPoint(5, 5) << r.bottomRight() + QPoint(30, 30)
            << QRect(r.topLeft(), QSize(r.width() + 29, r.height()));
        QTest::newRow("bottom grows") << QPoint(800, r.bottom() - 2) << QPoint(800, r.bottom() + 40)
                                      << QRect(r.topLeft(), QSize(r.width(), r.height() + 39));
        QTest::newRow("middle press does nothing")
            << r.center() << r.center() + QPoint(50, 50) << r;
    }
    void borderDrag()
    {
        QFETCH(QPoint, press);
        QFETCH(QPoint, move);
        QFETCH(QRect, expected);
        showNormalAt(windowRect);
        auto *content = child<QWidget>(window, "windowContent");

        sendMouse(window, QEvent::MouseButtonPress, press, Qt::LeftButton);
        sendMouse(content, QEvent::MouseMove, move, Qt::LeftButton);
        QTRY_COMPARE(window->geometry(), expected);

        // Releasing over another widget ends the drag, and a press outside every band right
        // after it must not pick up the edges of that drag.
        sendMouse(content, QEvent::MouseButtonRelease, move);
        const QPoint middle = window->geometry().center();
        sendMouse(window, QEvent::MouseButtonPress, middle, Qt::LeftButton);
        sendMouse(content, QEvent::MouseMove, middle + QPoint(30, 30), Qt::LeftButton);
        sendMouse(content, QEvent::MouseButtonRelease, middle + QPoint(30, 30));
        sendMouse(content, QEvent::MouseMove, move + QPoint(20, 20));
        QCOMPARE(window->geometry(), expected);
        // Hovering works again once the button is up.
        sendMouse(content, QEvent::MouseMove, window->geometry().topLeft() + QPoint(3, 400));
        QCOMPARE(window->cursor().shape(), Qt::SizeHorCursor);
    }

    void maximizedIgnoresBorders()
    {
        window->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_VERIFY(window->isMaximized());
        const QRect before = window->geometry();
        const QPoint nearLeft = before.topLeft() + QPoint(3, before.height() / 2);
        auto *content = child<QWidget>(window, "windowContent");

        sendMouse(content, QEvent::MouseMove, nearLeft);
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        sendMouse(window, QEvent::MouseButtonPress, nearLeft, Qt::LeftButton);
        sendMouse(content, QEvent::MouseMove, nearLeft - QPoint(0, 50), Qt::LeftButton);
        sendMouse(content, QEvent::MouseButtonRelease, nearLeft - QPoint(0, 50));
        QCOMPARE(window->geometry(), before);
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
    }

    void stateToggle_data()
    {
        QTest::addColumn<bool>("byTitleBar");
        QTest::newRow("window buttons") << false;
        QTest::newRow("title bar double click") << true;
    }
    void stateToggle()
    {
        QFETCH(bool, byTitleBar);
        showNormalAt(windowRect);
        auto *restore = child<QToolButton>(window, "restoreButton");
        auto *maximize = child<QToolButton>(window, "maximizeButton");
        auto toggle = [&](QToolButton *button) {
            if (byTitleBar)
                QTest::mouseDClick(child<QWidget>(window, "windowTitlebar"), Qt::LeftButton,
                                   Qt::NoModifier, QPoint(1000, 40));
            else
                QTest::mouseClick(button, Qt::LeftButton);
        };
        QVERIFY(restore->isHidden());
        toggle(maximize);
        QTRY_VERIFY(window->isMaximized());
        QVERIFY(!restore->isHidden());
        QVERIFY(maximize->isHidden());

        toggle(restore);
        QTRY_COMPARE(window->windowState() & ~Qt::WindowActive, Qt::WindowNoState);
        QVERIFY(window->isVisible());
        QVERIFY(restore->isHidden());
        QVERIFY(!maximize->isHidden());
    }

    // Coming back from the taskbar: the window manager may report the normal state before the
    // window is active again, or report only one of the two.
    void minimizedComesBackMaximized_data()
    {
        QTest::addColumn<bool>("normalStateReported");
        QTest::addColumn<bool>("activated");
        QTest::newRow("activation") << false << true;
        QTest::newRow("normal state, then activation") << true << true;
        QTest::newRow("normal state") << true << false;
    }
    void minimizedComesBackMaximized()
    {
        QFETCH(bool, normalStateReported);
        QFETCH(bool, activated);
        showNormalAt(windowRect);
        QTest::mouseClick(child<QToolButton>(window, "minimizeButton"), Qt::LeftButton);
        QTRY_VERIFY(window->isMinimized());
        if (normalStateReported)
            window->setWindowState(Qt::WindowNoState);
        if (activated) {
            QApplication::setActiveWindow(nullptr);
            QApplication::setActiveWindow(window);
        }
        QTRY_VERIFY(window->isMaximized());
        QVERIFY(!child<QToolButton>(window, "restoreButton")->isHidden());
    }

    // Maximised or where the operator left it, the window opens as it was closed; with nothing
    // remembered it opens maximised.
    void windowStateSurvivesARestart_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::newRow("maximised") << true;
        QTest::newRow("normal") << false;
    }
    void windowStateSurvivesARestart()
    {
        QFETCH(bool, maximized);
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        AppSettings::setEnabled(true);
        ZuMainWindow first;
        AppSettings::restoreWindow(first);
        QVERIFY(first.windowState() & Qt::WindowMaximized);

        showNormalAt(windowRect);
        if (maximized) {
            QTest::mouseClick(child<QToolButton>(window, "maximizeButton"), Qt::LeftButton);
            QTRY_VERIFY(window->isMaximized());
        }
        AppSettings::saveWindow(*window);
        ZuMainWindow next;
        AppSettings::restoreWindow(next);
        AppSettings::setEnabled(false);
        next.show();
        QVERIFY(QTest::qWaitForWindowExposed(&next));
        QCOMPARE(next.isMaximized(), maximized);
        if (!maximized)
            QTRY_COMPARE(next.geometry(), windowRect);
    }

    void closeButtonRequestsClose()
    {
        showNormalAt(windowRect);
        QSignalSpy spy(window, &ZuMainWindow::requestClose);
        QTest::mouseClick(child<QToolButton>(window, "closeButton"), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }

    // The title bar moves the window, except in the top band, where it resizes like any border.
    void titleBarDrag_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("grab");
        QTest::addColumn<QPoint>("drag");
        QTest::addColumn<QRect>("expected");
        const QRect r = windowRect;
        const QPoint upLeft(-30, -20), upRight(30, -20);
        QTest::newRow("below the band moves")
            << "windowTitlebar" << QPoint(1000, 40) << upLeft << r.translated(upLeft);
        QTest::newRow("top band resizes") << "windowTitlebar" << QPoint(1000, 5) << upLeft
                                          << QRect(QPoint(r.x(), 85), r.bottomRight());
        QTest::newRow("top band over the title") << "titlButton" << QPoint(500, 5) << upLeft
                                                 << QRect(QPoint(r.x(), 85), r.bottomRight());
        QTest::newRow("top-left corner over the logo")
            << "logoLabel" << QPoint(5, 5) << upLeft << QRect(QPoint(75, 85), r.bottomRight());
        QTest::newRow("top-right corner")
            << "windowTitlebar" << QPoint(r.width() - 5, 5) << upRight
            << QRect(QPoint(r.x(), 85), QPoint(r.right() + 25, r.bottom()));
    }
    void titleBarDrag()
    {
        QFETCH(QString, target);
        QFETCH(QPoint, grab);
        QFETCH(QPoint, drag);
        QFETCH(QRect, expected);
        showNormalAt(windowRect);
        auto *widget = child<QWidget>(window, target.toUtf8().constData());
        const QPoint from = windowRect.topLeft() + grab;
        sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
        sendMouse(widget, QEvent::MouseMove, from + drag, Qt::LeftButton);
        sendMouse(widget, QEvent::MouseButtonRelease, from + drag);
        QTRY_COMPARE(window->geometry(), expected);

        sendMouse(widget, QEvent::MouseMove, from + QPoint(90, 90), Qt::LeftButton);
        QCOMPARE(window->geometry(), expected);
    }

    void aboutBoxOpensFreshAndFrees()
    {
        auto *title = child<QPushButton>(window, "titlButton");
        for (int round = 0; round < 2; ++round) {
            QPointer<InfoDialog> seen;
            QSize size, afterResize;
            QString version, contact;
            int openCount = 0;
            closeAboutWhenShown(window, [&](InfoDialog *dialog) {
                seen = dialog;
                size = dialog->size();
                dialog->resize(400, 300);
                afterResize = dialog->size();
                version = child<QLabel>(dialog, "versionLabel")->text();
                auto *contactLabel = child<QLabel>(dialog, "contactLabel");
                contact = contactLabel->openExternalLinks() ? contactLabel->text() : QString();
                openCount = window->findChildren<InfoDialog *>().size();
            });
            QTest::mouseClick(title, Qt::LeftButton);

            QVERIFY(seen.isNull());
            QCOMPARE(size, QSize(290, 210));
            QCOMPARE(afterResize, QSize(290, 210));
            QCOMPARE(version, QStringLiteral("Version : " TREVALO_VERSION));
            QCOMPARE(openCount, 1);
            for (const QString &href :
                 {QString::fromUtf8(Links::knowledgeBase), QString::fromUtf8(Links::website),
                  QStringLiteral("mailto:") + Links::supportMail})
                QVERIFY2(contact.contains(QStringLiteral("href=\"%1\"").arg(href)),
                         qPrintable(href));
        }
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
