#include "LibRect.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase {
    const char* name;
    Edge referenceEdge;
    Edge ownEdge;
    BRect expected;
};

std::ostream& operator<<(std::ostream& stream, const LayoutCase& layout)
{
    return stream << layout.name;
}

class LibLayoutRectTest : public testing::TestWithParam<LayoutCase> { };

// The reference runs from (10, 20) to (110, 70); the new rectangle is 40 wide
// and 15 high, 5 pixels away.
const BRect kReference(10, 20, 110, 70);

} // namespace

TEST(LibRectTest, SpansFromThePositionByTheSize)
{
    EXPECT_EQ(LibRect(10, 33, 70, 107), BRect(10, 33, 80, 140));
    EXPECT_EQ(LibRect(0, 0, 0, 0), BRect(0, 0, 0, 0));
    EXPECT_EQ(LibRect(-5, -5, 2.5f, 1), BRect(-5, -5, -2.5f, -4));
}

TEST_P(LibLayoutRectTest, PlacesTheRectangleAgainstTheEdge)
{
    const LayoutCase& layout = GetParam();
    EXPECT_EQ(LibLayoutRect(kReference, layout.referenceEdge, layout.ownEdge, 5, 40, 15),
        layout.expected);
}

INSTANTIATE_TEST_SUITE_P(Pairings, LibLayoutRectTest,
    testing::Values(LayoutCase { "below_by_top", kEdgeBottom, kEdgeTop, BRect(10, 75, 50, 90) },
        LayoutCase { "bottom_at_bottom", kEdgeBottom, kEdgeBottom, BRect(10, 60, 50, 75) },
        LayoutCase { "top_at_top", kEdgeTop, kEdgeTop, BRect(10, 25, 50, 40) },
        LayoutCase { "above_by_bottom", kEdgeTop, kEdgeBottom, BRect(10, 10, 50, 25) },
        LayoutCase { "right_by_left", kEdgeRight, kEdgeLeft, BRect(115, 20, 155, 35) },
        LayoutCase { "right_at_right", kEdgeRight, kEdgeRight, BRect(75, 20, 115, 35) },
        LayoutCase { "left_at_left", kEdgeLeft, kEdgeLeft, BRect(15, 20, 55, 35) },
        LayoutCase { "left_by_right", kEdgeLeft, kEdgeRight, BRect(-25, 20, 15, 35) },
        // A vertical edge against a horizontal one has no meaning.
        LayoutCase { "bottom_against_left", kEdgeBottom, kEdgeLeft, BRect(0, 0, 40, 15) },
        LayoutCase { "right_against_top", kEdgeRight, kEdgeTop, BRect(0, 0, 40, 15) },
        LayoutCase { "unknown_edge", Edge(7), kEdgeTop, BRect(0, 0, 40, 15) }),
    [](const testing::TestParamInfo<LayoutCase>& param) { return std::string(param.param.name); });
