#include "GroupContext.h"
#include "GroupContextList.h"

#include <string>
#include <vector>

#include <Message.h>
#include <gtest/gtest.h>

namespace {

struct Group {
    std::string name;
    int32 uid;
    std::string description;

    bool operator==(const Group& other) const = default;
};

std::ostream& operator<<(std::ostream& stream, const Group& group)
{
    return stream << group.uid << ":" << group.name << "(" << group.description << ")";
}

std::vector<Group> Groups(GroupContextList& list)
{
    std::vector<Group> groups;
    for (GroupContext* group = list.First(); group != nullptr; group = list.Next()) {
        groups.push_back({ static_cast<const char*>(group->Name()), group->Uid(),
            static_cast<const char*>(group->Description()) });
    }
    return groups;
}

using Groups_t = std::vector<Group>;

BMessage GroupsMessage()
{
    BMessage message;
    message.AddString("group_name", "Typical");
    message.AddString("group_description", "Everything you need");
    message.AddString("group_name", "Sounds");
    message.AddString("group_description", "Sound files");
    return message;
}

} // namespace

TEST(GroupContextTest, EqualityGoesByNameAndAssignmentCopiesAll)
{
    GroupContext a("Typical");
    a.SetUid(3);
    a.SetDescription("desc");
    GroupContext b("Typical");
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == GroupContext("typical"));
    EXPECT_TRUE(GroupContext("b") > GroupContext("a"));

    GroupContext copy;
    copy = a;
    EXPECT_EQ(copy.Uid(), 3);
    EXPECT_STREQ(static_cast<const char*>(copy.Description()), "desc");
    EXPECT_EQ(GroupContext().Uid(), -1);
}

TEST(GroupContextTest, PrintToStreamLine)
{
    GroupContext group("Typical");
    group.SetUid(2);
    group.SetDescription("All");
    testing::internal::CaptureStderr();
    group.PrintToStream();
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(), "GroupContext: 2) name Typical, desc (All)\n");
}

TEST(GroupContextListTest, ReadNumbersTheGroupsInOrder)
{
    GroupContextList list;
    list.Read(GroupsMessage());
    EXPECT_EQ(Groups(list),
        (Groups_t { { "Typical", 0, "Everything you need" }, { "Sounds", 1, "Sound files" } }));
}

TEST(GroupContextListTest, AMissingDescriptionIsEmpty)
{
    BMessage message;
    message.AddString("group_name", "One");
    message.AddString("group_name", "Two");
    message.AddString("group_description", "first");
    GroupContextList list;
    list.Read(message);
    EXPECT_EQ(Groups(list), (Groups_t { { "One", 0, "first" }, { "Two", 1, "" } }));
}

TEST(GroupContextListTest, ReadingTwiceKeepsOneCopy)
{
    GroupContextList list;
    list.Read(GroupsMessage());
    list.Read(GroupsMessage());
    EXPECT_EQ(list.Size(), 2);
    EXPECT_EQ(Groups(list)[0].uid, 0);
    EXPECT_EQ(Groups(list)[1].uid, 1);

    list.Read(BMessage());
    EXPECT_EQ(list.Size(), 0);
}

TEST(GroupContextListTest, WriteRoundTrips)
{
    GroupContextList list;
    list.Read(GroupsMessage());
    BMessage message;
    list.Write(message);
    GroupContextList again;
    again.Read(message);
    EXPECT_EQ(Groups(again), Groups(list));
    EXPECT_FALSE(message.HasString("group_name", 2));
}

TEST(GroupContextListTest, AddIgnoresAKnownName)
{
    GroupContextList list;
    list.Read(GroupsMessage());
    list.Add("Typical");
    EXPECT_EQ(list.Size(), 2);
    list.Add("Extras");
    EXPECT_EQ(Groups(list).back(), (Group { "Extras", 2, "" }));
    EXPECT_TRUE(list.HasGroup("Extras"));
    EXPECT_FALSE(list.HasGroup("extras"));
    list.Add(nullptr);
    EXPECT_EQ(list.Size(), 3);
}

TEST(GroupContextListTest, FindAndRemoveByUid)
{
    GroupContextList list;
    list.Read(GroupsMessage());
    list.Add("Extras");
    GroupContext* sounds = list.FindContext(1);
    ASSERT_NE(sounds, nullptr);
    EXPECT_STREQ(static_cast<const char*>(sounds->Name()), "Sounds");
    EXPECT_EQ(list.FindContext(7), nullptr);
    list.RemoveContext(7);
    EXPECT_EQ(list.Size(), 3);
    list.RemoveContext(1);
    EXPECT_EQ(
        Groups(list), (Groups_t { { "Typical", 0, "Everything you need" }, { "Extras", 2, "" } }));
}

struct NextUidCase {
    std::vector<int32> uids;
    long expected;
};

class GroupContextListNextUidTest : public testing::TestWithParam<NextUidCase> { };

TEST_P(GroupContextListNextUidTest, ReusesTheLastPositionOutOfStep)
{
    GroupContextList list;
    int index = 0;
    for (int32 uid : GetParam().uids) {
        auto* group = new GroupContext(std::to_string(index++).c_str());
        group->SetUid(uid);
        list.Insert(group);
    }
    EXPECT_EQ(list.NextUid(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Lists, GroupContextListNextUidTest,
    testing::Values(NextUidCase { {}, 0 }, NextUidCase { { 0, 1, 2 }, 3 },
        NextUidCase { { 0, 2 }, 1 }, NextUidCase { { 1, 2, 3 }, 0 }, NextUidCase { { 0, 2, 3 }, 1 },
        NextUidCase { { 5 }, 0 }));

TEST(GroupContextListTest, AddAfterARemovalReusesTheGap)
{
    GroupContextList list;
    list.Add("a");
    list.Add("b");
    list.Add("c");
    list.RemoveContext(1);
    list.Add("d");
    EXPECT_EQ(Groups(list).back(), (Group { "d", 1, "" }));
}

TEST(GroupContextListTest, NextUidNeverRepeatsAUidInUse)
{
    GroupContextList list;
    for (const char* name : { "a", "b", "c", "d" })
        list.Add(name);
    list.RemoveContext(1);
    list.Add("e");
    list.Add("f");
    std::vector<int32> uids;
    for (const Group& group : Groups(list))
        uids.push_back(group.uid);
    EXPECT_EQ(uids, (std::vector<int32> { 0, 2, 3, 1, 4 }));
}
