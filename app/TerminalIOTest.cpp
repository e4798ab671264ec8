// The wizard's questions and a stop signal: the signal reaches whichever
// thread the kernel picks, and the thread waiting for an answer must still
// end its question.

#include "TerminalDialogs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

class TerminalIOTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(pipe(fPipe), 0);
        fOut = std::tmpfile();
        ASSERT_NE(fOut, nullptr);
        TerminalIO::ClearInterrupt();
    }

    void TearDown() override
    {
        TerminalIO::ClearInterrupt();
        close(fPipe[0]);
        close(fPipe[1]);
        std::fclose(fOut);
    }

    int fPipe[2] = { -1, -1 };
    FILE* fOut = nullptr;
};

TEST_F(TerminalIOTest, AnAnswerIsReadUpToTheLineEnd)
{
    TerminalIO io(fPipe[0], fOut, fOut);
    ASSERT_EQ(write(fPipe[1], " 2 \n", 4), 4);
    std::string answer;
    EXPECT_TRUE(io.Ask("Your choice: ", &answer));
    EXPECT_EQ(answer, "2");
}

TEST_F(TerminalIOTest, AStopNotedOnAnotherThreadEndsTheWaitingQuestionAndTheNext)
{
    TerminalIO io(fPipe[0], fOut, fOut);
    std::atomic<bool> answered = false;
    // Noted again and again from another thread until the question ends, so
    // that the note also comes while the question waits.
    std::thread signaller([&answered] {
        while (!answered.load())
            TerminalIO::NoteInterrupt();
    });
    std::string answer;
    bool asked = io.Ask("Your choice: ", &answer);
    answered = true;
    signaller.join();
    EXPECT_FALSE(asked);
    ASSERT_EQ(write(fPipe[1], "1\n", 2), 2);
    EXPECT_FALSE(io.Ask("Install now? ", &answer));
}

} // namespace
