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

// The evaluation form with its leading and trailing spaces and line breaks removed, made by reading
// only as much of the text as needed: once the form is known to be longer than `maxLength`
// characters, its first characters beyond that length are returned. A result of more than
// `maxLength` characters therefore says the form is too long, and the work stays in proportion to
// `maxLength` (and to the carriage returns and spaces read), however long the text is.
QString TrimmedEvaluationForm(const QString& text, qsizetype maxLength);

// Each form is made in one pass, in time linear in the text; a text that none of the rules
// changes comes back shared, without a copy.

}  // namespace vesko
