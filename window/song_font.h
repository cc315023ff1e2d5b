#pragma once

#include <QFont>

namespace vesko {

// The window design's font, 宋体 (SimSun), at `points`. Where SimSun is missing, another Song-style
// face with Simplified Chinese glyph forms takes its place, then a sans one: left to the locale,
// Qt would pick Japanese glyph forms or a Latin font. AR PL UMing CN comes first of them: its
// small-size glyphs and line height are closest to SimSun's, so the boxes show as many rows and the
// status bar's credit fits as in the design. Regular weight, no italic, underline or strike-out.
QFont SongFont(double points);

}  // namespace vesko
