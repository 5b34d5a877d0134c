#include "core/shared/ShopDetails.h"

#include <QSettings>

namespace kestrel {

namespace {
const QString NameKey = QStringLiteral("shop/name");
const QString AddressKey = QStringLiteral("shop/address");
} // namespace

ShopDetails ShopDetails::load()
{
    const QSettings settings;
    return {settings.value(NameKey).toString(), settings.value(AddressKey).toString()};
}

void ShopDetails::save() const
{
    QSettings settings;
    settings.setValue(NameKey, name);
    settings.setValue(AddressKey, address);
}

} // namespace kestrel
