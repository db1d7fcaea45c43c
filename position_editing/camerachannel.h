#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// One camera panel's exchanges with its camera, kept off the GUI thread: VISCA commands and
// inquiries run in the order asked on one thread of the channel's own, the two web queries on
// another. Answers come back as queued signals, and only while the camera that was asked is
// still the chosen one. Nothing here waits for a camera, so a silent one costs the window
// nothing.
class CameraChannel : public QObject
{
    Q_OBJECT

public:
    explicit CameraChannel(QObject *parent = nullptr);
    // Returns at once: exchanges still waiting are dropped; one under way finishes in the
    // background and is waited for when the application shuts down.
    ~CameraChannel() override;

    // Talks to this address from now on (empty: no camera). Answers from the previous camera
    // are dropped, and so are its waiting inquiries and moves; a drive or stop already asked
    // for still reaches it, and a joystick move still running there is stopped.
    void setCamera(const std::string &address);

    // A drive or mode command; its outcome is of no interest to the panel.
    void send(int32_t type, int32_t value);
    // Joystick drives: a move replaces the one still waiting, and a stop every waiting move,
    // so a silent camera never gathers a queue of stale moves and a stop always goes out.
    void drivePanTilt(int32_t panSpeed, int32_t tiltSpeed, int32_t directionCode);
    void stopPanTilt();
    // Position inquiries; one of a kind that is still waiting is not asked twice.
    void readPanTilt();
    void readFocus();
    void readZoom();
    // The camera's video format, then its version.
    void queryWebInterface();
    // Runs step on the GUI thread once every exchange asked for before has answered or given
    // up, provided the camera has not been switched meanwhile.
    void afterPending(std::function<void()> step);
    // Since a VISCA exchange was last asked for, an inquiry last ended or the camera was
    // chosen: the panel asks after an idle camera's health only once this has grown long.
    qint64 msSinceExchange() const { return sinceExchange.elapsed(); }

signals:
    void panTiltRead(int pan, int tilt);
    void focusRead(int focus);
    void zoomRead(int zoom);
    void videoFormatRead(const QString &videoFormat);
    void versionRead(const QString &version);
    // Every inquiry to the chosen camera, after its answer (if any) went out.
    void inquiryEnded(bool answered);

private:
    struct Outbox;
    class Lane;

    // A focus or zoom inquiry, its answer through the given signal.
    void readValue(int32_t inquiryType, void (CameraChannel::*answer)(int));
    void endInquiry(bool answered);

    std::shared_ptr<Outbox> outbox;
    std::unique_ptr<Lane> commands;
    std::unique_ptr<Lane> webQueries;
    std::string address;
    bool joystickMoving = false; // a move was asked for since the last stop
    QElapsedTimer sinceExchange;
};
