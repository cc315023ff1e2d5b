#pragma once

#include <QString>

namespace vesko {

// The two forms of the raw text of the input box. Both fold the full-width characters of East
// Asian input methods (brackets, + - * /, the ideographic full stop, digits) into ASCII and drop
// carriage returns; every other character passes through.

// The form the evaluator is given: pi/PI and pe/PE expanded to their digits, ** turned into ^.
QString EvaluationForm(const QString& text);

// The form rows show: the digits of pi and e folded back into pi and pe, ^ shown as **.
QString DisplayForm(const QString& text);

}  // namespace vesko
