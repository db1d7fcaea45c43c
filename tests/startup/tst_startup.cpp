// The program's start-up and shutdown around the form: NDI present or absent, discovery
// running for the form's lifetime, and the title bar's close button ending it all promptly.
#include "automation/centralmainwindow.h"
#include "ndi/ndisourcefinder.h"
#include "position_editing/cameraposctrls.h"
#include "shell/appresources.h"
#include "shell/zumainwindow.h"
#include "store/cameradatastore.h"
#include "support/testndiruntime.h"
#include "trevalo_version.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <set>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        AppResources::initBundle();
        QCoreApplication::setApplicationVersion(QStringLiteral(TREVALO_VERSION));
    }
    void init() { CameraDataStore::instance().resetForTests(); }
    void fontsAreRegisteredFromTheBundle();
    void withoutRuntimeLogsAndCarriesOn();
    void withRuntimeDiscoversAndReleasesEverything();
    void closeButtonEndsTheEventLoopPromptly_data();
    void closeButtonEndsTheEventLoopPromptly();
};

void TestStartup::fontsAreRegisteredFromTheBundle()
{
    QVERIFY(AppResources::registerFonts());
    QVERIFY(QFontDatabase().families().contains(QStringLiteral("Kumbh Sans")));
    QLabel label;
    label.setFont(QFont(QStringLiteral("Kumbh Sans"), 12));
    QCOMPARE(QFontInfo(label.font()).family(), QStringLiteral("Kumbh Sans"));
}

void TestStartup::withoutRuntimeLogsAndCarriesOn()
{
    if (TestNdiRuntime::systemRuntimeInstalled())
        QSKIP("a vendor NDI runtime is installed on this machine");
    TestNdiRuntime::pointLoaderNowhere();
    QTest::ignoreMessage(QtDebugMsg, "NDI initialization failed.\n");
    auto *form = new CentralMainWindow(nullptr);
    QVERIFY(!form->isNdiInitialised());
    // Discovery runs even without NDI: a second start is refused while it runs.
    QVERIFY(!NDISourceFinder::instance().start());
    QElapsedTimer clock;
    clock.start();
    delete form;
    QVERIFY2(clock.elapsed() < 3000, "shutdown waits at most about one discovery pass");
    QVERIFY(NDISourceFinder::instance().start());
    NDISourceFinder::instance().stop();
}

void TestStartup::withRuntimeDiscoversAndReleasesEverything()
{
    TestNdiRuntime runtime;
    QVERIFY(runtime.isLoaded());
    runtime.reset();
    runtime.setSources({{"STUDIO-PC (PTZ Camera 1)", "127.0.4.200:5961"}});
    TestNdiRuntime::pointLoaderAt(TestNdiRuntime::Build::Complete);

    auto *form = new CentralMainWindow(nullptr);
    QVERIFY(form->isNdiInitialised());
    QTRY_VERIFY_WITH_TIMEOUT(runtime.count(TestNdiSourceFetches) >= 1, 3000);
    std::set<NDISourceInfo> known;
    QTRY_VERIFY_WITH_TIMEOUT(
        (CameraDataStore::instance().copyKnownSources(known), known.size() == 1), 3000);
    QCOMPARE(known.begin()->machineName + "@" + known.begin()->ipAddress,
             std::string("STUDIO-PC@127.0.4.200"));

    // A panel previewing the source, connected by the source's own name: its receiver and
    // frames go back before NDI is released.
    CameraPosCtrls *panel = form->cameraPanels().first();
    auto *selector = panel->findChild<QComboBox *>(QStringLiteral("srcSelectComboBox"));
    QTRY_VERIFY_WITH_TIMEOUT(selector->count() > 1, 3000);
    panel->SelectSource(QStringLiteral("STUDIO-PC(PTZ Camera 1)"));
    QCOMPARE(runtime.count(TestNdiReceiversCreated), 1);
    QTRY_VERIFY_WITH_TIMEOUT(
        (runtime.pushVideoFrame("STUDIO-PC (PTZ Camera 1)", 16, 9, 64,
                                TestNdiRuntime::bgrxFrame(16, 9, 64, 0, 0, 0xFF)),
         runtime.count(TestNdiFramesCaptured) >= 1),
        3000);

    delete form;
    QCOMPARE(runtime.count(TestNdiFindersDestroyed), runtime.count(TestNdiFindersCreated));
    QCOMPARE(runtime.count(TestNdiReceiversDestroyed), 1);
    QCOMPARE(runtime.count(TestNdiFramesFreed), runtime.count(TestNdiFramesCaptured));
    QCOMPARE(runtime.count(TestNdiMisuses), 0);
    QCOMPARE(runtime.count(TestNdiDestroyCalls), 1);
    TestNdiRuntime::pointLoaderNowhere();
}

void TestStartup::closeButtonEndsTheEventLoopPromptly_data()
{
    QTest::addColumn<QString>("previewed");
    QTest::newRow("nothing selected") << QString();
    QTest::newRow("a silent source") << QStringLiteral("STUDIO-PC(PTZ Camera 1)");
}

// On a network where nothing happens, every discovery wait and capture lasts its whole
// time-out; closing must not wait those out.
void TestStartup::closeButtonEndsTheEventLoopPromptly()
{
    QFETCH(QString, previewed);
    TestNdiRuntime runtime;
    runtime.setSources({{"STUDIO-PC (PTZ Camera 1)", "127.0.4.201:5961"}});
    runtime.setBlockingWaits(true);
    TestNdiRuntime::pointLoaderAt(TestNdiRuntime::Build::Complete);
    ZuMainWindow window(nullptr);
    window.appVersion = QCoreApplication::applicationVersion();
    auto *form = new CentralMainWindow(nullptr);
    window.contentLayout()->addWidget(form);
    connect(&window, &ZuMainWindow::requestClose, &window, &QWidget::close);
    window.setWindowState(Qt::WindowMaximized);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(form->parentWidget()->objectName(), QStringLiteral("windowContent"));
    if (!previewed.isEmpty()) {
        CameraPosCtrls *panel = form->cameraPanels().first();
        auto *selector = panel->findChild<QComboBox *>(QStringLiteral("srcSelectComboBox"));
        QTRY_VERIFY_WITH_TIMEOUT(selector->count() > 1, 3000);
        panel->SelectSource(previewed);
        QCOMPARE(runtime.count(TestNdiReceiversCreated), 1);
        QTest::qWait(100); // the preview now waits in a capture
    }

    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(window.findChild<QToolButton *>(QStringLiteral("closeButton")),
                      Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 500);
    delete form;
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(runtime.count(TestNdiMisuses), 0);
    TestNdiRuntime::pointLoaderNowhere();
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
