#include "LinkList.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LibString.h"

namespace {

// An item that counts its live instances, to prove the list deletes what it owns.
class Counted {
public:
    explicit Counted(int value)
        : fValue(value)
    {
        sLive++;
    }
    Counted(const Counted& other)
        : fValue(other.fValue)
    {
        sLive++;
    }
    virtual ~Counted() { sLive--; }

    bool operator==(const Counted& other) const { return fValue == other.fValue; }
    bool operator>(const Counted& other) const { return fValue > other.fValue; }

    int Value() const { return fValue; }

    static int sLive;

private:
    int fValue;
};

int Counted::sLive = 0;

std::string Str(const LibString* string)
{
    if (string == nullptr)
        return "<none>";
    const char* text = *string;
    return text;
}

LinkList<LibString>* MakeList(std::initializer_list<const char*> texts)
{
    auto* list = new LinkList<LibString>;
    for (const char* text : texts)
        list->Insert(new LibString(text));
    return list;
}

std::vector<std::string> Texts(LinkList<LibString>& list)
{
    std::vector<std::string> texts;
    for (LibString* item = list.First(); item != nullptr; item = list.Next())
        texts.push_back(Str(item));
    return texts;
}

using Texts_t = std::vector<std::string>;

} // namespace

TEST(LinkListTest, InsertAppendsWithoutMovingTheCursor)
{
    LinkList<LibString> list;
    EXPECT_EQ(list.Position(nullptr), -1);
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.Position(nullptr), -1);
    EXPECT_TRUE(list.Insert(new LibString("a")));
    EXPECT_TRUE(list.Insert(new LibString("b")));
    EXPECT_FALSE(list.Insert(nullptr));
    EXPECT_EQ(list.Size(), 2);
    EXPECT_EQ(Str(list.First()), "a");
    list.Insert(new LibString("c"));
    EXPECT_EQ(list.Position(nullptr), 0);
    EXPECT_EQ(Texts(list), (Texts_t { "a", "b", "c" }));
}

TEST(LinkListTest, NextRunsOffTheEndAndNeedsACursor)
{
    std::unique_ptr<LinkList<LibString>> list(MakeList({ "a", "b" }));
    EXPECT_EQ(list->Next(), nullptr); // no cursor yet
    list->First();
    EXPECT_EQ(Str(list->Next()), "b");
    EXPECT_EQ(list->Position(nullptr), 1);
    EXPECT_EQ(list->Next(), nullptr);
    EXPECT_EQ(list->Position(nullptr), -1);
    EXPECT_EQ(list->Next(), nullptr);
    EXPECT_FALSE(list->Remove());
}

TEST(LinkListTest, RemoveStepsTheCursorBack)
{
    std::unique_ptr<LinkList<LibString>> list(MakeList({ "Alpha", "Beta", "Gamma" }));
    list->First();
    list->Next();
    EXPECT_TRUE(list->Remove()); // Beta
    EXPECT_EQ(list->Position(nullptr), 0);
    EXPECT_EQ(Str(list->Next()), "Gamma");
    EXPECT_EQ(Texts(*list), (Texts_t { "Alpha", "Gamma" }));
}

TEST(LinkListTest, RemovingTheFirstItemLeavesTheCursorOnTheNewFirst)
{
    std::unique_ptr<LinkList<LibString>> list(MakeList({ "Alpha", "Beta", "Gamma" }));
    list->First();
    EXPECT_TRUE(list->Remove()); // Alpha
    EXPECT_EQ(list->Position(nullptr), 0);
    EXPECT_EQ(Str(list->Next()), "Gamma");
}

TEST(LinkListTest, RemovingTheLastItemLeavesNoCursor)
{
    std::unique_ptr<LinkList<LibString>> list(MakeList({ "only" }));
    list->First();
    EXPECT_TRUE(list->Remove());
    EXPECT_EQ(list->Size(), 0);
    EXPECT_EQ(list->Position(nullptr), -1);
    EXPECT_FALSE(list->Remove());
    EXPECT_EQ(list->First(), nullptr);
}

TEST(LinkListTest, TheListDeletesWhatItOwns)
{
    Counted::sLive = 0;
    {
        LinkList<Counted> list;
        for (int i = 0; i < 5; i++)
            list.Insert(new Counted(i));
        list.Position(2L);
        list.Remove();
        EXPECT_EQ(Counted::sLive, 4);
        LinkList<Counted> copy;
        copy = list;
        EXPECT_EQ(Counted::sLive, 8);
        copy.Clear();
        EXPECT_EQ(copy.Size(), 0);
        EXPECT_EQ(Counted::sLive, 4);
    }
    EXPECT_EQ(Counted::sLive, 0);
}

TEST(LinkListTest, InsertListCopiesItemsAndEndsTheOtherWalk)
{
    std::unique_ptr<LinkList<LibString>> source(MakeList({ "a", "b" }));
    std::unique_ptr<LinkList<LibString>> target(MakeList({ "x" }));
    target->Insert(*source);
    EXPECT_EQ(source->Position(nullptr), -1);
    EXPECT_EQ(Texts(*target), (Texts_t { "x", "a", "b" }));
    EXPECT_NE(target->Get(1), source->Get(0));

    EXPECT_EQ(target->Copy(*source), 2);
    EXPECT_EQ(Texts(*target), (Texts_t { "a", "b" }));
    EXPECT_EQ(target->Copy(*target), 2);
    *target = *target;
    EXPECT_EQ(Texts(*target), (Texts_t { "a", "b" }));
    target->Insert(*target);
    EXPECT_EQ(Texts(*target), (Texts_t { "a", "b", "a", "b" }));
}

TEST(LinkListTest, CopyConstructionCopiesTheItems)
{
    std::unique_ptr<LinkList<LibString>> source(MakeList({ "a", "b" }));
    LinkList<LibString> copy(*source);
    source->Clear();
    EXPECT_EQ(Texts(copy), (Texts_t { "a", "b" }));
}

struct PositionCase {
    long start; // cursor position before the call, -1 for none
    long index;
    const char* expected;
};

class LinkListPositionTest : public testing::TestWithParam<PositionCase> { };

TEST_P(LinkListPositionTest, FindsTheItemFromAnyStart)
{
    std::unique_ptr<LinkList<LibString>> list(MakeList({ "0", "1", "2", "3", "4", "5", "6" }));
    if (GetParam().start >= 0)
        list->Position(GetParam().start);
    ListNode<LibString>* node = list->Position(GetParam().index);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(Str(node->Item()), GetParam().expected);
    EXPECT_EQ(list->Position(nullptr), GetParam().index);
    std::string following = GetParam().index == 6 ? "<none>" : std::to_string(GetParam().index + 1);
    EXPECT_EQ(Str(list->Next()), following);
}

INSTANTIATE_TEST_SUITE_P(Walks, LinkListPositionTest,
    testing::Values(PositionCase { -1, 0, "0" }, PositionCase { -1, 2, "2" },
        PositionCase { -1, 5, "5" }, PositionCase { -1, 6, "6" }, PositionCase { 4, 5, "5" },
        PositionCase { 4, 3, "3" }, PositionCase { 6, 1, "1" }, PositionCase { 1, 6, "6" },
        PositionCase { 3, 3, "3" }));

TEST(LinkListTest, PositionOutsideTheListIsNull)
{
    std::unique_ptr<LinkList<LibString>> list(MakeList({ "a", "b", "c" }));
    EXPECT_EQ(Str(list->Position(2)->Item()), "c");
    EXPECT_EQ(list->Position(3), nullptr);
    EXPECT_EQ(list->Position(-1), nullptr);
    EXPECT_EQ(list->Position(nullptr), 2);
    LinkList<LibString> empty;
    EXPECT_EQ(empty.Position(0), nullptr);
    EXPECT_EQ(list->Get(5), nullptr);
    EXPECT_EQ(Str(list->Get(0)), "a");
}

TEST(LinkListTest, SearchesCompareWithTheItemEquality)
{
    std::unique_ptr<LinkList<LibString>> list(MakeList({ "a", "b", "c", "b" }));
    LibString b("b");
    EXPECT_TRUE(list->InList(&b));
    EXPECT_EQ(list->Position(nullptr), 1);
    LibString* own = list->Get(&b);
    EXPECT_NE(own, &b);
    EXPECT_EQ(Str(own), "b");
    EXPECT_EQ(list->Position(&b), 1);

    // FindNext starts at the cursor's item, included.
    list->Position(2L);
    ListNode<LibString>* node = list->FindNext(&b);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(list->Position(nullptr), 3);

    LibString missing("z");
    EXPECT_FALSE(list->InList(&missing));
    EXPECT_EQ(list->Position(nullptr), -1);
    EXPECT_EQ(list->Position(&missing), -1);
    EXPECT_EQ(list->Get(&missing), nullptr);
    LibString upper("B");
    EXPECT_FALSE(list->InList(&upper));
}

TEST(LinkListTest, SortCompareUsesTheItemOrder)
{
    LinkList<LibString> list;
    LibString a("a");
    LibString b("b");
    EXPECT_TRUE(list.SortCompare(&b, &a));
    EXPECT_FALSE(list.SortCompare(&a, &b));
    EXPECT_FALSE(list.SortCompare(&a, &a));
}

TEST(LinkListTest, RemoveItemTakesTheFirstOrEveryEqualItem)
{
    std::unique_ptr<LinkList<LibString>> list(MakeList({ "x", "a", "x", "x", "b", "x" }));
    LibString x("x");
    EXPECT_TRUE(list->Remove(&x, false));
    EXPECT_EQ(Texts(*list), (Texts_t { "a", "x", "x", "b", "x" }));
    EXPECT_TRUE(list->Remove(&x, true));
    EXPECT_EQ(Texts(*list), (Texts_t { "a", "b" }));
    EXPECT_FALSE(list->Remove(&x, true));
    EXPECT_FALSE(list->Remove(&x, false));
    EXPECT_FALSE(list->Remove(nullptr, true));
}

TEST(LinkListTest, RemoveItemAcceptsTheListsOwnItem)
{
    std::unique_ptr<LinkList<LibString>> list(MakeList({ "x", "x", "y" }));
    EXPECT_TRUE(list->Remove(list->Get(0), true));
    EXPECT_EQ(Texts(*list), (Texts_t { "y" }));
}
