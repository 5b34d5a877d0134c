#pragma once
// Option buttons that keyboard users can work: Tab comes to a group's chosen
// option (not its first), the arrow keys choose within the group, and the
// next Tab leaves it.

class QWidget;

namespace kestrel {

// For every group of option buttons of form (the buttons of one parent).
void tabToTheChosenOptions(QWidget *form);

} // namespace kestrel
