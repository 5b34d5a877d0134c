#pragma once
// Holds a text box to numeric input: every typed character goes through
// FilterNumericKey, and pasted or dropped text that holds anything but digits
// (and the comma, where allowed) is refused with a beep. Text set in code may
// hold other characters; the operator can then remove them but add none.

#include <QObject>

class QLineEdit;

namespace kestrel {

class NumericKeyFilter : public QObject {
    Q_OBJECT
public:
    // Installs the filter on box; it lives as long as the box does.
    static NumericKeyFilter *install(QLineEdit *box, bool allowComma);

    bool allowComma() const { return m_allowComma; }
    // A box that edits different fields in turn (the edit grid's text
    // editor) switches the filter: inactive, it lets everything through.
    void setAllowComma(bool allowComma) { m_allowComma = allowComma; }
    bool isActive() const { return m_active; }
    void setActive(bool active) { m_active = active; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    NumericKeyFilter(QLineEdit *box, bool allowComma);
    bool m_allowComma;
    bool m_active = true;
};

} // namespace kestrel
