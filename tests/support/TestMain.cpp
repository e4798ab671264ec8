#include "TestSandbox.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    brenvik::test::EnterSandbox();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
