// How long a full 640 × 480 window takes to draw: panel background, etched
// boxes, bevelled buttons, a list with selected rows, icons, a progress bar
// and some forty lines of text, as an installer window has them. A second
// benchmark adds presenting the window through SDL (with the "dummy" video
// driver, so it runs anywhere; on a desktop the copy costs about the same).

#include <DrawingContext.h>
#include <FontManager.h>
#include <SdlBackend.h>
#include <SystemPalette.h>

#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace BPrivate;

namespace {

PixelBuffer MakeIcon()
{
    PixelBuffer icon(16, 16, B_CMAP8);
    for (int32 y = 0; y < 16; y++) {
        for (int32 x = 0; x < 16; x++) {
            int32 dx = 2 * x - 15, dy = 2 * y - 15;
            icon.RowAt(y)[x]
                = dx * dx + dy * dy <= 15 * 15 ? uint8(33 + (x + y) % 8) : kTransparentIndex;
        }
    }
    return icon;
}

void DrawEtchedBox(DrawingContext& context, BRect frame, const char* label)
{
    context.SetHighColor(make_color(152, 152, 152));
    context.StrokeRect(frame);
    context.SetHighColor(make_color(255, 255, 255));
    context.StrokeRect(frame.OffsetByCopy(1, 1));
    context.SetFont(RenderFont::BoldFont());
    float width = context.State().font.StringWidth(label);
    context.SetHighColor(make_color(216, 216, 216));
    context.FillRect(BRect(frame.left + 8, frame.top - 6, frame.left + 12 + width, frame.top + 6));
    context.SetHighColor(make_color(0, 0, 0));
    context.DrawString(label, -1, BPoint(frame.left + 10, frame.top + 4));
}

void DrawButton(DrawingContext& context, BRect frame, const char* label, bool isDefault)
{
    if (isDefault) {
        context.SetHighColor(make_color(96, 96, 96));
        context.StrokeRoundRect(frame.InsetByCopy(-3, -3), 5, 5);
    }
    context.SetHighColor(make_color(240, 240, 240));
    context.FillRoundRect(frame, 4, 4);
    context.SetHighColor(make_color(128, 128, 128));
    context.StrokeRoundRect(frame, 4, 4);
    context.SetFont(RenderFont::PlainFont());
    context.SetHighColor(make_color(0, 0, 0));
    context.SetLowColor(make_color(240, 240, 240));
    float width = context.State().font.StringWidth(label);
    context.DrawString(label, -1, BPoint((frame.left + frame.right - width) / 2, frame.bottom - 7));
}

void DrawList(DrawingContext& context, BRect frame, const PixelBuffer& icon)
{
    context.SetHighColor(make_color(255, 255, 255));
    context.FillRect(frame);
    context.SetFont(RenderFont::PlainFont());
    for (int32 row = 0; row < 12; row++) {
        BRect item(
            frame.left + 1, frame.top + 1 + row * 18, frame.right - 1, frame.top + 18 + row * 18);
        bool selected = row % 4 == 1;
        context.SetHighColor(selected ? make_color(190, 190, 190) : make_color(255, 255, 255));
        context.FillRect(item);
        context.SetDrawingMode(B_OP_OVER);
        context.DrawBitmap(icon, BPoint(item.left + 2, item.top + 1));
        context.SetDrawingMode(B_OP_COPY);
        context.SetHighColor(make_color(0, 0, 0));
        context.SetLowColor(selected ? make_color(190, 190, 190) : make_color(255, 255, 255));
        context.DrawString("/boot/apps/Product/data/file-with-a-long-name.dat", -1,
            BPoint(item.left + 22, item.bottom - 5));
        context.DrawString("128 KB", -1, BPoint(item.right - 50, item.bottom - 5));
    }
    context.SetHighColor(make_color(152, 152, 152));
    context.StrokeRect(frame);
}

void DrawWindow(DrawingContext& context, const PixelBuffer& icon)
{
    context.ResetState();
    context.SetHighColor(make_color(216, 216, 216));
    context.FillRect(BRect(0, 0, 639, 479));
    context.SetLowColor(make_color(216, 216, 216));

    RenderFont banner = RenderFont::BoldFont();
    banner.SetSize(18);
    banner.SetRotation(90);
    context.SetFont(banner);
    context.SetHighColor(make_color(0, 0, 255));
    context.DrawString("Product Installer 1.0", -1, BPoint(30, 400));
    context.SetHighColor(make_color(0, 0, 0));
    context.StrokeLine(BPoint(635, 0), BPoint(635, 479));

    DrawEtchedBox(context, BRect(60, 16, 630, 180), "Licence");
    context.SetFont(RenderFont::PlainFont());
    for (int32 line = 0; line < 11; line++) {
        context.DrawString("Permission is granted to install and use this product on one machine.",
            -1, BPoint(72, 36 + line * 13));
    }
    DrawEtchedBox(context, BRect(60, 196, 630, 440), "Installation");
    DrawList(context, BRect(70, 210, 620, 464 - 30), icon);

    context.SetHighColor(make_color(152, 152, 152));
    context.StrokeRect(BRect(70, 446, 370, 458));
    context.SetHighColor(make_color(50, 150, 255));
    context.FillRect(BRect(71, 447, 250, 457));
    DrawButton(context, BRect(400, 445, 490, 470), "Install", true);
    DrawButton(context, BRect(510, 445, 600, 470), "Cancel", false);
    context.SetHighColor(make_color(0, 0, 0));
    context.FillEllipse(BRect(610, 450, 625, 465));
    context.Flush();
}

void BM_DrawFullWindow(benchmark::State& state)
{
    FontManager::Default();
    PixelBuffer icon = MakeIcon();
    RenderSurface surface(640, 480);
    for (auto _ : state) {
        DrawingContext context(&surface);
        DrawWindow(context, icon);
    }
    state.SetLabel("640x480, mixed primitives and text");
}
BENCHMARK(BM_DrawFullWindow)->Unit(benchmark::kMicrosecond);

void BM_DrawAndPresentWithSdl(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::unique_ptr<DisplayBackend> backend;
    if (SdlBackend::Create(true, &backend) != B_OK) {
        state.SkipWithError("SDL did not start");
        return;
    }
    DisplayWindowSpec spec;
    spec.frame = BRect(0, 0, 639, 479);
    auto window = backend->CreateWindow(spec);
    window->Show();
    PixelBuffer icon = MakeIcon();
    for (auto _ : state) {
        {
            std::lock_guard<BackingStore> lock(window->Store());
            DrawingContext context(window->Store().Surface());
            DrawWindow(context, icon);
        }
        window->PresentAll();
        backend->Sync();
    }
    state.SetLabel("draw, copy to SDL's window surface and present");
}
BENCHMARK(BM_DrawAndPresentWithSdl)->Unit(benchmark::kMicrosecond);

} // namespace
