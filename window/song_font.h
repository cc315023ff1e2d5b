#pragma once

#include <QFont>

namespace vesko {

// The window design's font, 宋体 (SimSun), at `points`. Where SimSun is missing, another Song-style
// face with Simplified Chinese glyph forms takes its place, then a sans one: left to the locale,
// Qt would pick Japanese glyph forms or a Latin font. Regular weight, no italic, underline or
// strike-out.
QFont SongFont(double points);

}  // namespace vesko
