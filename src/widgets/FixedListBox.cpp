#include "widgets/FixedListBox.h"

#include "core/shared/FixedLists.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <algorithm>

namespace kestrel::lists {

namespace {

// Searches as the operator types, in the closed box and in its open list
// alike: the list's own search compares from the bullet too. In the open
// list the search moves the list's current row, for Enter to pick.
class NameSearch : public QObject {
public:
    explicit NameSearch(QComboBox *box) : QObject(box), m_box(box)
    {
        box->installEventFilter(this);
        box->view()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        return searchWith(static_cast<QKeyEvent *>(event), watched == m_box->view());
    }

private:
    int current(bool inList) const
    {
        return inList ? m_box->view()->currentIndex().row() : m_box->currentIndex();
    }

    void choose(int row, bool inList)
    {
        if (!inList) {
            m_box->setCurrentIndex(row);
            return;
        }
        QAbstractItemView *list = m_box->view();
        const QModelIndex index = list->model()->index(row, m_box->modelColumn());
        list->setCurrentIndex(index);
        list->scrollTo(index);
    }

    bool searchWith(const QKeyEvent *key, bool inList)
    {
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        const QString text = key->text();
        if (text.isEmpty() || !text.at(0).isPrint())
            return false;
        if (!m_sinceLastKey.isValid()
            || m_sinceLastKey.elapsed() > QApplication::keyboardInputInterval())
            m_typed.clear();
        m_sinceLastKey.start();
        // A lone blank still opens the list, as it always has.
        if (m_typed.isEmpty() && text == QLatin1String(" "))
            return false;
        m_typed += text;
        // One letter, or the same letter again and again, moves on from the
        // current item: pressing C twice walks to the second name with C.
        const bool walking = m_typed.count(m_typed.at(0)) == m_typed.size();
        const QString prefix = walking ? m_typed.left(1) : m_typed;
        const int from = walking ? current(inList) + 1 : current(inList);
        const int found = findFrom(prefix, std::max(from, 0));
        if (found >= 0)
            choose(found, inList);
        return true;
    }

    int findFrom(const QString &prefix, int start) const
    {
        const int count = m_box->count();
        for (int step = 0; step < count; ++step) {
            const int row = (start + step) % count;
            if (itemValue(m_box->itemText(row)).startsWith(prefix, Qt::CaseInsensitive))
                return row;
        }
        return -1;
    }

    QComboBox *m_box;
    QString m_typed;
    QElapsedTimer m_sinceLastKey;
};

} // namespace

void installNameSearch(QComboBox *box)
{
    new NameSearch(box);
}

void setUpFixedList(QComboBox *box, const QStringList &items)
{
    box->addItems(items);
    box->setCurrentIndex(-1);
    installNameSearch(box);
}

QString selectedValue(const QComboBox *box)
{
    if (box->currentIndex() < 0)
        return QString();
    return itemValue(box->currentText());
}

} // namespace kestrel::lists
