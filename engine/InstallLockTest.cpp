#include "InstallLock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include <Descriptor.h>

#include "ScriptTargets.h"
#include "ScriptTestSupport.h"

namespace {

using namespace script_test;

// Another installer, as far as flock is concerned: a lock of its own on the
// same file.
class OtherInstaller {
public:
    OtherInstaller()
        : fFile(open(InstallLock::LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (fFile.IsValid() && flock(fFile.Get(), LOCK_EX | LOCK_NB) != 0)
            fFile.Reset();
    }
    bool Holds() const { return fFile.IsValid(); }

private:
    BPrivate::Descriptor fFile;
};

class InstallLockTest : public ScriptSandbox { };

TEST_F(InstallLockTest, NestedHoldersInOneProcessDoNotWaitForThemselves)
{
    InstallLock outer(100000);
    ASSERT_EQ(outer.InitCheck(), B_OK);
    InstallLock inner(100000);
    EXPECT_EQ(inner.InitCheck(), B_OK);
    EXPECT_FALSE(OtherInstaller().Holds());
}

TEST_F(InstallLockTest, ThreadsOfOneProcessTakeTurns)
{
    std::atomic<int> holders { 0 };
    std::atomic<int> most { 0 };
    auto work = [&] {
        for (int round = 0; round < 20; round++) {
            InstallLock lock;
            ASSERT_EQ(lock.InitCheck(), B_OK);
            int now = ++holders;
            most = std::max(most.load(), now);
            std::this_thread::yield();
            --holders;
        }
    };
    std::thread other(work);
    work();
    other.join();
    EXPECT_EQ(most.load(), 1);

    InstallLock held;
    ASSERT_EQ(held.InitCheck(), B_OK);
    status_t waited = B_OK;
    std::thread late([&] { waited = InstallLock(50000).InitCheck(); });
    late.join();
    EXPECT_EQ(waited, B_TIMED_OUT);
}

TEST_F(InstallLockTest, AnotherInstallersLockMakesEditsWaitAndGiveUp)
{
    ASSERT_EQ(mkdir((fHome + "/.local").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((fHome + "/.local/share").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((fHome + "/.local/share/brenvik").c_str(), 0700), 0);
    {
        OtherInstaller other;
        ASSERT_TRUE(other.Holds());
        InstallLock lock(50000);
        EXPECT_EQ(lock.InitCheck(), B_TIMED_OUT);
    }
    InstallLock lock(50000);
    EXPECT_EQ(lock.InitCheck(), B_OK);
}

TEST_F(InstallLockTest, TheLockLivesInTheScopesStateFolder)
{
    EXPECT_EQ(InstallLock::LockPath(), fHome + "/.local/share/brenvik/lock");
    UseSystemScope();
    EXPECT_EQ(InstallLock::LockPath(), fSystem + "/var/lib/brenvik/lock");
}

} // namespace
