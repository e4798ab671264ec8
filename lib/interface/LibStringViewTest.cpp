#include "LibStringView.h"

#include "LibInterfaceTestSupport.h"

#include <InterfaceDefs.h>

#include <gtest/gtest.h>

#include <string>

using namespace brenvik::test;

namespace {

// Whether the text is whole UTF-8: no character is cut.
bool IsWholeUtf8(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1
            : (lead >> 5) == 6      ? 2
            : (lead >> 4) == 14     ? 3
            : (lead >> 3) == 30     ? 4
                                    : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; k++) {
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2)
                return false;
        }
        i += length;
    }
    return true;
}

struct TruncateCase {
    const char* name;
    const char* path;
    bool fits;
};

std::ostream& operator<<(std::ostream& stream, const TruncateCase& truncate)
{
    return stream << truncate.name;
}

class LibStringViewTruncateTest : public testing::TestWithParam<TruncateCase> { };

} // namespace

TEST_P(LibStringViewTruncateTest, ShowsThePathOrItsEnd)
{
    const TruncateCase& truncate = GetParam();
    ScopedWindow<RecordingWindow> window(BRect(50, 50, 349, 99));
    LibStringView* view = new LibStringView(BRect(10, 10, 250, 25), "destination", "");
    Panel(window.Get())->AddChild(view);
    ASSERT_TRUE(window.ShowAndSettle());
    WithLock(window.Get(), [&] {
        view->SetTruncatedText(truncate.path);
        std::string shown = view->Text();
        std::string path = truncate.path;
        if (truncate.fits) {
            EXPECT_EQ(shown, path);
            return;
        }
        const std::string ellipsis = B_UTF8_ELLIPSIS;
        ASSERT_EQ(shown.compare(0, ellipsis.size(), ellipsis), 0) << shown;
        std::string end = shown.substr(ellipsis.size());
        EXPECT_FALSE(end.empty());
        EXPECT_EQ(path.compare(path.size() - end.size(), end.size(), end), 0) << shown;
        EXPECT_TRUE(IsWholeUtf8(shown)) << shown;
        EXPECT_LE(view->StringWidth(shown.c_str()), 240);
    });
}

INSTANTIATE_TEST_SUITE_P(Paths, LibStringViewTruncateTest,
    testing::Values(TruncateCase { "short", "/home/anna/Applications", true },
        TruncateCase { "empty", "", true },
        TruncateCase { "long",
            "/home/anna/Applications/Graphics/Illustration/Sketchbook 2.1/Extras/Brushes", false },
        TruncateCase { "multibyte",
            "/home/jörg/Anwendungen/Grafik/Übersetzungen/日本語のファイル/Größenänderung", false }),
    [](const testing::TestParamInfo<TruncateCase>& param) {
        return std::string(param.param.name);
    });

TEST(LibStringViewTest, ShowAndHideNeverNest)
{
    LibStringView view(BRect(0, 0, 100, 15), "text", "text");
    view.Hide();
    view.Hide();
    EXPECT_TRUE(view.IsHidden(&view));
    view.Show();
    EXPECT_FALSE(view.IsHidden(&view));
    view.Show();
    view.Hide();
    EXPECT_TRUE(view.IsHidden(&view));
}
