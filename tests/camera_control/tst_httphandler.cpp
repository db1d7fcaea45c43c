#include "camera_control/httphandler.h"
#include "support/loopbackhttpserver.h"

#include <QtTest>

#include <chrono>

using std::chrono::milliseconds;

namespace {
const char *const cameraAddress = "127.0.1.230";
}

class TestHttpHandler : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void version_data();
    void version();
    void videoFormat_data();
    void videoFormat();
    void emptyAddressMakesNoRequest();
    void answerAfterTheLimitIsDiscarded();
    void answerWithinTheLimitIsTaken();

private:
    std::unique_ptr<LoopbackHttpServer> server;
};

void TestHttpHandler::init()
{
    server = std::make_unique<LoopbackHttpServer>(cameraAddress);
    QVERIFY(server->isListening());
}

void TestHttpHandler::cleanup()
{
    server.reset();
}

void TestHttpHandler::version_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected");

    QTest::newRow("model and firmware")
        << QByteArray("Korvane R520 V2.1.07") << 200 << true << "R520 V2.1.07";
    QTest::newRow("text before the name")
        << QByteArray("PTZ by Korvane R530 build 5\n") << 200 << true << "R530 build 5\n";
    QTest::newRow("name only") << QByteArray("Korvane ") << 200 << true << "";
    QTest::newRow("first occurrence")
        << QByteArray("Korvane Korvane X") << 200 << true << "Korvane X";
    QTest::newRow("UTF-8 after the name")
        << QByteArray("Korvane Modèle") << 200 << true << QString::fromUtf8("Modèle");
    QTest::newRow("no trailing space") << QByteArray("Korvane") << 200 << false << "unchanged";
    QTest::newRow("lower case") << QByteArray("korvane R520") << 200 << false << "unchanged";
    QTest::newRow("another vendor") << QByteArray("Acme PTZ-9 1.0") << 200 << false << "unchanged";
    QTest::newRow("error page") << QByteArray("<html>404</html>") << 404 << false << "unchanged";
    QTest::newRow("empty body") << QByteArray() << 200 << false << "unchanged";
}

void TestHttpHandler::version()
{
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    QFETCH(bool, found);
    QFETCH(QString, expected);

    server->setResponse("/version", {body.toStdString(), milliseconds(0), status, "text/plain"});
    QString version = "unchanged";
    QCOMPARE(HttpHandler::instance().getVersion(cameraAddress, version), found);
    QCOMPARE(version, expected);
    QCOMPARE(server->requestedPaths(), std::vector<std::string>{"/version"});
}

void TestHttpHandler::videoFormat_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected");

    QTest::newRow("string") << QByteArray(R"({"VideoFormat":"1080p50","Bitrate":8000})") << true
                            << "1080p50";
    QTest::newRow("empty string") << QByteArray(R"({"VideoFormat":""})") << true << "";
    QTest::newRow("number") << QByteArray(R"({"VideoFormat":50})") << false << "unchanged";
    QTest::newRow("null") << QByteArray(R"({"VideoFormat":null})") << false << "unchanged";
    QTest::newRow("array") << QByteArray(R"(["VideoFormat","1080p50"])") << false << "unchanged";
    QTest::newRow("array of object")
        << QByteArray(R"([{"VideoFormat":"1080p50"}])") << false << "unchanged";
    QTest::newRow("other key") << QByteArray(R"({"videoformat":"1080p50"})") << false
                               << "unchanged";
    QTest::newRow("garbage") << QByteArray("\x01\x02not json{") << false << "unchanged";
    QTest::newRow("truncated object")
        << QByteArray(R"({"VideoFormat":"1080)") << false << "unchanged";
}

void TestHttpHandler::videoFormat()
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

void TestHttpHandler::emptyAddressMakesNoRequest()
{
    QString text = "unchanged";
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!HttpHandler::instance().getVersion("", text));
    QVERIFY(!HttpHandler::instance().getVideoFormat("", text));
    QVERIFY(timer.elapsed() < 100);
    QCOMPARE(text, QString("unchanged"));
}

void TestHttpHandler::answerAfterTheLimitIsDiscarded()
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

void TestHttpHandler::answerWithinTheLimitIsTaken()
{
    server->setResponse("/encodesetup",
                        {R"({"VideoFormat":"2160p30"})", milliseconds(150), 200, "text/plain"});
    QString format;
    QVERIFY(HttpHandler::instance().getVideoFormat(cameraAddress, format));
    QCOMPARE(format, QString("2160p30"));
}

QTEST_GUILESS_MAIN(TestHttpHandler)
#include "tst_httphandler.moc"
