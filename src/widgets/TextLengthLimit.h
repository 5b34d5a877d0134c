#pragma once
// A length limit for multi-line text boxes, which have none of their own.
// The limit is the box's "maxLength" property, set beside its other
// properties in the form's .ui file.

class QPlainTextEdit;

namespace kestrel {

// Keeps box at most its "maxLength" characters: typed or pasted text beyond
// the limit is dropped at the cursor, text set in code is cut at the end.
// A box without the property is left unlimited.
void installTextLengthLimit(QPlainTextEdit *box);

} // namespace kestrel
