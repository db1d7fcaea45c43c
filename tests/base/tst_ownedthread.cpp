// The thread owner: however it lets go of its thread, the thread has left and is deleted, and
// only retire() returns before the thread has left.
#include <QtTest>

#include <atomic>

#include "base/ownedthread.h"

namespace {

// Lingers after its stop until it may leave, as the engine does while it stops its cameras.
struct Lingering : QThread
{
    std::atomic<bool> running{true};
    std::atomic<bool> mayLeave{true}; // held back to see who waits
    std::atomic<bool> &left;
    bool &deleted;

    Lingering(std::atomic<bool> &leftFlag, bool &deletedFlag)
        : left(leftFlag)
        , deleted(deletedFlag)
    {
    }
    ~Lingering() override { deleted = true; } // QThread aborts if it still runs
    void run() override
    {
        const QDeadlineTimer giveUp(5000); // a blocking retire() fails instead of hanging
        while (running || (!mayLeave && !giveUp.hasExpired()))
            msleep(1);
        left = true;
    }
};

enum class LetGo { Destroy, StopTwice, Replace, Retire };

} // namespace

Q_DECLARE_METATYPE(LetGo)

class TestOwnedThread : public QObject
{
    Q_OBJECT

private slots:
    void letsGoOfItsThread_data();
    void letsGoOfItsThread();
};

void TestOwnedThread::letsGoOfItsThread_data()
{
    QTest::addColumn<LetGo>("letGo");
    QTest::addColumn<bool>("started");
    QTest::newRow("destroyed while running") << LetGo::Destroy << true;
    QTest::newRow("destroyed before start") << LetGo::Destroy << false;
    QTest::newRow("stopped twice") << LetGo::StopTwice << true;
    QTest::newRow("replaced while running") << LetGo::Replace << true;
    QTest::newRow("retired while running") << LetGo::Retire << true;
    QTest::newRow("retired before start") << LetGo::Retire << false;
}

void TestOwnedThread::letsGoOfItsThread()
{
    QFETCH(LetGo, letGo);
    QFETCH(bool, started);
    std::atomic<bool> left{false}, nextLeft{false};
    bool deleted = false, nextDeleted = false;
    {
        OwnedThread<Lingering> owner;
        Lingering *thread = owner.emplace(left, deleted);
        thread->mayLeave = letGo != LetGo::Retire;
        if (started)
            owner.start();
        if (letGo == LetGo::StopTwice) {
            owner.requestStop();
            owner.stopAndWait();
            owner.stopAndWait();
        } else if (letGo == LetGo::Replace) {
            owner.emplace(nextLeft, nextDeleted);
            QVERIFY(deleted && left);
        } else if (letGo == LetGo::Retire) {
            owner.retire();
            QVERIFY(!owner && !left);
            QTest::qWait(20); // not deleted before its run has ended
            QCOMPARE(deleted, !started);
            if (started)
                thread->mayLeave = true;
            QTRY_VERIFY(deleted);
        }
    }
    QVERIFY(deleted);
    QCOMPARE(left.load(), started);
    QCOMPARE(nextDeleted, letGo == LetGo::Replace);
}

QTEST_GUILESS_MAIN(TestOwnedThread)
#include "tst_ownedthread.moc"
