#pragma once
// The message service of the user interface: message boxes and the system
// beep. Installed once at start-up; tests install a recorder instead.

namespace kestrel {

void installMessageBoxes();

} // namespace kestrel
