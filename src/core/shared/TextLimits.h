#pragma once
// Length limits of text boxes, counted in characters as the server counts
// them in a column (Unicode code points), so an emoji counts once and what a
// box holds always fits its column. Text is only ever cut between whole
// characters as a person sees them: never half a surrogate pair, never a
// letter without its accent.

#include <QString>

namespace kestrel {

qsizetype characterCount(QStringView text);

// Text cut to at most limit characters. What is too much goes first just
// before the cursor (what was just typed or pasted there), then from the
// end. cursor, a position in text, is moved along with the cut.
QString fitToLimit(const QString &text, int limit, qsizetype *cursor);

} // namespace kestrel
