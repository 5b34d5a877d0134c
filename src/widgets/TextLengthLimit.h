#pragma once
// Length limits of text boxes, in characters as the server counts them
// (core/shared/TextLimits.h). The limit is the box's "maxLength" property,
// set beside its other properties in the form's .ui file; a box without one
// is left unlimited.

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace kestrel {

// Keeps box at its limit: typed or pasted text beyond it is dropped at the
// cursor, whole characters at a time, text set in code is cut at the end.
// A line edit's own check (a numeric box's) still has its say first.
void installTextLengthLimit(QLineEdit *box);
void installTextLengthLimit(QPlainTextEdit *box);

// The same for every text box of a form.
void installTextLengthLimits(QWidget *form);

// Gives box a new limit while the form is open (a box whose limit depends on
// a choice or on the field it edits): counted in characters from then on,
// installing the check on a box that had none.
void setTextLimit(QLineEdit *box, int limit);
// The limit box holds its text to, in characters.
int textLimit(const QLineEdit *box);

} // namespace kestrel
