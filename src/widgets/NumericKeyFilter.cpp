#include "widgets/NumericKeyFilter.h"

#include "core/shared/mdl_Variables_Functions.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace kestrel {

namespace {

// Refuses a text with more characters the key filter would refuse than the
// box held before, so a paste cannot bring letters in while a text set in
// code keeps its own. Typed keys never reach it with such characters.
class NumericTextValidator : public QValidator {
public:
    NumericTextValidator(const NumericKeyFilter *filter, QLineEdit *box)
        : QValidator(box), m_filter(filter), m_before(box->text())
    {
        connect(box, &QLineEdit::textChanged, this,
                [this](const QString &text) { m_before = text; });
    }

    State validate(QString &input, int &) const override
    {
        if (!m_filter->isActive() || refused(input) <= refused(m_before))
            return Acceptable;
        mdl_Variables_Functions::Beep();
        return Invalid;
    }

private:
    qsizetype refused(const QString &text) const
    {
        qsizetype count = 0;
        for (const QChar c : text) {
            const bool digit = c.isDigit() && c.unicode() <= 127;
            if (!digit && !(m_filter->allowComma() && c == QLatin1Char(',')))
                ++count;
        }
        return count;
    }

    const NumericKeyFilter *m_filter;
    QString m_before;
};

// The character code a key press stands for, as the filter judges it: 0 for
// keys that type nothing (arrows, Delete), for the keys that belong to the
// form rather than the box (Tab moves on, Esc cancels), and for every key
// held with Ctrl or Alt: those are commands (select, copy, cut and paste in
// the box, the main window's shortcuts), which pass untouched.
int keyCode(const QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return 0;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
        return 0;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return mdl_Variables_Functions::KeyEnter;
    case Qt::Key_Backspace:
        return mdl_Variables_Functions::KeyBackspace;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return 0;
    return text.at(0).unicode();
}

} // namespace

NumericKeyFilter::NumericKeyFilter(QLineEdit *box, bool allowComma)
    : QObject(box), m_allowComma(allowComma)
{
    box->setValidator(new NumericTextValidator(this, box));
    box->installEventFilter(this);
}

NumericKeyFilter *NumericKeyFilter::install(QLineEdit *box, bool allowComma)
{
    return new NumericKeyFilter(box, allowComma);
}

bool NumericKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    int code = m_active ? keyCode(static_cast<QKeyEvent *>(event)) : 0;
    if (code == 0)
        return false;
    // Enter passes on to the form (default buttons, focus moves) after the
    // filter has had its say; it never types into the box.
    const bool enter = code == mdl_Variables_Functions::KeyEnter;
    mdl_Variables_Functions::FilterNumericKey(m_allowComma, code);
    if (enter)
        return false;
    return code == 0;
}

} // namespace kestrel
