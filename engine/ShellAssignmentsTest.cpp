#include "ShellAssignments.h"

#include <gtest/gtest.h>

namespace {

struct TranslationCase {
    const char* name;
    std::string block;
    std::string environmentD; // "" when environment.d cannot say it
    std::string fish;
};

class ShellAssignmentsTranslationTest : public testing::TestWithParam<TranslationCase> { };

TEST_P(ShellAssignmentsTranslationTest, TranslatesForEnvironmentDAndFish)
{
    const TranslationCase& test = GetParam();
    std::vector<ShellAssignments::Assignment> assignments;
    ASSERT_TRUE(ShellAssignments::Parse(test.block, &assignments));
    std::string lines;
    bool translated = ShellAssignments::ToEnvironmentD(assignments, &lines);
    EXPECT_EQ(translated, !test.environmentD.empty());
    if (translated) {
        EXPECT_EQ(lines, test.environmentD);
    }
    EXPECT_EQ(ShellAssignments::ToFish(assignments), test.fish);
}

INSTANTIATE_TEST_SUITE_P(Blocks, ShellAssignmentsTranslationTest,
    testing::Values(TranslationCase { "Plain", "FOO=bar", "FOO=\"bar\"\n", "set -gx FOO 'bar'\n" },
        TranslationCase { "ExportAndComments", "# the tool\n\nexport TOOL_HOME=/opt/t\n",
            "TOOL_HOME=\"/opt/t\"\n", "set -gx TOOL_HOME '/opt/t'\n" },
        TranslationCase { "PathWithReferences", "PATH=\"$PATH:${HOME}/x y\"\nexport PATH",
            "PATH=\"${PATH}:${HOME}/x y\"\n", "set -gx PATH \"$PATH\"':'\"$HOME\"'/x y'\n" },
        TranslationCase { "SingleQuotedLiteral", "A='a b'c", "A=\"a bc\"\n", "set -gx A 'a bc'\n" },
        TranslationCase { "Empty", "E=", "E=\"\"\n", "set -gx E ''\n" },
        TranslationCase { "LiteralDollarOnlyForFish", "P='$5 off'", "", "set -gx P '$5 off'\n" },
        TranslationCase { "FishQuotesEscaped", "Q=\"it's\"", "", "set -gx Q 'it\\'s'\n" }),
    [](const testing::TestParamInfo<TranslationCase>& param) {
        return std::string(param.param.name);
    });

class ShellAssignmentsCodeTest : public testing::TestWithParam<const char*> { };

TEST_P(ShellAssignmentsCodeTest, ShellCodeIsNotTakenForAssignments)
{
    std::vector<ShellAssignments::Assignment> assignments;
    EXPECT_FALSE(ShellAssignments::Parse(GetParam(), &assignments));
    EXPECT_TRUE(assignments.empty());
}

INSTANTIATE_TEST_SUITE_P(Blocks, ShellAssignmentsCodeTest,
    testing::Values("echo hi", "X=1 Y=2", "X=1; rm -rf /", "X=$(date)", "X=`date`", "X=~/bin",
        "X=\"a\\\"b\"", "X=1 # note", "X=${Y:-z}", "X=$1", "X=\"open", "1X=2", "X=a*b", "export",
        "X=1 cmd", "if true; then X=1; fi"));

} // namespace
