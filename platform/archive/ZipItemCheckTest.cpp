// The link rule for items about to be archived is the extractor's own: what
// one refuses the other refuses, with the same words.

#include "ZipItemCheck.h"

#include "ZipExtractor.h"
#include "ZipWriter.h"

#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace BPrivate;

namespace {

namespace fs = std::filesystem;

struct LinkItemCase {
    const char* name;
    const char* link; // below the item folder "Top"; "" makes the item itself the link
    const char* target;
    const char* words; // of the refusal; nullptr when the item is fine
};

class ItemLinkTest : public testing::TestWithParam<LinkItemCase> { };

TEST_P(ItemLinkTest, BuildAndInstallAgree)
{
    std::string folder = brenvik::test::MakeTempFolder("itemlinks");
    std::string item = folder + "/Top";
    std::string link = GetParam().link;
    if (link.empty())
        fs::create_symlink(GetParam().target, item);
    else {
        fs::create_directories(item + "/sub");
        std::ofstream(item + "/sub/file") << "data";
        fs::create_symlink("b", item + "/a");
        fs::create_symlink(GetParam().target, item + "/" + link);
    }
    std::string problem;
    status_t checked = CheckItemLinks(item.c_str(), &problem);

    std::string archive = folder + "/item.zip";
    ZipWriter writer;
    ASSERT_EQ(writer.WriteArchive(item.c_str(), archive.c_str()), B_OK) << writer.ErrorText();
    std::string into = brenvik::test::MakeTempFolder("itemlinks-out");
    ZipExtractor extractor;
    status_t status;
    status_t extracted
        = extractor.Extract(OpenFileWindowSource(archive.c_str(), 0, -1, &status), into.c_str());

    if (GetParam().words == nullptr) {
        EXPECT_EQ(checked, B_OK) << problem;
        EXPECT_EQ(extracted, B_OK) << extractor.ErrorText();
        return;
    }
    EXPECT_EQ(checked, B_NOT_ALLOWED);
    EXPECT_EQ(extracted, B_NOT_ALLOWED);
    EXPECT_NE(problem.find(GetParam().words), std::string::npos) << problem;
    EXPECT_NE(extractor.ErrorText().find(GetParam().words), std::string::npos)
        << extractor.ErrorText();
}

INSTANTIATE_TEST_SUITE_P(Links, ItemLinkTest,
    testing::Values(LinkItemCase { "Inside", "b", "sub/file", nullptr },
        LinkItemCase { "SiblingOfTheItem", "b", "../Other", nullptr },
        LinkItemCase { "ItemLinkToRoot", "", "/", "an absolute path" },
        LinkItemCase { "AbsoluteInside", "b", "/etc/passwd", "an absolute path" },
        LinkItemCase { "ClimbingOut", "b", "../../x", "outside the destination" },
        LinkItemCase { "Loop", "b", "a", "into a loop of links" }),
    [](const testing::TestParamInfo<LinkItemCase>& test) { return test.param.name; });

} // namespace
