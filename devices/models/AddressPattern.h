#pragma once

#include <QLatin1String>
#include <QStringList>

// What the log-in address field holds: an address or name typed by hand, or a suggestion
// text "address - name (user)". Only the separator " - " cuts it, so host and service names
// with a "-" ("block-01.local", "ORVA-Gate-3") stay whole.
class AddressPattern
{
public:
    enum class Cut { AtFirstSeparator, AtEverySeparator };

    // With its length: clang does not take strlen as a constant expression.
    static constexpr QLatin1String Separator{" - ", 3};

    // The pieces of the pattern, trimmed and with one closing ")" dropped (a suggestion's
    // name part ends with the user in parentheses); empty pieces are left out.
    static QStringList pieces(const QString &pattern, Cut cut);
};
