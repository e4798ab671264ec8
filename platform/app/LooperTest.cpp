#include <AppInfo.h>
#include <Application.h>
#include <Autolock.h>
#include <Looper.h>
#include <Messenger.h>

#include <WaitUntil.h>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using brenvik::test::WaitUntil;

// Records what it receives, on which thread.
class Recorder : public BHandler {
public:
    explicit Recorder(const char* name = "recorder")
        : BHandler(name)
    {
    }

    void MessageReceived(BMessage* message) override
    {
        std::lock_guard guard(fLock);
        fWhats.push_back(message->what);
        fThreads.push_back(find_thread(nullptr));
        int32 value = 0;
        if (message->FindInt32("value", &value) == B_OK)
            fValues.push_back(value);
        if (message->what == 'echo') {
            BMessage reply('rply');
            reply.AddInt32("value", value * 2);
            message->SendReply(&reply);
        }
    }

    std::vector<uint32> Whats()
    {
        std::lock_guard guard(fLock);
        return fWhats;
    }
    std::vector<int32> Values()
    {
        std::lock_guard guard(fLock);
        return fValues;
    }
    std::vector<thread_id> Threads()
    {
        std::lock_guard guard(fLock);
        return fThreads;
    }

private:
    std::mutex fLock;
    std::vector<uint32> fWhats;
    std::vector<int32> fValues;
    std::vector<thread_id> fThreads;
};

class RecordingLooper : public BLooper {
public:
    explicit RecordingLooper(Recorder* recorder, std::atomic<bool>* deleted = nullptr)
        : BLooper("recording looper")
        , fRecorder(recorder)
        , fDeleted(deleted)
    {
    }
    ~RecordingLooper() override
    {
        if (fDeleted != nullptr)
            *fDeleted = true;
    }
    void MessageReceived(BMessage* message) override { fRecorder->MessageReceived(message); }

private:
    Recorder* fRecorder;
    std::atomic<bool>* fDeleted;
};

TEST(LooperTest, PostedMessagesArriveInOrderOnTheLoopersThread)
{
    Recorder recorder;
    auto* looper = new RecordingLooper(&recorder);
    thread_id thread = looper->Run();
    ASSERT_GT(thread, 0);
    for (int32 i = 0; i < 50; i++) {
        BMessage message('ordr');
        message.AddInt32("value", i);
        ASSERT_EQ(looper->PostMessage(&message), B_OK);
    }
    ASSERT_TRUE(WaitUntil([&] { return recorder.Values().size() == 50; }));
    std::vector<int32> values = recorder.Values();
    for (int32 i = 0; i < 50; i++)
        EXPECT_EQ(values[size_t(i)], i);
    for (thread_id receiver : recorder.Threads())
        EXPECT_EQ(receiver, thread);
    looper->Lock();
    looper->Quit();
}

TEST(LooperTest, MessengerReachesAHandlerInsideTheLooper)
{
    Recorder looperRecorder;
    auto* looper = new RecordingLooper(&looperRecorder);
    Recorder handler("handler");
    looper->AddHandler(&handler);
    looper->Run();

    BMessenger toHandler(&handler);
    ASSERT_TRUE(toHandler.IsValid());
    EXPECT_EQ(toHandler.SendMessage('hndl'), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return handler.Whats().size() == 1; }));
    EXPECT_EQ(handler.Whats()[0], uint32('hndl'));
    EXPECT_TRUE(looperRecorder.Whats().empty());

    BLooper* targetLooper = nullptr;
    EXPECT_EQ(toHandler.Target(&targetLooper), &handler);
    EXPECT_EQ(targetLooper, looper);

    looper->Lock();
    looper->RemoveHandler(&handler);
    looper->Quit();
}

TEST(LooperTest, SynchronousSendWaitsForTheReply)
{
    Recorder recorder;
    auto* looper = new RecordingLooper(&recorder);
    looper->Run();
    BMessenger messenger(looper);

    BMessage request('echo');
    request.AddInt32("value", 21);
    BMessage reply;
    ASSERT_EQ(messenger.SendMessage(&request, &reply), B_OK);
    EXPECT_EQ(reply.what, uint32('rply'));
    int32 value = 0;
    EXPECT_EQ(reply.FindInt32("value", &value), B_OK);
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(reply.IsReply());

    // A message the target does not answer gives B_NO_REPLY.
    BMessage ignored('ignr');
    ASSERT_EQ(messenger.SendMessage(&ignored, &reply), B_OK);
    EXPECT_EQ(reply.what, uint32(B_NO_REPLY));

    looper->Lock();
    looper->Quit();
}

TEST(LooperTest, LockIsRecursiveAndExcludesOtherThreads)
{
    Recorder recorder;
    auto* looper = new RecordingLooper(&recorder);
    looper->Run();

    ASSERT_TRUE(looper->Lock());
    ASSERT_TRUE(looper->Lock());
    EXPECT_EQ(looper->CountLocks(), 2);
    EXPECT_TRUE(looper->IsLocked());

    std::atomic<status_t> otherResult { B_OK };
    std::thread other([&] { otherResult = looper->LockWithTimeout(2000); });
    other.join();
    EXPECT_EQ(otherResult.load(), B_TIMED_OUT);

    looper->Unlock();
    looper->Unlock();
    EXPECT_FALSE(looper->IsLocked());
    looper->Lock();
    looper->Quit();
}

TEST(LooperTest, QuitFromAnotherThreadDeletesTheLooper)
{
    Recorder recorder;
    std::atomic<bool> deleted { false };
    auto* looper = new RecordingLooper(&recorder, &deleted);
    looper->Run();
    BMessenger messenger(looper);
    looper->Lock();
    looper->Quit();
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(messenger.IsValid());
    EXPECT_EQ(messenger.SendMessage('late'), B_BAD_PORT_ID);
    EXPECT_FALSE(messenger.LockTarget());
}

TEST(LooperTest, QuitRequestedMessageEndsTheLooper)
{
    Recorder recorder;
    std::atomic<bool> deleted { false };
    auto* looper = new RecordingLooper(&recorder, &deleted);
    looper->Run();
    BMessenger(looper).SendMessage(B_QUIT_REQUESTED);
    EXPECT_TRUE(WaitUntil([&] { return deleted.load(); }));
}

TEST(LooperTest, SendingToALooperThatIsGoingAwayFailsCleanly)
{
    // Senders on several threads keep sending while the looper quits: every
    // send either arrives or fails with B_BAD_PORT_ID, never touching the
    // deleted looper.
    for (int round = 0; round < 20; round++) {
        Recorder recorder;
        std::atomic<bool> deleted { false };
        auto* looper = new RecordingLooper(&recorder, &deleted);
        looper->Run();
        BMessenger messenger(looper);

        std::atomic<bool> stop { false };
        std::atomic<int> failures { 0 };
        std::vector<std::thread> senders;
        for (int s = 0; s < 4; s++) {
            senders.emplace_back([&] {
                while (!stop) {
                    BMessage message('spam');
                    status_t status = messenger.SendMessage(&message);
                    if (status != B_OK) {
                        EXPECT_EQ(status, B_BAD_PORT_ID);
                        failures++;
                    }
                    BMessage reply;
                    BMessage request('echo');
                    status = messenger.SendMessage(&request, &reply);
                    EXPECT_TRUE(status == B_OK || status == B_BAD_PORT_ID) << status;
                }
            });
        }
        snooze(500);
        messenger.SendMessage(B_QUIT_REQUESTED);
        EXPECT_TRUE(WaitUntil([&] { return deleted.load(); }));
        EXPECT_TRUE(WaitUntil([&] { return failures.load() > 8; }));
        stop = true;
        for (std::thread& sender : senders)
            sender.join();
    }
}

TEST(LooperTest, CurrentMessageIsTheOneBeingHandled)
{
    struct Inspecting : BLooper {
        std::atomic<int32> seen { 0 };
        void MessageReceived(BMessage* message) override
        {
            int32 value = 0;
            if (CurrentMessage() == message && message->FindInt32("value", &value) == B_OK)
                seen = value;
        }
    };
    auto* looper = new Inspecting;
    looper->Run();
    BMessage message('insp');
    message.AddInt32("value", 7);
    looper->PostMessage(&message);
    EXPECT_TRUE(WaitUntil([&] { return looper->seen.load() == 7; }));
    looper->Lock();
    looper->Quit();
}

class TestApplication : public BApplication {
public:
    TestApplication()
        : BApplication("application/x-vnd.brenvik-looper-test")
    {
    }

    void ReadyToRun() override
    {
        fEvents.push_back("ready");
        SetPulseRate(1000);
    }

    void Pulse() override
    {
        if (++fPulses == 3) {
            fEvents.push_back("pulsed");
            SetPulseRate(0);
            be_app_messenger.SendMessage(B_QUIT_REQUESTED);
        }
    }

    void MessageReceived(BMessage* message) override
    {
        if (message->what == 'frst')
            fEvents.push_back("first");
        else
            BApplication::MessageReceived(message);
    }

    std::vector<std::string> fEvents;
    int fPulses = 0;
};

TEST(ApplicationTest, ReadyToRunComesFirstThenPulsesThenQuit)
{
    TestApplication app;
    ASSERT_EQ(app.InitCheck(), B_OK);
    EXPECT_EQ(be_app, &app);
    // Posted before Run(): still handled after ReadyToRun.
    app.PostMessage('frst');
    app.Run();
    ASSERT_EQ(app.fEvents.size(), 3u);
    EXPECT_EQ(app.fEvents[0], "ready");
    EXPECT_EQ(app.fEvents[1], "first");
    EXPECT_EQ(app.fEvents[2], "pulsed");
}

// Quits only when asked, and records who asked on which thread.
class QuitRecordingApplication : public BApplication {
public:
    QuitRecordingApplication()
        : BApplication("application/x-vnd.brenvik-looper-test")
    {
    }

    void ReadyToRun() override { fRunning = true; }

    bool QuitRequested() override
    {
        fQuitRequests++;
        fQuitThread = find_thread(nullptr);
        return BApplication::QuitRequested();
    }

    std::atomic<bool> fRunning { false };
    std::atomic<int> fQuitRequests { 0 };
    std::atomic<thread_id> fQuitThread { -1 };
};

TEST(ApplicationTest, QuitFromAnotherThreadEndsRun)
{
    QuitRecordingApplication app;
    std::atomic<status_t> posted { B_ERROR };
    std::atomic<bool> runReturned { false };
    std::thread quitter([&] {
        WaitUntil([&] { return app.fRunning.load(); });
        // Nothing else ends this application: Run must still be going.
        EXPECT_FALSE(runReturned.load());
        posted = be_app->PostMessage(B_QUIT_REQUESTED);
    });
    thread_id runThread = find_thread(nullptr);
    app.Run();
    runReturned = true;
    quitter.join();

    EXPECT_EQ(posted.load(), B_OK);
    EXPECT_EQ(app.fQuitRequests.load(), 1);
    EXPECT_EQ(app.fQuitThread.load(), runThread);
}

TEST(ApplicationTest, SignatureMessengerReachesTheApplication)
{
    TestApplication app;
    BMessenger bySignature("application/x-vnd.brenvik-looper-test");
    EXPECT_TRUE(bySignature.IsValid());
    status_t result = B_OK;
    BMessenger unknown("application/x-vnd.nobody", -1, &result);
    EXPECT_FALSE(unknown.IsValid());
    EXPECT_EQ(result, B_BAD_VALUE);
    app_info info;
    EXPECT_EQ(app.GetAppInfo(&info), B_OK);
    EXPECT_STREQ(info.signature, "application/x-vnd.brenvik-looper-test");
    EXPECT_STREQ(info.ref.name, "platform_app_thread_tests");
}

} // namespace
