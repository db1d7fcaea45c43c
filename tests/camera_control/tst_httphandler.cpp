#include "camera_control/httphandler.h"
#include "support/loopbackhttpserver.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

using std::chrono::milliseconds;

namespace {
const char *const cameraAddress = "127.0.1.230";
const char *const noServerAddress = "127.0.1.231"; // nothing listens there
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
    }

    void cleanup() { server.reset(); }

    void version_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("secondHalfDelayMs");

        auto row = [](const char *tag, const char *body, bool found, const QString &expected,
                      int status = 200, int secondHalfDelayMs = 0) {
            QTest::newRow(tag) << QByteArray(body) << status << found << expected
                               << secondHalfDelayMs;
        };
        row("model and firmware", "Korvane R520 V2.1.07", true, "R520 V2.1.07");
        row("text before the name", "PTZ by Korvane R530 build 5\n", true, "R530 build 5\n");
        row("name only", "Korvane ", true, "");
        row("first occurrence", "Korvane Korvane X", true, "Korvane X");
        row("UTF-8 after the name", "Korvane Modèle", true, QString::fromUtf8("Modèle"));
        row("no trailing space", "Korvane", false, "unchanged");
        row("lower case", "korvane R520", false, "unchanged");
        row("another vendor", "Acme PTZ-9 1.0", false, "unchanged");
        row("error page", "<html>404</html>", false, "unchanged", 404);
        row("empty body", "", false, "unchanged");
        row("body in two pieces", "Korvane R520 V2.1.07", true, "R520 V2.1.07", 200, 60);
    }
    void version()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, found);
        QFETCH(QString, expected);
        QFETCH(int, secondHalfDelayMs);

        server->setResponse("/version", {body.toStdString(), milliseconds(0), status, "text/plain",
                                         milliseconds(secondHalfDelayMs)});
        QString version = "unchanged";
        QCOMPARE(HttpHandler::instance().getVersion(cameraAddress, version), found);
        QCOMPARE(version, expected);
        QCOMPARE(server->requestedPaths(), std::vector<std::string>{"/version"});
    }

    void videoFormat_data(); // outside the class: moc does not read raw strings
    void videoFormat()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, found);
        QFETCH(QString, expected);

        server->setResponse("/encodesetup",
                            {body.toStdString(), milliseconds(0), 200, "application/json"});
        QString format = "unchanged";
        QCOMPARE(HttpHandler::instance().getVideoFormat(cameraAddress, format), found);
        QCOMPARE(format, expected);
        QCOMPARE(server->requestedPaths(), std::vector<std::string>{"/encodesetup"});
    }

    void emptyAddressMakesNoRequest()
    {
        QString text = "unchanged";
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!HttpHandler::instance().getVersion("", text));
        QVERIFY(!HttpHandler::instance().getVideoFormat("", text));
        QVERIFY(timer.elapsed() < 100);
        QCOMPARE(text, QString("unchanged"));
    }

    void refusedConnectionEndsAtOnce()
    {
        QString text = "unchanged";
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!HttpHandler::instance().getVersion(noServerAddress, text));
        QVERIFY(!HttpHandler::instance().getVideoFormat(noServerAddress, text));
        QVERIFY2(timer.elapsed() < 250, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(text, QString("unchanged"));
    }

    // A panel may ask from a worker thread, so that the window never waits for a camera; the
    // handler's manager belongs to another thread, which Qt only warns about.
    void answersOnAnotherThread()
    {
        HttpHandler::instance(); // created on this thread
        server->setResponse("/version", {"Korvane R530 V1", milliseconds(20), 200, "text/plain"});
        bool found = false;
        QString version;
        static std::atomic<int> warnings{0};
        warnings = 0;
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &) {
                warnings += type != QtDebugMsg && type != QtInfoMsg;
            });
        std::thread worker(
            [&] { found = HttpHandler::instance().getVersion(cameraAddress, version); });
        worker.join();
        qInstallMessageHandler(previous);
        QVERIFY(found);
        QCOMPARE(version, QString("R530 V1"));
        QCOMPARE(warnings.load(), 0);
    }

    void answerAfterTheLimitIsDiscarded()
    {
        server->setResponse("/version", {"Korvane LATE", milliseconds(450), 200, "text/plain"});
        QString version = "unchanged";
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!HttpHandler::instance().getVersion(cameraAddress, version));
        QVERIFY2(timer.elapsed() >= 290 && timer.elapsed() < 440,
                 qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(version, QString("unchanged"));

        // The late answer must not turn up as the answer to the next request.
        server->setResponse("/version", {"Korvane PROMPT", milliseconds(0), 200, "text/plain"});
        QTest::qWait(250);
        QVERIFY(HttpHandler::instance().getVersion(cameraAddress, version));
        QCOMPARE(version, QString("PROMPT"));
    }

    void answerWithinTheLimitIsTaken()
    {
        server->setResponse("/encodesetup",
                            {R"({"VideoFormat":"2160p30"})", milliseconds(150), 200, "text/plain"});
        QString format;
        QVERIFY(HttpHandler::instance().getVideoFormat(cameraAddress, format));
        QCOMPARE(format, QString("2160p30"));
    }
};

void TestHttpHandler::videoFormat_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected");

    auto row = [](const char *tag, const char *body, bool found, const char *expected) {
        QTest::newRow(tag) << QByteArray(body) << found << QString(expected);
    };
    row("string", R"({"VideoFormat":"1080p50","Bitrate":8000})", true, "1080p50");
    row("empty string", R"({"VideoFormat":""})", true, "");
    row("number", R"({"VideoFormat":50})", false, "unchanged");
    row("null", R"({"VideoFormat":null})", false, "unchanged");
    row("array", R"(["VideoFormat","1080p50"])", false, "unchanged");
    row("array of object", R"([{"VideoFormat":"1080p50"}])", false, "unchanged");
    row("other key", R"({"videoformat":"1080p50"})", false, "unchanged");
    row("garbage", "\x01\x02not json{", false, "unchanged");
    row("truncated object", R"({"VideoFormat":"1080)", false, "unchanged");
}

QTEST_GUILESS_MAIN(TestHttpHandler)
#include "tst_httphandler.moc"
