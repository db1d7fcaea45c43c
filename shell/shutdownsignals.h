#pragma once

#include <QObject>
#include <csignal>

class QSocketNotifier;

// Turns SIGTERM and SIGINT (a session logout, a service manager, Ctrl+C in a terminal) into a
// signal on the event loop, so the program closes as through its close button: a run stops
// with its cameras told to stop, and what the program remembers is saved. One per process.
class ShutdownSignals : public QObject
{
    Q_OBJECT

public:
    explicit ShutdownSignals(QObject *parent = nullptr);
    ~ShutdownSignals() override;

signals:
    void requested();

private:
    static void handle(int signalNumber);
    void drain();

    QSocketNotifier *notifier = nullptr;
    struct sigaction previousTerm = {};
    struct sigaction previousInt = {};
};
