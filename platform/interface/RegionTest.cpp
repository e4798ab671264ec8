#include <Font.h>
#include <Region.h>

#include <gtest/gtest.h>

#include <functional>

namespace {

BRegion TwoRects()
{
    BRegion region(BRect(0, 0, 9, 9));
    region.Include(BRect(20, 20, 29, 29));
    return region;
}

// Copies share their pixels until one of them changes: each change must leave
// the other copy as it was, whatever the change.
struct RegionChange {
    const char* name;
    std::function<void(BRegion&)> apply;
};

class RegionCopyTest : public testing::TestWithParam<RegionChange> { };

TEST_P(RegionCopyTest, ChangingACopyLeavesTheOriginal)
{
    BRegion original = TwoRects();
    BRegion copy(original);
    BRegion assigned;
    assigned = original;
    ASSERT_TRUE(copy == original);

    GetParam().apply(copy);
    GetParam().apply(assigned);

    EXPECT_FALSE(copy == original);
    EXPECT_TRUE(copy == assigned);
    EXPECT_TRUE(original == TwoRects());
    EXPECT_EQ(original.CountRects(), 2);
    EXPECT_EQ(original.Frame(), BRect(0, 0, 29, 29));
}

INSTANTIATE_TEST_SUITE_P(Changes, RegionCopyTest,
    testing::Values(RegionChange { "Set", [](BRegion& r) { r.Set(BRect(5, 5, 6, 6)); } },
        RegionChange { "SetInt",
            [](BRegion& r) {
                r.Set(clipping_rect { 1, 1, 2, 2 });
            } },
        RegionChange { "Include", [](BRegion& r) { r.Include(BRect(40, 0, 49, 9)); } },
        RegionChange { "Exclude", [](BRegion& r) { r.Exclude(BRect(0, 0, 4, 4)); } },
        RegionChange { "OffsetBy", [](BRegion& r) { r.OffsetBy(3, 4); } },
        RegionChange { "MakeEmpty", [](BRegion& r) { r.MakeEmpty(); } },
        RegionChange { "IntersectWith",
            [](BRegion& r) {
                BRegion other(BRect(0, 0, 4, 4));
                r.IntersectWith(&other);
            } }),
    [](const testing::TestParamInfo<RegionChange>& change) { return change.param.name; });

TEST(RegionTest, EmptyRegionsAreEqualHoweverTheyBecameEmpty)
{
    BRegion fresh;
    BRegion emptied = TwoRects();
    emptied.MakeEmpty();
    BRegion excluded(BRect(0, 0, 9, 9));
    excluded.Exclude(BRect(0, 0, 9, 9));
    EXPECT_TRUE(fresh == emptied);
    EXPECT_TRUE(fresh == excluded);
    EXPECT_EQ(fresh.CountRects(), 0);
    EXPECT_FALSE(fresh.Frame().IsValid());
    EXPECT_EQ(fresh.RectAtInt(0), (clipping_rect { 0, 0, -1, -1 }));
    EXPECT_FALSE(fresh.Contains(0, 0));
}

TEST(RegionTest, ARegionCombinedWithACopyOfItselfOrItself)
{
    BRegion region = TwoRects();
    BRegion copy(region);
    region.Include(&copy);
    EXPECT_TRUE(region == TwoRects());
    region.Include(&region);
    EXPECT_TRUE(region == TwoRects());
    region.IntersectWith(&region);
    EXPECT_TRUE(region == TwoRects());
    copy.Exclude(&copy);
    EXPECT_EQ(copy.CountRects(), 0);
    EXPECT_TRUE(region == TwoRects());
}

TEST(FontTest, ChangingACopyLeavesTheOriginalAndTheSystemFonts)
{
    BFont plain;
    BFont copy(plain);
    copy.SetSize(31);
    copy.SetFace(B_BOLD_FACE);
    EXPECT_EQ(plain.Size(), be_plain_font->Size());
    EXPECT_TRUE(plain == *be_plain_font);
    EXPECT_FALSE(copy == plain);
    EXPECT_EQ(copy.Size(), 31);

    BFont assigned;
    assigned = copy;
    EXPECT_TRUE(assigned == copy);
    assigned.SetShear(60);
    EXPECT_EQ(copy.Shear(), 90);
    EXPECT_FALSE(assigned == copy);

    // Fonts made apart are equal when their properties are.
    BFont other;
    other.SetSize(31);
    other.SetFace(B_BOLD_FACE);
    EXPECT_TRUE(other == copy);
    other.SetFalseBoldWidth(1);
    EXPECT_TRUE(other != copy);

    BFont fromNull(static_cast<const BFont*>(nullptr));
    EXPECT_TRUE(fromNull == *be_plain_font);
    BFont fromBold(be_bold_font);
    EXPECT_TRUE(fromBold == *be_bold_font);
}

} // namespace
