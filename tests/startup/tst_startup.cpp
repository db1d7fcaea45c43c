#include "automation/centralmainwindow.h"
#include "position_editing/cameraposctrls.h"
#include "support/testndiruntime.h"

#include <QComboBox>
#include <QtTest>
#include <csignal>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestNdiRuntime::pointLoaderAt(TestNdiRuntime::Build::Complete); }
    // The real main starts and shows; a logout's SIGTERM takes it through the close button's
    // path, so the form's shutdown steps run and the window's place is remembered.
    void programClosesCleanlyOnSigterm()
    {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
        qputenv("XDG_STATE_HOME", QFile::encodeName(home.filePath("state")));
        QProcess program; // offscreen, as this test
        program.start(QStringLiteral(TREVALO_EXECUTABLE), QStringList());
        auto read = [&home](const char *path) {
            QFile file(home.filePath(path));
            return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
        };
        QTRY_VERIFY_WITH_TIMEOUT(read("state/trevalo/trevalo.log").endsWith("started"), 60000);
        QCOMPARE(::kill(pid_t(program.processId()), SIGTERM), 0);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(QString("%1 %2").arg(program.exitStatus()).arg(program.exitCode()), "0 0");
        QVERIFY(read("state/trevalo/trevalo.log").endsWith("Trevalo closed"));
        QVERIFY(read("config/trevalo/trevalo.conf").contains("geometry="));
    }

    // Receivers and frames go back before NDI is released, and a preview waiting out a capture
    // on a silent network does not hold up the close.
    void formReleasesNdiInOrderAndPromptly()
    {
        TestNdiRuntime runtime;
        runtime.setSources({{"STUDIO-PC (PTZ Camera 1)", "127.0.4.200:5961"}});
        auto *form = new CentralMainWindow(nullptr);
        CameraPosCtrls *panel = form->cameraPanels().first();
        QTRY_VERIFY(panel->findChild<QComboBox *>("srcSelectComboBox")->count() > 1);
        panel->SelectSource(QStringLiteral("STUDIO-PC(PTZ Camera 1)"));
        QTRY_VERIFY((runtime.pushVideoFrame("STUDIO-PC (PTZ Camera 1)", 16, 9, 64,
                                            TestNdiRuntime::bgrxFrame(16, 9, 64, 0, 0, 0xFF)),
                     runtime.count(TestNdiFramesCaptured) >= 1));
        runtime.setBlockingWaits(true);
        QTest::qWait(100); // the preview and discovery now wait out their time-outs
        QElapsedTimer clock;
        clock.start();
        delete form;
        QVERIFY2(clock.elapsed() < 800, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(QList<int>(
                     {runtime.count(TestNdiFindersCreated) - runtime.count(TestNdiFindersDestroyed),
                      runtime.count(TestNdiReceiversDestroyed),
                      runtime.count(TestNdiFramesCaptured) - runtime.count(TestNdiFramesFreed),
                      runtime.count(TestNdiMisuses), runtime.count(TestNdiDestroyCalls)}),
                 QList<int>({0, 1, 0, 0, 1}));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
