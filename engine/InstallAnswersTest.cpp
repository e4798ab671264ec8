#include "InstallAnswers.h"

#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(InstallAnswersTest, ReadsEveryKeyWithSpacesAndComments)
{
    InstallAnswers answers;
    InstallAnswers::Problem problem = InstallAnswers::Parse("# fleet answers\n"
                                                            "\n"
                                                            "  license =  accept \n"
                                                            "file = Notes.app\r\n"
                                                            "file=ReadMe.txt\n"
                                                            "destination = /opt/apps\n"
                                                            "collisions = rename\n"
                                                            "launch = yes\n"
                                                            "language = de\n",
        &answers);
    ASSERT_TRUE(problem.empty()) << problem.key << " " << problem.line;
    EXPECT_TRUE(answers.licenseAccepted);
    EXPECT_EQ(answers.files, (std::vector<std::string> { "Notes.app", "ReadMe.txt" }));
    EXPECT_EQ(answers.destination, "/opt/apps");
    EXPECT_EQ(answers.collisions, InstallAnswers::kCollisionRename);
    EXPECT_TRUE(answers.launch);
    EXPECT_EQ(answers.language, "de");
}

TEST(InstallAnswersTest, TextReadsBackAsTheSameAnswers)
{
    InstallAnswers written;
    written.licenseAccepted = true;
    written.installType = "Typical";
    written.destination = "/home/user/apps with space";
    written.collisions = InstallAnswers::kCollisionFail;
    written.language = "pt";
    InstallAnswers read;
    ASSERT_TRUE(InstallAnswers::Parse(written.Text(), &read).empty()) << written.Text();
    EXPECT_EQ(read.Text(), written.Text());
    EXPECT_EQ(read.destination, written.destination);
}

struct WrongFile {
    const char* name;
    const char* text;
    const char* key;
    int line;
    int32 problem;
};

class InstallAnswersWrongFileTest : public testing::TestWithParam<WrongFile> { };

TEST_P(InstallAnswersWrongFileTest, NamesTheKeyTheLineAndWhatIsWrong)
{
    InstallAnswers answers;
    InstallAnswers::Problem problem = InstallAnswers::Parse(GetParam().text, &answers);
    EXPECT_EQ(problem.key, GetParam().key);
    EXPECT_EQ(problem.line, GetParam().line);
    EXPECT_EQ(problem.text, GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(Table, InstallAnswersWrongFileTest,
    testing::Values(WrongFile { "UnknownKey", "license = accept\nlicence = accept\n", "licence", 2,
                        TextId::kAnswerUnknownKey },
        WrongFile { "Repeated", "destination = /a\ndestination = /b\n", "destination", 2,
            TextId::kAnswerRepeated },
        WrongFile { "NoValue", "\nlaunch =\n", "launch", 2, TextId::kAnswerNoValue },
        WrongFile {
            "NoEquals", "license accept\n", "license accept", 1, TextId::kAnswerNotKeyValue },
        WrongFile { "RelativeDestination", "destination = opt\n", "destination", 1,
            TextId::kAnswerNotAbsolute },
        WrongFile {
            "Collisions", "collisions = overwrite\n", "collisions", 1, TextId::kAnswerBadValue },
        WrongFile { "Language", "language = xx\n", "language", 1, TextId::kAnswerBadValue },
        WrongFile { "License", "license = yes\n", "license", 1, TextId::kAnswerBadValue },
        WrongFile { "TypeAndFiles", "install_type = Typical\nfile = a\n", "install_type", 0,
            TextId::kAnswerTypeAndFiles }),
    [](const testing::TestParamInfo<WrongFile>& param) { return std::string(param.param.name); });

TEST(InstallAnswersTest, WritingReplacesTheFileAndNeverFollowsALink)
{
    std::string folder = brenvik::test::MakeTempFolder("answers");
    std::string target = folder + "/elsewhere";
    std::ofstream(target) << "keep me\n";
    std::string path = folder + "/answers.txt";
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
    InstallAnswers answers;
    answers.licenseAccepted = true;
    ASSERT_EQ(answers.Write(path), B_OK);

    struct stat info;
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    std::ifstream kept(target);
    std::string line;
    std::getline(kept, line);
    EXPECT_EQ(line, "keep me");
    InstallAnswers read;
    EXPECT_TRUE(InstallAnswers::Read(path, &read).empty());
    EXPECT_TRUE(read.licenseAccepted);
}

TEST(InstallAnswersTest, AFolderOrAMissingFileIsUnreadable)
{
    std::string folder = brenvik::test::MakeTempFolder("answers");
    InstallAnswers answers;
    EXPECT_EQ(InstallAnswers::Read(folder, &answers).text, TextId::kAnswerUnreadable);
    EXPECT_EQ(InstallAnswers::Read(folder + "/none", &answers).text, TextId::kAnswerUnreadable);
}

} // namespace
