#pragma once

// The scale factor of the program's windows: how many screen pixels one
// point of the platform's coordinates covers. Views, layouts and injected
// input stay in points; a window's backing store has (width × scale) ×
// (height × scale) pixels and its drawing contexts carry the factor, so text
// and lines are drawn at the screen's resolution.
//
// The factor is chosen once, when the display starts, from the first of:
//
// 1. BRENVIK_SCALE, a decimal number; values outside 1..4 are clamped to
//    that range, anything that is not a number is ignored;
// 2. the Wayland output's scale, as SDL reports it (SDL backend on Wayland);
// 3. GDK_SCALE × GDK_DPI_SCALE (either may be missing);
// 4. QT_SCALE_FACTOR;
// 5. Xft.dpi / 96 from the X server's resources (SDL backend on X11);
// 6. 1.
//
// A desktop value that is not a number or lies outside 1..4 is passed over.
// The headless backend reads BRENVIK_SCALE only, so that tests do not
// depend on the desktop they run on.

#include <SupportDefs.h>

#include <functional>
#include <string>

namespace BPrivate {

constexpr float kMinDisplayScale = 1;
constexpr float kMaxDisplayScale = 4;

// A finite decimal number, the whole text ("2", "1.5"); false otherwise.
bool ParseScaleNumber(const char* text, float* number);

// Xft.dpi / 96 from the text of the X resources ("Xft.dpi:\t144\n..."); false
// when it is not there, not a number or not within 1..4.
bool XftScale(const std::string& resources, float* scale);

struct ScaleSources {
    const char* brenvikScale = nullptr;
    // The Wayland output's scale; 0 when not on Wayland or not known.
    float outputScale = 0;
    const char* gdkScale = nullptr;
    const char* gdkDpiScale = nullptr;
    const char* qtScaleFactor = nullptr;
    // Reads the X resources; only called when nothing before answered. Null
    // when not on X11.
    std::function<std::string()> xResources;
};

float ChooseScale(const ScaleSources& sources);

// The sources from the environment (the X resources and the output scale
// are the SDL backend's to add).
ScaleSources EnvironmentScaleSources();

// The headless backend's factor: BRENVIK_SCALE, else 1.
float HeadlessScale();

// The pixels `points` cover at `scale` (rounded, halves up; at least 1).
int32 ScaledPixels(int32 points, float scale);

} // namespace BPrivate
