#include <ClipRegion.h>

#include <gtest/gtest.h>

using namespace BPrivate;

namespace {

bool Disjoint(const ClipRegion& region)
{
    const std::vector<clipping_rect>& rects = region.Rects();
    for (size_t i = 0; i < rects.size(); i++) {
        for (size_t j = i + 1; j < rects.size(); j++) {
            ClipRegion a(rects[i]);
            if (a.Intersects(rects[j]))
                return false;
        }
    }
    return true;
}

TEST(ClipRegionTest, IncludingOverlappingRectanglesCountsEachPixelOnce)
{
    ClipRegion region(clipping_rect { 0, 0, 9, 9 });
    region.Include(clipping_rect { 5, 5, 14, 14 });
    EXPECT_EQ(region.Area(), 100 + 100 - 25);
    EXPECT_TRUE(Disjoint(region));
    EXPECT_TRUE(region.Contains(12, 12));
    EXPECT_FALSE(region.Contains(12, 2));
    clipping_rect frame = region.Frame();
    EXPECT_EQ(frame, (clipping_rect { 0, 0, 14, 14 }));
}

TEST(ClipRegionTest, ExcludingCutsHoles)
{
    ClipRegion region(clipping_rect { 0, 0, 9, 9 });
    region.Exclude(clipping_rect { 3, 3, 6, 6 });
    EXPECT_EQ(region.Area(), 100 - 16);
    EXPECT_FALSE(region.Contains(4, 4));
    EXPECT_TRUE(region.Contains(2, 4));
    EXPECT_TRUE(Disjoint(region));
}

TEST(ClipRegionTest, IntersectionKeepsCommonPixels)
{
    ClipRegion a(clipping_rect { 0, 0, 9, 9 });
    a.Include(clipping_rect { 20, 0, 29, 9 });
    ClipRegion b(clipping_rect { 5, 5, 24, 14 });
    a.IntersectWith(b);
    EXPECT_EQ(a.Area(), 25 + 25);
    a.IntersectWith(clipping_rect { 0, 0, 6, 6 });
    EXPECT_EQ(a.Area(), 4);
}

TEST(ClipRegionTest, EqualityComparesPixelsNotRectangles)
{
    ClipRegion whole(clipping_rect { 0, 0, 9, 1 });
    ClipRegion halves(clipping_rect { 0, 0, 4, 1 });
    halves.Include(clipping_rect { 5, 0, 9, 1 });
    EXPECT_TRUE(whole == halves);
    halves.OffsetBy(1, 0);
    EXPECT_FALSE(whole == halves);
}

TEST(ClipRegionTest, FloatRectanglesRoundToPixels)
{
    ClipRegion region(BRect(0.4f, 0.6f, 3.5f, 2.2f));
    EXPECT_EQ(region.Frame(), (clipping_rect { 0, 1, 4, 2 }));
    EXPECT_TRUE(ClipRegion(BRect(5, 5, 4, 4)).IsEmpty());
}

} // namespace
