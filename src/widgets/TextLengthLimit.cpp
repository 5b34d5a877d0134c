#include "widgets/TextLengthLimit.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

namespace kestrel {

namespace {

void removeRange(QPlainTextEdit *box, int from, int to)
{
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void trimExcess(QPlainTextEdit *box, int maxLength)
{
    const int length = box->document()->characterCount() - 1; // less the closing paragraph mark
    const int excess = length - maxLength;
    if (excess <= 0)
        return;
    // What was just typed or pasted ends at the cursor: drop that first.
    const int cursor = box->textCursor().position();
    const int beforeCursor = std::min(excess, cursor);
    if (beforeCursor > 0)
        removeRange(box, cursor - beforeCursor, cursor);
    const int rest = excess - beforeCursor;
    if (rest > 0)
        removeRange(box, maxLength, maxLength + rest);
}

void enforceLimit(QPlainTextEdit *box, int maxLength)
{
    // Our own removals change the text again; they are already sized right.
    static bool trimming = false;
    if (trimming)
        return;
    trimming = true;
    trimExcess(box, maxLength);
    trimming = false;
}

} // namespace

void installTextLengthLimit(QPlainTextEdit *box)
{
    bool ok = false;
    const int maxLength = box->property("maxLength").toInt(&ok);
    if (!ok || maxLength <= 0)
        return;
    QObject::connect(box, &QPlainTextEdit::textChanged, box,
                     [box, maxLength] { enforceLimit(box, maxLength); });
}

} // namespace kestrel
