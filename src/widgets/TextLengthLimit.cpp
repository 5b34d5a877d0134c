#include "widgets/TextLengthLimit.h"

#include "core/shared/TextLimits.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <QValidator>

namespace kestrel {

namespace {

// A line edit counts its limit in UTF-16 units and cuts an emoji in half;
// this check counts characters and cuts between them instead.
class CharacterLimit : public QValidator {
public:
    CharacterLimit(int limit, const QValidator *inner, QObject *parent)
        : QValidator(parent), m_limit(limit), m_inner(inner)
    {
    }

    State validate(QString &input, int &pos) const override
    {
        const State state = m_inner ? m_inner->validate(input, pos) : Acceptable;
        if (state == Invalid)
            return state;
        qsizetype cursor = pos;
        input = fitToLimit(input, m_limit, &cursor);
        pos = int(cursor);
        return state;
    }

    void fixup(QString &input) const override
    {
        if (m_inner)
            m_inner->fixup(input);
    }

    void setLimit(int limit) { m_limit = limit; }
    int limit() const { return m_limit; }

private:
    int m_limit;
    QPointer<const QValidator> m_inner;
};

constexpr int Unlimited = 32767; // a line edit's own "no limit"

void enforceLimit(QPlainTextEdit *box, int limit)
{
    // Our own cut changes the text again; it is already sized right.
    static bool cutting = false;
    if (cutting)
        return;
    const QString text = box->toPlainText();
    qsizetype cursor = box->textCursor().position();
    const QString fitted = fitToLimit(text, limit, &cursor);
    if (fitted == text)
        return;
    cutting = true;
    QTextCursor edit = box->textCursor();
    edit.select(QTextCursor::Document);
    edit.insertText(fitted); // one step for undo, as the typing was
    edit.setPosition(int(cursor));
    box->setTextCursor(edit);
    cutting = false;
}

} // namespace

void installTextLengthLimit(QLineEdit *box)
{
    const int limit = box->maxLength();
    if (limit >= Unlimited)
        return;
    box->setMaxLength(Unlimited);
    box->setValidator(new CharacterLimit(limit, box->validator(), box));
}

void installTextLengthLimit(QPlainTextEdit *box)
{
    bool ok = false;
    const int limit = box->property("maxLength").toInt(&ok);
    if (!ok || limit <= 0)
        return;
    QObject::connect(box, &QPlainTextEdit::textChanged, box,
                     [box, limit] { enforceLimit(box, limit); });
}

void setTextLimit(QLineEdit *box, int limit)
{
    auto *installed = dynamic_cast<CharacterLimit *>(const_cast<QValidator *>(box->validator()));
    if (!installed) {
        // A box without a limit of its own until now counts in characters too.
        box->setMaxLength(Unlimited);
        box->setValidator(installed = new CharacterLimit(limit, box->validator(), box));
    }
    installed->setLimit(limit);
    QString text = box->text();
    qsizetype cursor = box->cursorPosition();
    const QString fitted = fitToLimit(text, limit, &cursor);
    if (fitted != text)
        box->setText(fitted);
}

int textLimit(const QLineEdit *box)
{
    const auto *installed = dynamic_cast<const CharacterLimit *>(box->validator());
    return installed ? installed->limit() : box->maxLength();
}

void installTextLengthLimits(QWidget *form)
{
    for (QLineEdit *box : form->findChildren<QLineEdit *>())
        installTextLengthLimit(box);
    for (QPlainTextEdit *box : form->findChildren<QPlainTextEdit *>())
        installTextLengthLimit(box);
}

} // namespace kestrel
