#include "position_editing/camerachannel.h"

#include "camera_control/httphandler.h"
#include "camera_control/viscacommand.h"
#include "camera_control/viscalink.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {
constexpr int32_t PanTiltStopCode = 0x33;

enum class Kind { Command, Stop, Move, ReadPanTilt, ReadFocus, ReadZoom, Marker, WebQuery };

bool isRead(Kind kind)
{
    return kind == Kind::ReadPanTilt || kind == Kind::ReadFocus || kind == Kind::ReadZoom;
}

// What a switch to another camera makes pointless: everything but the drives and stops
// already asked for, which must still reach the camera they were meant for.
bool staleAfterSwitch(Kind kind)
{
    return kind != Kind::Command && kind != Kind::Stop;
}

// Lane threads whose panel went away in the middle of an exchange. An exchange is bounded
// (half a second at most), but closing a panel or the window should not wait for it; the
// application joins them as it shuts down, before the camera socket and the web handler they
// may still be using are destroyed.
class Orphans
{
public:
    static Orphans &instance()
    {
        static Orphans orphans;
        return orphans;
    }

    void adopt(std::thread thread)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        threads.push_back(std::move(thread));
        if (!joinAtShutdown) {
            qAddPostRoutine(&Orphans::joinAll);
            joinAtShutdown = true;
        }
    }

    // Only reached without an application shutdown: nothing is left to wait for then.
    ~Orphans()
    {
        for (std::thread &thread : threads)
            thread.detach();
    }

private:
    static void joinAll()
    {
        std::vector<std::thread> waiting;
        {
            const std::lock_guard<std::mutex> lock(instance().mutex);
            waiting.swap(instance().threads);
        }
        for (std::thread &thread : waiting)
            thread.join();
    }

    std::mutex mutex; // guards threads and joinAtShutdown
    std::vector<std::thread> threads;
    bool joinAtShutdown = false;
};
} // namespace

// Where answers go: the channel while it lives, and only for the camera they were asked of.
struct CameraChannel::Outbox
{
    explicit Outbox(CameraChannel *channel)
        : owner(channel)
    {
    }

    bool current(uint64_t asked) const { return asked == generation.load(); }

    // From any thread: result runs on the channel's (GUI) thread, unless the channel has gone
    // or switched cameras by then.
    void deliver(uint64_t asked, std::function<void(CameraChannel &)> result)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!owner || !current(asked))
            return;
        CameraChannel *channel = owner;
        QMetaObject::invokeMethod(
            channel,
            [channel, asked, result = std::move(result)] {
                if (channel->outbox->current(asked))
                    result(*channel);
            },
            Qt::QueuedConnection);
    }

    std::mutex mutex;     // guards owner, so nothing is posted to a channel being destroyed
    CameraChannel *owner; // null once the channel is gone
    std::atomic<uint64_t> generation{0}; // one more at every camera switch
};

// One thread that runs jobs one after another, in the order asked.
class CameraChannel::Lane
{
public:
    // The lane's sequence counter, from 0, one more after every VISCA exchange.
    using Job = std::function<void(uint32_t &sequenceCounter)>;

    Lane()
        : state(std::make_shared<State>())
        , thread(&Lane::run, state)
    {
    }

    ~Lane()
    {
        bool busy = false;
        {
            const std::lock_guard<std::mutex> lock(state->mutex);
            state->stopping = true;
            state->jobs.clear();
            busy = state->busy;
        }
        state->wake.notify_one();
        if (busy)
            Orphans::instance().adopt(std::move(thread));
        else
            thread.join();
    }

    Lane(const Lane &) = delete;
    Lane &operator=(const Lane &) = delete;

    void post(Kind kind, Job job)
    {
        {
            const std::lock_guard<std::mutex> lock(state->mutex);
            std::deque<Pending> &jobs = state->jobs;
            if (kind == Kind::Move || kind == Kind::Stop)
                discardLocked([](Kind waiting) { return waiting == Kind::Move; });
            else if (isRead(kind) &&
                     std::any_of(jobs.begin(), jobs.end(),
                                 [kind](const Pending &p) { return p.kind == kind; }))
                return;
            jobs.push_back({kind, std::move(job)});
        }
        state->wake.notify_one();
    }

    template<typename Predicate>
    void discard(Predicate stale)
    {
        const std::lock_guard<std::mutex> lock(state->mutex);
        discardLocked(stale);
    }

private:
    struct Pending
    {
        Kind kind;
        Job job;
    };

    struct State
    {
        std::mutex mutex; // guards everything below
        std::condition_variable wake;
        std::deque<Pending> jobs;
        bool busy = false; // a job is running
        bool stopping = false;
    };

    template<typename Predicate>
    void discardLocked(Predicate stale)
    {
        std::deque<Pending> &jobs = state->jobs;
        jobs.erase(std::remove_if(jobs.begin(), jobs.end(),
                                  [&](const Pending &p) { return stale(p.kind); }),
                   jobs.end());
    }

    static void run(std::shared_ptr<State> state)
    {
        uint32_t sequenceCounter = 0;
        std::unique_lock<std::mutex> lock(state->mutex);
        for (;;) {
            state->wake.wait(lock, [&] { return state->stopping || !state->jobs.empty(); });
            if (state->stopping)
                return;
            Job job = std::move(state->jobs.front().job);
            state->jobs.pop_front();
            state->busy = true;
            lock.unlock();
            job(sequenceCounter);
            job = nullptr;
            lock.lock();
            state->busy = false;
        }
    }

    std::shared_ptr<State> state; // shared with the thread, which may outlive the lane
    std::thread thread;
};

CameraChannel::CameraChannel(QObject *parent)
    : QObject(parent)
    , outbox(std::make_shared<Outbox>(this))
    , commands(std::make_unique<Lane>())
    , webQueries(std::make_unique<Lane>())
{
    sinceExchange.start();
    // Made here on the GUI thread, so that the handler's own network manager belongs to a
    // thread that lives as long as the handler, not to a lane that may end first.
    HttpHandler::instance();
}

CameraChannel::~CameraChannel()
{
    {
        const std::lock_guard<std::mutex> lock(outbox->mutex);
        outbox->owner = nullptr;
    }
    commands.reset();
    webQueries.reset();
}

void CameraChannel::setCamera(const std::string &newAddress)
{
    ++outbox->generation;
    commands->discard(staleAfterSwitch);
    webQueries->discard(staleAfterSwitch);
    if (joystickMoving)
        stopPanTilt(); // the glide's own stop would reach the new camera instead
    address = newAddress;
    sinceExchange.restart();
}

void CameraChannel::send(int32_t type, int32_t value)
{
    sinceExchange.restart();
    commands->post(Kind::Command, [address = address, type, value](uint32_t &sequenceCounter) {
        ViscaLink(sequenceCounter).send(type, address, value);
    });
}

void CameraChannel::drivePanTilt(int32_t panSpeed, int32_t tiltSpeed, int32_t directionCode)
{
    joystickMoving = true;
    sinceExchange.restart();
    commands->post(Kind::Move, [=, address = address](uint32_t &sequenceCounter) {
        ViscaLink(sequenceCounter)
            .send(VISCACommandType::PanTilt, address, directionCode, panSpeed, tiltSpeed);
    });
}

void CameraChannel::stopPanTilt()
{
    joystickMoving = false;
    sinceExchange.restart();
    commands->post(Kind::Stop, [address = address](uint32_t &sequenceCounter) {
        ViscaLink(sequenceCounter).send(VISCACommandType::PanTilt, address, PanTiltStopCode);
    });
}

void CameraChannel::readPanTilt()
{
    if (address.empty())
        return;
    sinceExchange.restart();
    commands->post(Kind::ReadPanTilt, [outbox = outbox, asked = outbox->generation.load(),
                                       address = address](uint32_t &sequenceCounter) {
        int32_t pan = 0;
        int32_t tilt = 0;
        const bool ok = ViscaLink(sequenceCounter).inquirePanTilt(address, pan, tilt);
        outbox->deliver(asked, [=](CameraChannel &c) {
            if (ok)
                emit c.panTiltRead(pan, tilt);
            c.endInquiry(ok);
        });
    });
}

void CameraChannel::readFocus()
{
    readValue(VISCACommandType::FocusInq, &CameraChannel::focusRead);
}

void CameraChannel::readZoom()
{
    readValue(VISCACommandType::ZoomInq, &CameraChannel::zoomRead);
}

void CameraChannel::readValue(int32_t inquiryType, void (CameraChannel::*answer)(int))
{
    if (address.empty())
        return;
    const Kind kind = inquiryType == VISCACommandType::FocusInq ? Kind::ReadFocus : Kind::ReadZoom;
    sinceExchange.restart();
    commands->post(kind, [=, outbox = outbox, asked = outbox->generation.load(),
                          address = address](uint32_t &sequenceCounter) {
        int32_t value = 0;
        const bool ok = ViscaLink(sequenceCounter).inquireValue(inquiryType, address, value);
        outbox->deliver(asked, [=](CameraChannel &c) {
            if (ok)
                (c.*answer)(value);
            c.endInquiry(ok);
        });
    });
}

void CameraChannel::endInquiry(bool answered)
{
    sinceExchange.restart();
    emit inquiryEnded(answered);
}

void CameraChannel::queryWebInterface()
{
    if (address.empty())
        return;
    webQueries->post(Kind::WebQuery, [outbox = outbox, asked = outbox->generation.load(),
                                      address = QString::fromStdString(address)](uint32_t &) {
        HttpHandler &web = HttpHandler::instance();
        QString videoFormat;
        if (outbox->current(asked) && web.getVideoFormat(address, videoFormat))
            outbox->deliver(asked, [=](CameraChannel &c) { emit c.videoFormatRead(videoFormat); });
        QString version;
        if (outbox->current(asked) && web.getVersion(address, version))
            outbox->deliver(asked, [=](CameraChannel &c) { emit c.versionRead(version); });
    });
}

void CameraChannel::afterPending(std::function<void()> step)
{
    commands->post(Kind::Marker, [outbox = outbox, asked = outbox->generation.load(),
                                  step = std::move(step)](uint32_t &) {
        outbox->deliver(asked, [step](CameraChannel &) { step(); });
    });
}
