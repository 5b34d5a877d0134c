#pragma once
// Holds a text box to numeric input: every typed character goes through
// FilterNumericKey, and pasted or dropped text that holds anything but digits
// (and the comma, where allowed) is refused with a beep.

#include <QObject>

class QLineEdit;

namespace kestrel {

class NumericKeyFilter : public QObject {
    Q_OBJECT
public:
    // Installs the filter on box; it lives as long as the box does.
    static NumericKeyFilter *install(QLineEdit *box, bool allowComma);

    bool allowComma() const { return m_allowComma; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    NumericKeyFilter(QLineEdit *box, bool allowComma);
    bool m_allowComma;
};

} // namespace kestrel
