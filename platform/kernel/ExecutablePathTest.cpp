#include "ExecutablePath.h"

#include <Errors.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(ExecutablePathTest, NamesTheRunningTestProgram)
{
    std::string path;
    ASSERT_EQ(BPrivate::GetExecutablePath(&path), B_OK);
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "platform_kernel_tests");
    struct stat info;
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
}

TEST(ExecutablePathTest, RefusesANullResult)
{
    EXPECT_EQ(BPrivate::GetExecutablePath(nullptr), B_BAD_VALUE);
}
