#pragma once

#include <QObject>
#include <QString>

class QNetworkAccessManager;

// Asks a camera's web interface (port 8080) for its version text and video format. Each
// request waits in a local event loop until the reply has finished, a refused connection
// included, or 300 ms have passed. Any thread may call in; a thread other than the handler's
// own uses a network manager of its own for the call.
class HttpHandler : public QObject
{
public:
    static constexpr int TimeoutMs = 300;

    static HttpHandler &instance();

    // The text after "Korvane " in the camera's /version reply.
    bool getVersion(const QString &address, QString &version);
    // The string "VideoFormat" of the JSON object in the camera's /encodesetup reply.
    bool getVideoFormat(const QString &address, QString &videoFormat);

    ~HttpHandler() override;

private:
    HttpHandler();
    QByteArray fetch(const QString &address, const char *path);

    QNetworkAccessManager *manager;
};
