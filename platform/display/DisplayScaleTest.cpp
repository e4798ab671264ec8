#include <DisplayScale.h>

#include <gtest/gtest.h>

using namespace BPrivate;

namespace {

struct ScaleCase {
    const char* name;
    const char* brenvik;
    float output;
    const char* gdk;
    const char* gdkDpi;
    const char* qt;
    const char* resources;
    float expected;
};

class ChooseScaleTest : public testing::TestWithParam<ScaleCase> { };

TEST_P(ChooseScaleTest, TakesTheFirstUsableSource)
{
    const ScaleCase& param = GetParam();
    ScaleSources sources;
    sources.brenvikScale = param.brenvik;
    sources.outputScale = param.output;
    sources.gdkScale = param.gdk;
    sources.gdkDpiScale = param.gdkDpi;
    sources.qtScaleFactor = param.qt;
    if (param.resources != nullptr)
        sources.xResources = [&] { return std::string(param.resources); };
    EXPECT_FLOAT_EQ(ChooseScale(sources), param.expected);
}

constexpr const char* kXft144 = "Xft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n";

INSTANTIATE_TEST_SUITE_P(Sources, ChooseScaleTest,
    testing::Values(ScaleCase { "Nothing", nullptr, 0, nullptr, nullptr, nullptr, nullptr, 1 },
        ScaleCase { "OwnVariableFirst", "1.5", 2, "3", nullptr, "2", kXft144, 1.5f },
        ScaleCase { "OwnVariableClampedAbove", "8", 2, nullptr, nullptr, nullptr, nullptr, 4 },
        ScaleCase { "OwnVariableClampedBelow", "0.5", 2, nullptr, nullptr, nullptr, nullptr, 1 },
        ScaleCase { "OwnVariableNotANumber", "big", 0, "2", nullptr, nullptr, nullptr, 2 },
        ScaleCase { "OwnVariableWithJunk", "2x", 0, nullptr, nullptr, nullptr, kXft144, 1.5f },
        ScaleCase { "OwnVariableInfinite", "inf", 0, nullptr, nullptr, "3", nullptr, 3 },
        ScaleCase { "WaylandOutput", nullptr, 2, "3", nullptr, nullptr, nullptr, 2 },
        ScaleCase { "GdkProduct", nullptr, 0, "2", "1.25", "3", nullptr, 2.5f },
        ScaleCase { "GdkDpiAlone", nullptr, 0, nullptr, "1.5", nullptr, nullptr, 1.5f },
        ScaleCase { "GdkBadScaleCountsAsOne", nullptr, 0, "two", "1.5", nullptr, nullptr, 1.5f },
        ScaleCase { "GdkProductTooSmall", nullptr, 0, "1", "0.5", "2", nullptr, 2 },
        ScaleCase { "GdkProductTooLarge", nullptr, 0, "4", "2", nullptr, kXft144, 1.5f },
        ScaleCase { "Qt", nullptr, 0, nullptr, nullptr, "1.75", kXft144, 1.75f },
        ScaleCase { "QtOutOfRange", nullptr, 0, nullptr, nullptr, "9", kXft144, 1.5f },
        ScaleCase { "Xft", nullptr, 0, nullptr, nullptr, nullptr, kXft144, 1.5f },
        ScaleCase { "XftMissing", nullptr, 0, nullptr, nullptr, nullptr, "Xft.hinting:\t1\n", 1 },
        ScaleCase { "XftNotANumber", nullptr, 0, nullptr, nullptr, nullptr, "Xft.dpi:\tbig\n", 1 },
        ScaleCase { "XftTooSmall", nullptr, 0, nullptr, nullptr, nullptr, "Xft.dpi: 72\n", 1 },
        ScaleCase { "XftLastLine", nullptr, 0, nullptr, nullptr, nullptr, "Xft.dpi:\t192", 2 },
        ScaleCase { "XftLookalike", nullptr, 0, nullptr, nullptr, nullptr, "Xft.dpix:\t192\n", 1 }),
    [](const testing::TestParamInfo<ScaleCase>& param) { return std::string(param.param.name); });

TEST(DisplayScaleTest, TheXResourcesAreReadOnlyWhenNothingElseAnswered)
{
    int reads = 0;
    ScaleSources sources;
    sources.qtScaleFactor = "2";
    sources.xResources = [&] {
        reads++;
        return std::string("Xft.dpi:\t144\n");
    };
    EXPECT_FLOAT_EQ(ChooseScale(sources), 2);
    EXPECT_EQ(reads, 0);
    sources.qtScaleFactor = nullptr;
    EXPECT_FLOAT_EQ(ChooseScale(sources), 1.5f);
    EXPECT_EQ(reads, 1);
}

TEST(DisplayScaleTest, PointsBecomeRoundedPixels)
{
    EXPECT_EQ(ScaledPixels(456, 1), 456);
    EXPECT_EQ(ScaledPixels(456, 2), 912);
    EXPECT_EQ(ScaledPixels(257, 1.5f), 386) << "halves round up";
    EXPECT_EQ(ScaledPixels(0, 2), 1) << "a store is never empty";
}

} // namespace
