#pragma once

#include <QObject>
#include <QThread>

#include <utility>

// The one owner of a thread object: it stops the thread by clearing the thread's atomic
// `running` flag, waits for it and deletes it, all in one place. Destroying the owner stops and
// joins the thread; retire() lets it go without waiting, for owners that must never block on it.
template<class T>
class OwnedThread
{
public:
    OwnedThread() = default;
    ~OwnedThread() { stopAndWait(); }
    OwnedThread(const OwnedThread &) = delete;
    OwnedThread &operator=(const OwnedThread &) = delete;

    // Takes a new thread, not yet started, once the one held before has been stopped and joined.
    template<class... Args>
    T *emplace(Args &&...args)
    {
        stopAndWait();
        thread = new T(std::forward<Args>(args)...);
        return thread;
    }

    T *get() const { return thread; }
    T *operator->() const { return thread; }
    explicit operator bool() const { return thread != nullptr; }

    void start() { thread->start(QThread::InheritPriority); }

    // Asks the thread to leave after what it is doing; returns at once.
    void requestStop()
    {
        if (thread)
            thread->running = false;
    }

    // Stops, joins and deletes the thread; harmless when there is none.
    void stopAndWait()
    {
        if (!thread)
            return;
        requestStop();
        thread->wait();
        delete std::exchange(thread, nullptr);
    }

    // Stops the thread and lets go of it at once: it deletes itself once its run has ended. One
    // still running when its QObject parent goes is deleted with the parent, so a thread retired
    // this way has a destructor that waits for it.
    void retire()
    {
        if (!thread)
            return;
        requestStop();
        // QThread's own signal, which a thread class may hide with one of its own.
        QThread *leaving = std::exchange(thread, nullptr);
        QObject::connect(leaving, &QThread::finished, leaving, &QObject::deleteLater);
        if (!leaving->isRunning())
            leaving->deleteLater(); // a second deleteLater, when the signal comes too, is harmless
    }

private:
    T *thread = nullptr;
};
