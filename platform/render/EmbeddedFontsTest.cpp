// The fonts built into the programs are, byte for byte, the files the build
// took them from (the files the golden images were drawn with).

#include <EmbeddedFonts.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

class EmbeddedFontsTest : public testing::TestWithParam<const char*> { };

TEST_P(EmbeddedFontsTest, IsTheFileTheBuildTookItFrom)
{
    std::string path = std::string("/usr/share/fonts/truetype/liberation2/") + GetParam();
    std::span<const uint8> built = BPrivate::EmbeddedFontFile(GetParam());
    ASSERT_FALSE(built.empty()) << GetParam();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        GTEST_SKIP() << path << " is not on this machine";
    std::vector<uint8> expected((std::istreambuf_iterator<char>(file)), {});
    EXPECT_TRUE(std::equal(built.begin(), built.end(), expected.begin(), expected.end()));
    // Inflated once: a second call gives the same bytes.
    EXPECT_EQ(BPrivate::EmbeddedFontFile(GetParam()).data(), built.data());
}

INSTANTIATE_TEST_SUITE_P(Faces, EmbeddedFontsTest,
    testing::Values(
        "LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationMono-Regular.ttf"),
    [](const testing::TestParamInfo<const char*>& param) {
        std::string name = param.param;
        name = name.substr(0, name.find('.'));
        name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
        return name;
    });

TEST(EmbeddedFontsLookupTest, AFaceThatIsNotBuiltInIsEmpty)
{
    EXPECT_TRUE(BPrivate::EmbeddedFontFile("LiberationSerif-Regular.ttf").empty());
    EXPECT_TRUE(BPrivate::EmbeddedFontFile("").empty());
}

} // namespace
