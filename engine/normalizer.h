#pragma once

#include <QString>

namespace vesko {

// Turns the raw text of the input box into the evaluation form (toDisplay false: full-width
// characters folded, pi/pe expanded to their digits, ** turned into ^) or the display form
// (toDisplay true: the same folding, the digits folded back into pi/pe, ^ shown as **).
QString NormalizeExpression(const QString& text, bool toDisplay);

}  // namespace vesko
