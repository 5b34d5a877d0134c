#include "core/shared/FixedLists.h"

namespace kestrel::lists {

namespace {

const QChar Bullet(0x2022);

struct Country {
    const char16_t *name;
    // The city forms' item carries a blank after the name.
    bool trailingBlank;
};

// clang-format off
constexpr Country Countries[] = {
    {u"Abkhazia", true},
    {u"Afghanistan", true},
    {u"Akrotiri and Dhekelia", true},
    {u"Aland", true},
    {u"Albania", true},
    {u"Algeria", true},
    {u"American Samoa", true},
    {u"Andorra", true},
    {u"Angola", true},
    {u"Anguilla", true},
    {u"Antigua and Barbuda", false},
    {u"Argentina", true},
    {u"Armenia", true},
    {u"Aruba", true},
    {u"Ascension Island", true},
    {u"Australia", true},
    {u"Austria", true},
    {u"Azerbaijan", false},
    {u"Bahamas, The", true},
    {u"Bahrain", true},
    {u"Bangladesh", false},
    {u"Barbados", false},
    {u"Belarus", true},
    {u"Belgium", true},
    {u"Belize", false},
    {u"Benin", true},
    {u"Bermuda", true},
    {u"Bhutan", true},
    {u"Bolivia", true},
    {u"Bosnia and Herzegovina", false},
    {u"Botswana", true},
    {u"Brazil", true},
    {u"Brunei", true},
    {u"Bulgaria", true},
    {u"Burkina Faso", true},
    {u"Burundi", true},
    {u"Cambodia", true},
    {u"Cameroon", true},
    {u"Canada", false},
    {u"Cape Verde", true},
    {u"Cayman Islands", true},
    {u"Central African Republic", false},
    {u"Chad", true},
    {u"Chile", true},
    {u"China (People's Rep.)", true},
    {u"China (Rep.) (Taiwan)", true},
    {u"Christmas Island", true},
    {u"Cocos (Keeling) Islands", true},
    {u"Colombia", true},
    {u"Comoros", true},
    {u"Congo (Dem. Rep.)", true},
    {u"Congo (Rep.)", true},
    {u"Cook Islands", true},
    {u"Costa Rica", true},
    {u"Côte d'Ivoire", true},
    {u"Croatia", true},
    {u"Cuba", true},
    {u"Cyprus", true},
    {u"Czech Republic", false},
    {u"Denmark", true},
    {u"Djibouti", true},
    {u"Dominica", true},
    {u"Dominican Republic", false},
    {u"Ecuador", true},
    {u"Egypt", true},
    {u"El Salvador", true},
    {u"Equatorial Guinea", true},
    {u"Eritrea", true},
    {u"Estonia", true},
    {u"Ethiopia", true},
    {u"Falkland Islands", true},
    {u"Faroe Islands", true},
    {u"Fiji", true},
    {u"Finland", true},
    {u"France", true},
    {u"French Polynesia", true},
    {u"Gabon", true},
    {u"Gambia, The", true},
    {u"Georgia", false},
    {u"Germany", true},
    {u"Ghana", true},
    {u"Gibraltar", true},
    {u"Greece", true},
    {u"Greenland", true},
    {u"Grenada", false},
    {u"Guam", true},
    {u"Guatemala", true},
    {u"Guernsey", true},
    {u"Guinea", true},
    {u"Guinea-Bissau", true},
    {u"Guyana", true},
    {u"Haiti", true},
    {u"Honduras", true},
    {u"Hong Kong", true},
    {u"Hungary", true},
    {u"Iceland", true},
    {u"India", true},
    {u"Indonesia", true},
    {u"Iran", true},
    {u"Iraq", true},
    {u"Ireland", false},
    {u"Isle of Man", true},
    {u"Israel", true},
    {u"Italy", true},
    {u"Jamaica", false},
    {u"Japan", false},
    {u"Jersey", true},
    {u"Jordan", true},
    {u"Kazakhstan", true},
    {u"Kenya", true},
    {u"Kiribati", true},
    {u"Korea (Dem. People's Rep.)", true},
    {u"Korea (Rep.)", true},
    {u"Kosovo", false},
    {u"Kuwait", true},
    {u"Kyrgyzstan", false},
    {u"Laos", true},
    {u"Latvia", true},
    {u"Lebanon", true},
    {u"Lesotho", true},
    {u"Liberia", true},
    {u"Libya", true},
    {u"Liechtenstein", true},
    {u"Lithuania", true},
    {u"Luxembourg", true},
    {u"Macao", true},
    {u"Macedonia", true},
    {u"Madagascar", true},
    {u"Malawi", true},
    {u"Malaysia", false},
    {u"Maldives", true},
    {u"Mali", true},
    {u"Malta", true},
    {u"Marshall Islands", true},
    {u"Mauritania", true},
    {u"Mauritius", true},
    {u"Mayotte", true},
    {u"Mexico", true},
    {u"Micronesia", true},
    {u"Moldova", true},
    {u"Monaco", true},
    {u"Mongolia", false},
    {u"Montenegro", true},
    {u"Montserrat", true},
    {u"Morocco", true},
    {u"Mozambique", true},
    {u"Myanmar", true},
    {u"Nagorno-Karabakh", true},
    {u"Namibia", true},
    {u"Nauru", true},
    {u"Nepal", true},
    {u"Netherlands", true},
    {u"Netherlands Antilles", true},
    {u"New Caledonia", true},
    {u"New Zealand", false},
    {u"Nicaragua", true},
    {u"Niger", true},
    {u"Nigeria", true},
    {u"Niue", true},
    {u"Norfolk Island", true},
    {u"Northern Cyprus", true},
    {u"Northern Mariana Islands", false},
    {u"Norway", true},
    {u"Oman", true},
    {u"Pakistan", true},
    {u"Palau", true},
    {u"Palestine", true},
    {u"Panama", true},
    {u"Papua New Guinea", true},
    {u"Paraguay", true},
    {u"Peru", true},
    {u"Philippines", true},
    {u"Pitcairn Islands", true},
    {u"Poland", true},
    {u"Portugal", true},
    {u"Pridnestrovie", true},
    {u"Puerto Rico", true},
    {u"Qatar", true},
    {u"Romania", false},
    {u"Russia", true},
    {u"Rwanda", true},
    {u"Saint Helena", true},
    {u"Saint Kitts and Nevis", true},
    {u"Saint Lucia", false},
    {u"Saint Pierre and Miquelon", true},
    {u"Saint Vincent and the Grenadines", false},
    {u"Samoa", true},
    {u"San Marino", true},
    {u"Sao Tomé and Príncipe", true},
    {u"Saudi Arabia", true},
    {u"Senegal", true},
    {u"Serbia", true},
    {u"Seychelles", true},
    {u"Sierra Leone", true},
    {u"Singapore", true},
    {u"Slovakia", true},
    {u"Slovenia", true},
    {u"Solomon Islands", false},
    {u"Somalia", false},
    {u"Somaliland", true},
    {u"South Africa", true},
    {u"South Ossetia", false},
    {u"Spain", true},
    {u"Sri Lanka", true},
    {u"Sudan", true},
    {u"Suriname", true},
    {u"Svalbard", true},
    {u"Swaziland", true},
    {u"Sweden", true},
    {u"Switzerland", true},
    {u"Syria", true},
    {u"Tajikistan", true},
    {u"Tanzania", true},
    {u"Thailand", true},
    {u"Timor-Leste", true},
    {u"Togo", true},
    {u"Tokelau", true},
    {u"Tonga", true},
    {u"Trinidad and Tobago", true},
    {u"Tristan da Cunha", true},
    {u"Tunisia", true},
    {u"Turkey", true},
    {u"Turkmenistan", false},
    {u"Turks and Caicos Islands", true},
    {u"Tuvalu", false},
    {u"Uganda", true},
    {u"Ukraine", false},
    {u"United Arab Emirates", false},
    {u"United Kingdom", true},
    {u"United States", true},
    {u"Uruguay", true},
    {u"Uzbekistan", true},
    {u"Vanuatu", true},
    {u"Vatican City", true},
    {u"Venezuela", true},
    {u"Vietnam", true},
    {u"Virgin Islands (British)", true},
    {u"Virgin Islands (Un. States)", true},
    {u"Wallis and Futuna", true},
    {u"Western Sahara", true},
    {u"Yemen", true},
    {u"Zambia", true},
    {u"Zimbabwe", false},
};

constexpr const char16_t *Units[] = {
    u"Boxes",
    u"Cans",
    u"Cartons",
    u"Ctns",
    u"Ea",
    u"Grams",
    u"Hours",
    u"Kgs",
    u"Lengths",
    u"Meters",
    u"Pairs",
    u"Pcs",
    u"Pks",
    u"Reams",
    u"Sets",
    u"Tins",
    u"Tubes",
    u"Units",
};
// clang-format on

QStringList itemsFromNames(const QStringList &names)
{
    QStringList items;
    items.reserve(names.size());
    for (const QString &name : names)
        items.append(itemFromName(name));
    return items;
}

} // namespace

QStringList countryNames()
{
    QStringList names;
    for (const Country &country : Countries)
        names.append(QString::fromUtf16(country.name));
    return names;
}

QStringList countryItems()
{
    QStringList items;
    for (const Country &country : Countries) {
        QString item = itemFromName(QString::fromUtf16(country.name));
        if (country.trailingBlank)
            item += QLatin1Char(' ');
        items.append(item);
    }
    return items;
}

QStringList plainCountryItems()
{
    return itemsFromNames(countryNames());
}

QStringList unitNames()
{
    QStringList names;
    for (const char16_t *unit : Units)
        names.append(QString::fromUtf16(unit));
    return names;
}

QStringList unitItems()
{
    return itemsFromNames(unitNames());
}

QString itemFromName(const QString &name)
{
    return Bullet + QLatin1Char(' ') + name;
}

QString itemValue(const QString &item)
{
    return item.mid(2);
}

} // namespace kestrel::lists
