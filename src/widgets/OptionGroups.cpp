#include "widgets/OptionGroups.h"

#include <QRadioButton>
#include <QSet>
#include <algorithm>

namespace kestrel {

namespace {

// Only the chosen option is a Tab stop; with none chosen, every one is, so
// the group can still be reached. The arrows choose from the chosen one.
void refreshTabStops(QWidget *group)
{
    QList<QRadioButton *> options;
    for (QRadioButton *option : group->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly)) {
        if (option->autoExclusive())
            options.append(option);
    }
    const bool anyChosen =
        std::any_of(options.begin(), options.end(), [](QRadioButton *o) { return o->isChecked(); });
    for (QRadioButton *option : options)
        option->setFocusPolicy(option->isChecked() || !anyChosen ? Qt::StrongFocus
                                                                 : Qt::ClickFocus);
}

} // namespace

void tabToTheChosenOptions(QWidget *form)
{
    QSet<QWidget *> groups;
    for (QRadioButton *option : form->findChildren<QRadioButton *>()) {
        if (!option->autoExclusive() || !option->parentWidget())
            continue;
        QWidget *group = option->parentWidget();
        groups.insert(group);
        QObject::connect(option, &QAbstractButton::toggled, group,
                         [group] { refreshTabStops(group); });
    }
    for (QWidget *group : groups)
        refreshTabStops(group);
}

} // namespace kestrel
