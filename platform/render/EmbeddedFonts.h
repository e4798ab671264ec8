#pragma once

// The font files built into every program of this build: the faces that
// windows draw with (Liberation Sans regular and bold for the plain and bold
// fonts, Liberation Mono regular for the fixed font). They are
// compiled in from Debian's fonts-liberation2 files (licence:
// fonts/LICENSE-Liberation-OFL.txt), so a window looks the same on every
// machine, whatever fonts it has.

#include <SupportDefs.h>

#include <span>

namespace BPrivate {

// The bytes of a built-in font file by its file name
// ("LiberationSans-Regular.ttf"), inflated on first use and kept for the
// life of the program; empty when it is not built in.
std::span<const uint8> EmbeddedFontFile(const char* fileName);

} // namespace BPrivate
