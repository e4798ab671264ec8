#include "LibThread.h"

#include <BlockingPoint.h>
#include <Looper.h>

#include <WaitUntil.h>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using brenvik::test::WaitUntil;

// Collects the end messages of worker threads.
class EndCollector : public BLooper {
public:
    struct End {
        std::string name;
        int32 status;
    };

    void MessageReceived(BMessage* message) override
    {
        if (message->what != LibThread::kLibThreadDone) {
            BLooper::MessageReceived(message);
            return;
        }
        End end;
        const char* name = "";
        message->FindString("name", &name);
        end.name = name;
        message->FindInt32("status", &end.status);
        std::lock_guard guard(fLock);
        fEnds.push_back(end);
    }

    std::vector<End> Ends()
    {
        std::lock_guard guard(fLock);
        return fEnds;
    }

private:
    std::mutex fLock;
    std::vector<End> fEnds;
};

class Worker : public LibThread {
public:
    enum Mode { kReturn, kBlock, kSpin };

    Worker()
        : fNever(create_sem(0, "never"))
    {
    }
    ~Worker() override
    {
        // Stop the thread before the semaphore it may wait on goes.
        Kill();
        while (Status() != 0)
            snooze(100);
        delete_sem(fNever);
    }

    status_t Action() override
    {
        started = true;
        steps++;
        if (mode == kBlock)
            acquire_sem(fNever);
        while (mode == kSpin) {
            steps++;
            BPrivate::thread_checkpoint();
        }
        return result;
    }

    std::atomic<bool> started { false };
    std::atomic<int> steps { 0 };
    Mode mode = kReturn;
    status_t result = 17;

private:
    sem_id fNever;
};

class LibThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        fCollector = new EndCollector;
        fCollector->Run();
    }
    void TearDown() override
    {
        fCollector->Lock();
        fCollector->Quit();
    }
    BMessenger* NewTarget() { return new BMessenger(fCollector); }

    EndCollector* fCollector = nullptr;
};

TEST_F(LibThreadTest, GoAndWaitReturnsAfterTheEndMessageWasSent)
{
    Worker worker;
    EXPECT_EQ(worker.Go("install", NewTarget(), 10, true), B_OK);
    EXPECT_TRUE(worker.started);
    ASSERT_TRUE(WaitUntil([&] { return fCollector->Ends().size() == 1; }));
    EXPECT_EQ(fCollector->Ends()[0].name, "install");
    EXPECT_EQ(fCollector->Ends()[0].status, 17);
}

TEST_F(LibThreadTest, GoWithoutWaitingRunsInTheBackground)
{
    Worker worker;
    worker.result = -3;
    EXPECT_EQ(worker.Go("background", NewTarget(), 10, false), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return fCollector->Ends().size() == 1; }));
    EXPECT_EQ(fCollector->Ends()[0].name, "background");
    EXPECT_EQ(fCollector->Ends()[0].status, -3);
}

TEST_F(LibThreadTest, AKilledWorkerSendsNoEndMessage)
{
    Worker worker;
    worker.mode = Worker::kBlock;
    ASSERT_EQ(worker.Go("install", NewTarget(), 10, false), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return worker.Status() == B_THREAD_WAITING; }));
    EXPECT_EQ(worker.Kill(), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return worker.Status() == 0; }));
    // Synchronise with the collector: a message sent now arrives after any
    // end message the worker might (wrongly) have sent.
    BMessage probe('prob');
    BMessage reply;
    BMessenger(fCollector).SendMessage(&probe, &reply);
    EXPECT_TRUE(fCollector->Ends().empty());
}

TEST_F(LibThreadTest, DestroyingAWorkerStopsItsThreadFirst)
{
    auto* worker = new Worker;
    worker->mode = Worker::kSpin;
    ASSERT_EQ(worker->Go("install", NewTarget(), 10, false), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return worker->steps.load() > 0; }));
    thread_id thread = worker->Thread();
    delete worker;
    thread_info info;
    EXPECT_EQ(get_thread_info(thread, &info), B_BAD_THREAD_ID);
}

TEST_F(LibThreadTest, AWorkerNeverStartedKillsNothing)
{
    Worker worker;
    EXPECT_EQ(worker.Status(), 0);
    EXPECT_EQ(worker.Kill(), B_BAD_THREAD_ID);
}

TEST_F(LibThreadTest, SecondGoWhileRunningIsRefused)
{
    Worker worker;
    worker.mode = Worker::kBlock;
    ASSERT_EQ(worker.Go("first", NewTarget(), 10, false), B_OK);
    EXPECT_EQ(worker.Go("second", NewTarget(), 10, false), B_BUSY);
    worker.Kill();
}

// Keeps a chosen worker thread from ending until the test lets it: a thread
// that has sent its end message but not yet ended, as a busy machine may
// leave it.
const char* const kHeldName = "held at its end";
std::atomic<bool> sHoldReleased { false };

void HoldEndingThread(thread_id thread)
{
    thread_info info;
    if (get_thread_info(thread, &info) == B_OK && std::string(info.name) == kHeldName)
        WaitUntil([] { return sHoldReleased.load(); }, std::chrono::seconds(5));
}

// Answers the end message of a pass by starting the next one at once, as the
// window does when the user presses Install again after a failed pass.
class Restarter : public BLooper {
public:
    explicit Restarter(Worker* worker)
        : fWorker(worker)
    {
    }

    void MessageReceived(BMessage* message) override
    {
        if (message->what != LibThread::kLibThreadDone) {
            BLooper::MessageReceived(message);
            return;
        }
        if (fEnds++ > 0)
            return;
        // Let the ended thread go a moment after Go has looked at it.
        std::thread releaser([] {
            snooze(50000);
            sHoldReleased = true;
        });
        fAgain = fWorker->Go("again", new BMessenger(this), 10, false);
        releaser.join();
    }

    std::atomic<int> fEnds { 0 };
    std::atomic<status_t> fAgain { B_ERROR };

private:
    Worker* fWorker;
};

TEST(LibThreadRestartTest, GoOnTheEndMessageStartsTheNextPass)
{
    static bool sHookAdded = false;
    if (!sHookAdded) {
        BPrivate::AddThreadExitHook(HoldEndingThread);
        sHookAdded = true;
    }
    Worker worker;
    worker.result = -1;
    auto* window = new Restarter(&worker);
    window->Run();

    sHoldReleased = false;
    ASSERT_EQ(worker.Go(kHeldName, new BMessenger(window), 10, false), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return window->fEnds.load() == 2; }));
    EXPECT_EQ(window->fAgain.load(), B_OK);
    EXPECT_EQ(worker.steps.load(), 2);
    window->Lock();
    window->Quit();
}

TEST(LibThreadPrintTest, StateWordsGoToStandardError)
{
    Worker worker;
    testing::internal::CaptureStderr();
    worker.PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unknown\n");

    worker.mode = Worker::kBlock;
    worker.Go("waiter", nullptr, 10, false);
    ASSERT_TRUE(WaitUntil([&] { return worker.Status() == B_THREAD_WAITING; }));
    testing::internal::CaptureStderr();
    worker.PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Waiting\n");
    worker.Kill();
    ASSERT_TRUE(WaitUntil([&] { return worker.Status() == 0; }));

    Worker spinner;
    spinner.mode = Worker::kSpin;
    spinner.Go("spinner", nullptr, 10, false);
    ASSERT_TRUE(WaitUntil([&] { return spinner.steps.load() > 1; }));
    spinner.Suspend();
    ASSERT_TRUE(WaitUntil([&] { return spinner.Status() == B_THREAD_SUSPENDED; }));
    testing::internal::CaptureStderr();
    spinner.PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Suspended\n");
    spinner.Resume();
}

} // namespace
