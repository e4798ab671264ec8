#include "TestSandbox.h"

#include <gtest/gtest.h>

// SDL's X11 video driver starts D-Bus, whose library keeps a buffer until
// the process ends; LeakSanitizer must not count that against any test
// program that opens a display.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}

int main(int argc, char** argv)
{
    brenvik::test::EnterSandbox();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
