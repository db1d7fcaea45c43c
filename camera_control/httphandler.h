#pragma once

#include <QObject>
#include <QString>

class QNetworkAccessManager;

// Asks a camera's web interface (port 8080) for its version text and video format. Each
// request waits at most 300 ms in a local event loop; only the GUI thread calls in.
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
