#include "camera_control/httphandler.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {
const QByteArray makerPrefix = QByteArrayLiteral("Korvane ");
}

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
    QNetworkReply *reply = manager->get(QNetworkRequest(url));
    if (!reply)
        return {};

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    // A coarse timer may fire up to 5% early; the limit is a full 300 ms.
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, &QEventLoop::quit);
    timer.start(TimeoutMs);
    loop.exec();

    QByteArray body;
    if (timer.isActive()) {
        timer.stop();
        // Whatever has arrived by the first readyRead; a body in several pieces is cut.
        body = reply->readAll();
    } else {
        reply->abort();
    }
    reply->deleteLater();
    return body;
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
