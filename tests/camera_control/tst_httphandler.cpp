#include "camera_control/httphandler.h"
#include "support/loopbackhttpserver.h"

#include <QtTest>

#include <chrono>
#include <thread>

using std::chrono::milliseconds;

namespace {
const char *const cameraAddress = "127.0.1.230";
const char *const noServerAddress = "127.0.1.231"; // nothing listens there

// The version or the video format, as the path asks; "unchanged" when none was found.
QString query(const QString &address, const QString &path)
{
    QString text = "unchanged";
    if (path == "/version")
        HttpHandler::instance().getVersion(address, text);
    else
        HttpHandler::instance().getVideoFormat(address, text);
    return text;
}
} // namespace

class TestHttpHandler : public QObject
{
    Q_OBJECT

    std::unique_ptr<LoopbackHttpServer> server;

private slots:
    void init()
    {
        server = std::make_unique<LoopbackHttpServer>(cameraAddress);
        QVERIFY(server->isListening());
        HttpHandler::instance(); // its manager belongs to this thread
    }
    void cleanup() { server.reset(); }

    void answer_data(); // outside the class: moc does not read raw strings
    void answer()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(int, secondHalfDelayMs);
        QFETCH(QString, expected);

        server->setResponse(path.toStdString(), {body.toStdString(), milliseconds(0), status,
                                                 "text/plain", milliseconds(secondHalfDelayMs)});
        // A panel asks from a worker thread, so that the window never waits for a camera.
        QString text;
        std::thread worker([&] { text = query(cameraAddress, path); });
        worker.join();
        QCOMPARE(text, expected);
        QCOMPARE(server->requestedPaths(), std::vector<std::string>{path.toStdString()});
    }

    void refusedConnectionEndsAtOnce()
    {
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(query(noServerAddress, "/version"), QString("unchanged"));
        QCOMPARE(query(noServerAddress, "/encodesetup"), QString("unchanged"));
        QVERIFY2(timer.elapsed() < 250, qPrintable(QString::number(timer.elapsed())));
    }

    void answerAfterTheLimitIsDiscarded()
    {
        server->setResponse("/version", {"Korvane LATE", milliseconds(450), 200, "text/plain"});
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(query(cameraAddress, "/version"), QString("unchanged"));
        QVERIFY2(timer.elapsed() >= 290 && timer.elapsed() < 440,
                 qPrintable(QString::number(timer.elapsed())));

        // The late answer must not turn up as the answer to the next request.
        server->setResponse("/version", {"Korvane PROMPT", milliseconds(0), 200, "text/plain"});
        QTest::qWait(250);
        QCOMPARE(query(cameraAddress, "/version"), QString("PROMPT"));
    }
};

void TestHttpHandler::answer_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("secondHalfDelayMs");
    QTest::addColumn<QString>("expected");

    auto row = [](const char *tag, const char *path, const char *body, const QString &expected,
                  int status = 200, int secondHalfDelayMs = 0) {
        QTest::newRow(tag) << path << QByteArray(body) << status << secondHalfDelayMs << expected;
    };
    row("version", "/version", "PTZ by Korvane R530 build 5", "R530 build 5");
    row("version: no trailing space", "/version", "Korvane", "unchanged");
    row("version: error page", "/version", "Korvane R520", "unchanged", 404);
    row("version: body in two pieces", "/version", "Korvane R520 V2.1.07", "R520 V2.1.07", 200, 60);
    row("format", "/encodesetup", R"({"VideoFormat":"1080p50","Bitrate":8000})", "1080p50");
    row("format: number", "/encodesetup", R"({"VideoFormat":50})", "unchanged");
    row("format: truncated", "/encodesetup", R"({"VideoFormat":"1080)", "unchanged");
}

QTEST_GUILESS_MAIN(TestHttpHandler)
#include "tst_httphandler.moc"
