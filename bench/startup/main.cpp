// Start-up and shutdown times of the assembled program, each run in a fresh process:
// from process start to the window shown, and from the close button's click to process exit.
// Run: QT_QPA_PLATFORM=offscreen build/bench/startup/bench_startup [runs]
#include "automation/centralmainwindow.h"
#include "shell/appresources.h"
#include "shell/zumainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The same assembly as the program's main, reporting the two moments on stdout.
int runChild(int argc, char *argv[])
{
    AppResources::initBundle();
    QApplication app(argc, argv);
    AppResources::registerFonts();
    ZuMainWindow window(nullptr);
    auto *form = new CentralMainWindow(nullptr);
    window.contentLayout()->addWidget(form);
    QObject::connect(&window, &ZuMainWindow::requestClose, &window, &QWidget::close);
    window.setWindowState(Qt::WindowMaximized);
    window.show();
    QTimer::singleShot(0, [] { std::printf("shown\n"), std::fflush(stdout); });
    QTimer::singleShot(300, [&window] {
        std::printf("closing\n"), std::fflush(stdout);
        window.findChild<QToolButton *>(QStringLiteral("closeButton"))->click();
    });
    const int result = app.exec();
    delete form;
    return result;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct RunTimes
{
    double startToShown = 0;
    double closeToExit = 0;
    bool ok = false;
};

RunTimes runOnce(const QString &self)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NDI_RUNTIME_DIR_V6"), QStringLiteral("/nonexistent"));
    env.insert(QStringLiteral("NDI_RUNTIME_DIR_V5"), QStringLiteral("/nonexistent"));
    child.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    child.start(self, {QStringLiteral("--child")});
    RunTimes times;
    double closing = -1;
    while (child.state() != QProcess::NotRunning || child.canReadLine()) {
        child.waitForReadyRead(20);
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line == "shown")
                times.startToShown = clock.nsecsElapsed() / 1e6;
            else if (line == "closing")
                closing = clock.nsecsElapsed() / 1e6;
        }
        if (child.state() == QProcess::NotRunning)
            break;
    }
    child.waitForFinished(-1);
    times.closeToExit = clock.nsecsElapsed() / 1e6 - closing;
    times.ok = closing >= 0 && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    return times;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && QByteArray(argv[1]) == "--child")
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    std::vector<double> shown, exited;
    for (int i = 0; i < runs; ++i) {
        const RunTimes t = runOnce(QCoreApplication::applicationFilePath());
        if (!t.ok) {
            std::printf("run %d failed\n", i + 1);
            return 1;
        }
        shown.push_back(t.startToShown);
        exited.push_back(t.closeToExit);
    }
    std::printf("runs: %d (offscreen platform, no NDI runtime)\n", runs);
    std::printf("process start -> window shown:  median %.1f ms, max %.1f ms\n", median(shown),
                *std::max_element(shown.begin(), shown.end()));
    std::printf("close click   -> process exit:  median %.1f ms, max %.1f ms (limit ~1500 ms)\n",
                median(exited), *std::max_element(exited.begin(), exited.end()));
    return 0;
}
