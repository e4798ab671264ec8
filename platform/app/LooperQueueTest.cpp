// A looper's queue when it is full: posting never waits, and progress
// reports sent with SendReplacingQueued keep one place in it.

#include <Looper.h>
#include <Messenger.h>
#include <Port.h>

#include <WaitUntil.h>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using brenvik::test::WaitUntil;

constexpr int32 kCapacity = 4;

// A looper with a small queue whose handler can be held on a 'hold' message
// until the test lets it go, so that the queue fills behind it.
class HoldingLooper : public BLooper {
public:
    HoldingLooper()
        : BLooper("holding looper", B_NORMAL_PRIORITY, kCapacity)
    {
    }

    void MessageReceived(BMessage* message) override
    {
        if (message->what == 'hold') {
            fHolding = true;
            WaitUntil([&] { return fRelease.load(); });
            fHolding = false;
            return;
        }
        if (message->what == 'self') {
            // Fill our own queue, then post once more: this must not wait
            // for the loop that is busy right here.
            for (int32 i = 0; i < kCapacity; i++)
                PostMessage('fill');
            fSelfPost = PostMessage('more');
            fSelfPostDone = true;
            return;
        }
        std::lock_guard guard(fLock);
        fHandled.push_back(message->what);
        const char* text = nullptr;
        if (message->FindString("text", &text) == B_OK)
            fTexts.push_back(text);
    }

    std::vector<uint32> Handled()
    {
        std::lock_guard guard(fLock);
        return fHandled;
    }
    std::vector<std::string> Texts()
    {
        std::lock_guard guard(fLock);
        return fTexts;
    }

    std::atomic<bool> fHolding { false };
    std::atomic<bool> fRelease { false };
    std::atomic<status_t> fSelfPost { B_OK };
    std::atomic<bool> fSelfPostDone { false };

private:
    std::mutex fLock;
    std::vector<uint32> fHandled;
    std::vector<std::string> fTexts;
};

// Runs `call` on a thread of its own and tells whether it returned within
// a deadline. The thread is joined either way, after `unblock` has run.
template <typename Call, typename Unblock> bool ReturnsPromptly(Call call, Unblock unblock)
{
    std::atomic<bool> returned { false };
    std::thread caller([&] {
        call();
        returned = true;
    });
    bool prompt = WaitUntil([&] { return returned.load(); }, std::chrono::seconds(2));
    unblock();
    caller.join();
    return prompt;
}

class LooperQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fLooper = new HoldingLooper;
        fLooper->Run();
        fMessenger = BMessenger(fLooper);
        ASSERT_EQ(fLooper->PostMessage('hold'), B_OK);
        ASSERT_TRUE(WaitUntil([&] { return fLooper->fHolding.load(); }));
    }

    void TearDown() override
    {
        fLooper->fRelease = true;
        // A looper stuck in its own handler is left behind rather than
        // hanging the whole test program.
        if (fLooper->LockWithTimeout(2000000) == B_OK)
            fLooper->Quit();
    }

    void FillQueue()
    {
        for (int32 i = 0; i < kCapacity; i++)
            ASSERT_EQ(fLooper->PostMessage('fill'), B_OK);
    }

    HoldingLooper* fLooper = nullptr;
    BMessenger fMessenger;
};

TEST_F(LooperQueueTest, PostingToAFullQueueFailsAtOnce)
{
    FillQueue();
    std::atomic<status_t> result { B_OK };
    EXPECT_TRUE(ReturnsPromptly(
        [&] { result = fLooper->PostMessage('late'); }, [&] { fLooper->fRelease = true; }));
    EXPECT_EQ(result.load(), B_WOULD_BLOCK);

    // Nothing that was queued is lost, and the refused message never arrives.
    ASSERT_TRUE(WaitUntil([&] { return fLooper->Handled().size() == size_t(kCapacity); }));
    for (uint32 what : fLooper->Handled())
        EXPECT_EQ(what, uint32('fill'));
}

TEST_F(LooperQueueTest, ALooperPostingToItsOwnFullQueueGoesOn)
{
    ASSERT_EQ(fLooper->PostMessage('self'), B_OK);
    fLooper->fRelease = true;

    // With a waiting post the looper would hang for ever in its own handler.
    ASSERT_TRUE(WaitUntil([&] { return fLooper->fSelfPostDone.load(); }, std::chrono::seconds(2)));
    EXPECT_EQ(fLooper->fSelfPost.load(), B_WOULD_BLOCK);
}

TEST_F(LooperQueueTest, ProgressReportsHoldOnePlaceAndTheNewestArrives)
{
    ASSERT_EQ(fLooper->PostMessage('frst'), B_OK);
    for (int32 i = 0; i < 50; i++) {
        BMessage report('prog');
        report.AddString("text", std::to_string(i).c_str());
        ASSERT_EQ(BPrivate::SendReplacingQueued(fMessenger, &report, 0), B_OK) << i;
    }
    ASSERT_EQ(fLooper->PostMessage('last'), B_OK);
    fLooper->fRelease = true;

    ASSERT_TRUE(WaitUntil([&] { return fLooper->Handled().size() == 3; }));
    std::vector<uint32> handled = fLooper->Handled();
    EXPECT_EQ(handled[0], uint32('frst'));
    EXPECT_EQ(handled[1], uint32('prog'));
    EXPECT_EQ(handled[2], uint32('last'));
    ASSERT_EQ(fLooper->Texts().size(), 1u);
    EXPECT_EQ(fLooper->Texts()[0], "49");
}

TEST_F(LooperQueueTest, AProgressReportWaitsForRoomWithoutDroppingOthers)
{
    FillQueue();
    BMessage report('prog');
    report.AddString("text", "newest");
    std::atomic<status_t> result { B_ERROR };
    std::thread sender([&] { result = BPrivate::SendReplacingQueued(fMessenger, &report); });
    fLooper->fRelease = true;
    sender.join();
    EXPECT_EQ(result.load(), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return fLooper->Handled().size() == size_t(kCapacity + 1); }));
    EXPECT_EQ(fLooper->Handled().back(), uint32('prog'));
}

TEST_F(LooperQueueTest, AMessageTakenButNotYetHandledStillCountsAsUnhandled)
{
    std::shared_ptr<BPrivate::Port> port = BPrivate::Port::Find(fMessenger.Port());
    ASSERT_NE(port, nullptr);
    // With the lock held here, the loop takes the next message from the queue
    // and then waits for the lock: the queue is empty, the work is not done.
    fLooper->fRelease = true;
    ASSERT_TRUE(WaitUntil([&] { return port->CountUnhandled() == 0; }));
    ASSERT_TRUE(fLooper->Lock());
    ASSERT_EQ(fLooper->PostMessage('frst'), B_OK);
    bool taken = WaitUntil([&] { return port->CountMessages() == 0; });
    EXPECT_TRUE(taken);
    EXPECT_EQ(port->CountUnhandled(), 1);
    EXPECT_TRUE(fLooper->Handled().empty());
    fLooper->Unlock();
    ASSERT_TRUE(WaitUntil([&] { return port->CountUnhandled() == 0; }));
    EXPECT_EQ(fLooper->Handled(), std::vector<uint32>({ 'frst' }));
}

} // namespace
