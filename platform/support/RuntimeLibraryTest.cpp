// Libraries loaded at run time: a library that is missing, or refused
// through BRENVIK_NO_RUNTIME_LIBRARIES, is unavailable with a reason, and
// its functions are null; a library that is there gives its functions.

#include "RuntimeLibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>

using BPrivate::RuntimeLibrary;

namespace {

class RuntimeLibraryTest : public testing::Test {
protected:
    void TearDown() override { unsetenv("BRENVIK_NO_RUNTIME_LIBRARIES"); }
};

TEST_F(RuntimeLibraryTest, AMissingLibraryIsUnavailableWithAReason)
{
    RuntimeLibrary library("libbrenvik-no-such-library.so.7");
    EXPECT_FALSE(library.Available());
    EXPECT_EQ(library.Symbol("anything"), nullptr);
    EXPECT_NE(library.ErrorText().find("libbrenvik-no-such-library.so.7"), std::string::npos)
        << library.ErrorText();
}

TEST_F(RuntimeLibraryTest, ALibraryThatIsThereGivesItsFunctions)
{
    // The C library's maths part is on every machine this runs on.
    RuntimeLibrary library("libm.so.6");
    ASSERT_TRUE(library.Available()) << library.ErrorText();
    auto cosine = BPrivate::RuntimeFunction<double (*)(double)>(library, "cos");
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(library.Symbol("brenvik_no_such_function"), nullptr);
    EXPECT_TRUE(library.ErrorText().empty());
}

struct RefusalCase {
    const char* list;
    bool refused;
};

class RuntimeLibraryRefusalTest : public RuntimeLibraryTest,
                                  public testing::WithParamInterface<RefusalCase> { };

TEST_P(RuntimeLibraryRefusalTest, RefusesExactlyTheNamedLibraries)
{
    setenv("BRENVIK_NO_RUNTIME_LIBRARIES", GetParam().list, 1);
    EXPECT_EQ(RuntimeLibrary::Refused("libm.so.6"), GetParam().refused) << GetParam().list;
    RuntimeLibrary library("libm.so.6");
    EXPECT_EQ(library.Available(), !GetParam().refused);
}

INSTANTIATE_TEST_SUITE_P(Lists, RuntimeLibraryRefusalTest,
    testing::Values(RefusalCase { "libm.so.6", true },
        RefusalCase { "libSDL2-2.0.so.0:libm.so.6", true },
        RefusalCase { "libm.so.6:libsystemd.so.0", true }, RefusalCase { "libm.so", false },
        RefusalCase { "libm.so.6x:", false }, RefusalCase { "", false },
        RefusalCase { ":libm.so.66", false }));

} // namespace
