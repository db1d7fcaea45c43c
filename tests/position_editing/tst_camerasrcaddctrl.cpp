#include "position_editing/camerasrcaddctrl.h"
#include "widgetprobe.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using WidgetProbe::sendMouse;

class TestCameraSrcAddCtrl : public QObject
{
    Q_OBJECT

private slots:
    // Gestures as lists of press (p), move out (o), move back (b) and release (r).
    void emitsOncePerRelease_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("expected");
        QTest::newRow("click") << "pr" << 1;
        QTest::newRow("press only") << "p" << 0;
        QTest::newRow("two clicks") << "prpr" << 2;
        QTest::newRow("dragged off: released without a click") << "po" << 1;
        QTest::newRow("dragged off, let go outside") << "por" << 1;
        QTest::newRow("off and back, then let go") << "pobr" << 2;
    }
    void emitsOncePerRelease()
    {
        QFETCH(QString, gesture);
        QFETCH(int, expected);
        CameraSrcAddCtrl tile;
        tile.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tile));
        auto *button = tile.findChild<QPushButton *>(QStringLiteral("addSourcePushButton"));
        QVERIFY(button);
        QSignalSpy added(&tile, &CameraSrcAddCtrl::addSource);
        const QPointF inside = button->rect().center();
        const QPointF outside(-50, -50);
        for (const QChar step : gesture) {
            if (step == 'p')
                sendMouse(button, QEvent::MouseButtonPress, inside);
            else if (step == 'o')
                sendMouse(button, QEvent::MouseMove, outside);
            else if (step == 'b')
                sendMouse(button, QEvent::MouseMove, inside);
            else
                sendMouse(button, QEvent::MouseButtonRelease, inside, Qt::NoButton);
        }
        QCOMPARE(added.count(), expected);
    }

    void keepsItsWidth_data()
    {
        QTest::addColumn<int>("rowWidth");
        QTest::newRow("narrow row") << 200;
        QTest::newRow("very wide row") << 4000;
    }
    void keepsItsWidth()
    {
        QFETCH(int, rowWidth);
        QWidget row;
        auto *layout = new QHBoxLayout(&row);
        auto *tile = new CameraSrcAddCtrl;
        layout->addWidget(tile, 1);
        layout->addStretch(0);
        row.resize(rowWidth, 700);
        row.show();
        QVERIFY(QTest::qWaitForWindowExposed(&row));
        QCOMPARE(tile->width(), 350);
    }
};

int runCameraSrcAddCtrlTests(int argc, char **argv)
{
    TestCameraSrcAddCtrl test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_camerasrcaddctrl.moc"
