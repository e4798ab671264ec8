#include <Descriptor.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <utility>

namespace {

bool IsOpen(int fd)
{
    return fcntl(fd, F_GETFD) != -1;
}

TEST(DescriptorTest, ClosesWhatItHoldsWhenItGoesOrIsReset)
{
    int first = open("/dev/null", O_RDONLY | O_CLOEXEC);
    int second = open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    {
        BPrivate::Descriptor held(first);
        EXPECT_TRUE(held.IsValid());
        held.Reset(second);
        EXPECT_FALSE(IsOpen(first));
        EXPECT_EQ(held.Get(), second);
    }
    EXPECT_FALSE(IsOpen(second));
}

TEST(DescriptorTest, AMoveHandsOverAndAReleaseGivesUpWithoutClosing)
{
    int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    BPrivate::Descriptor from(fd);
    BPrivate::Descriptor to(std::move(from));
    // The moved-from holder is read on purpose: it must hold nothing now.
    EXPECT_FALSE(from.IsValid()); // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(to.Get(), fd);
    BPrivate::Descriptor assigned;
    assigned = std::move(to);
    EXPECT_EQ(assigned.Get(), fd);
    EXPECT_EQ(assigned.Release(), fd);
    EXPECT_FALSE(assigned.IsValid());
    EXPECT_TRUE(IsOpen(fd));
    close(fd);
}

} // namespace
