#pragma once
// The shop's name and address, printed at the head of every receipt. They
// belong to the operator's own settings (QSettings, Kestrel.conf), beside
// what else Kestrel remembers between runs, not to the connection
// parameters: the shop stays the same whichever database Kestrel works on.
// Empty until the operator fills them in.

#include <QString>

namespace kestrel {

struct ShopDetails {
    QString name;
    QString address; // may run over several lines

    static ShopDetails load();
    void save() const;
};

} // namespace kestrel
