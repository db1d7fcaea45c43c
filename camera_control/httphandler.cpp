#include "camera_control/httphandler.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {

const QByteArray makerPrefix = QByteArrayLiteral("Korvane ");

// The whole body of a reply that finishes without an error within the limit; empty otherwise.
QByteArray awaitBody(QNetworkReply *reply)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    // A coarse timer may fire up to 5% early; the limit is a full 300 ms.
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(HttpHandler::TimeoutMs);
    if (!reply->isFinished())
        loop.exec();
    if (!reply->isFinished()) {
        reply->abort();
        return {};
    }
    return reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
}

} // namespace

HttpHandler &HttpHandler::instance()
{
    static HttpHandler handler;
    return handler;
}

HttpHandler::HttpHandler()
    : manager(new QNetworkAccessManager(this))
{
}

HttpHandler::~HttpHandler()
{
    delete manager;
}

QByteArray HttpHandler::fetch(const QString &address, const char *path)
{
    if (address.isEmpty())
        return {};
    const QUrl url(QStringLiteral("http://") + address + QStringLiteral(":8080") +
                   QLatin1String(path));
    // The manager serves only its own thread.
    std::unique_ptr<QNetworkAccessManager> ownManager;
    QNetworkAccessManager *requester = manager;
    if (QThread::currentThread() != manager->thread()) {
        ownManager = std::make_unique<QNetworkAccessManager>();
        requester = ownManager.get();
    }
    std::unique_ptr<QNetworkReply> reply(requester->get(QNetworkRequest(url)));
    return reply ? awaitBody(reply.get()) : QByteArray();
}

bool HttpHandler::getVersion(const QString &address, QString &version)
{
    const QByteArray body = fetch(address, "/version");
    const int at = body.indexOf(makerPrefix);
    if (at < 0)
        return false;
    version = QString::fromUtf8(body.mid(at + makerPrefix.size()));
    return true;
}

bool HttpHandler::getVideoFormat(const QString &address, QString &videoFormat)
{
    const QByteArray body = fetch(address, "/encodesetup");
    if (body.isEmpty())
        return false;
    const QJsonValue value = QJsonDocument::fromJson(body).object().value("VideoFormat");
    if (!value.isString())
        return false;
    videoFormat = value.toString();
    return true;
}
