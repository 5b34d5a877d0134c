#pragma once
// The base of every child window: the form host (the main window) creates a
// form, shows it in a sub-window of its own and then calls Form_Load, so a
// form that fails while loading can close itself at once.

#include <QWidget>
#include <functional>

class QAbstractButton;

namespace kestrel {

class KForm : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Runs once, right after the form is first shown.
    virtual void Form_Load() {}

    // Closes the form's sub-window (and so the form), running its close step.
    void Unload();
    // True once the form's sub-window has closed (or when it has none): the
    // form is about to go and must not be written into.
    bool isUnloading() const;

    // How long a note stays in the main window's status bar.
    static constexpr int StatusNoteMs = 10000;

protected:
    // Lets Esc anywhere in the form press its Cancel button.
    void answerEscapeWith(QAbstractButton *cancel);
    // A note in the main window's status bar that outlives the form: what a
    // save did, read after the form has closed or started afresh.
    void showStatusNote(const QString &text) const;
    // Lets Esc anywhere in the form run action.
    void answerEscapeWith(std::function<void()> action);
    // Lets Enter in any of inputs (anywhere inside one: a calendar's days)
    // press button, as if the operator had tabbed to it.
    void answerEnterWith(QAbstractButton *button, const QList<QWidget *> &inputs);
};

} // namespace kestrel
