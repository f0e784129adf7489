#include "devices/mdns/DnsName.h"

namespace mdns {

bool DnsName::labels(const QByteArray &name, QList<QByteArray> &result)
{
    result.clear();
    if (name.isEmpty() || name == ".")
        return true;
    QByteArray label;
    int wireLength = 1;
    bool escaped = false;
    const auto finishLabel = [&]() {
        if (label.isEmpty() || label.size() > MaxLabelLength)
            return false;
        wireLength += 1 + label.size();
        if (wireLength > MaxWireLength)
            return false;
        result.append(label);
        label.clear();
        return true;
    };
    for (const char c : name) {
        if (escaped) {
            label.append(c);
            escaped = false;
        } else if (c == '\\') {
            escaped = true;
        } else if (c == '.') {
            if (!finishLabel())
                return false;
        } else {
            label.append(c);
        }
    }
    if (escaped)
        return false;
    // A name without its final "." still names the same labels.
    if (!label.isEmpty() && !finishLabel())
        return false;
    return true;
}

QByteArray DnsName::escapeLabel(const QByteArray &label)
{
    QByteArray out;
    out.reserve(label.size());
    for (const char c : label) {
        if (c == '.' || c == '\\')
            out.append('\\');
        out.append(c);
    }
    return out;
}

QByteArray DnsName::join(const QList<QByteArray> &labels)
{
    if (labels.isEmpty())
        return QByteArrayLiteral(".");
    QByteArray out;
    for (const QByteArray &label : labels) {
        out.append(escapeLabel(label));
        out.append('.');
    }
    return out;
}

bool DnsName::equal(const QByteArray &a, const QByteArray &b)
{
    return key(a) == key(b);
}

QByteArray DnsName::key(const QByteArray &name)
{
    // Only ASCII letters fold: bytes above 127 belong to UTF-8 sequences and stay.
    QByteArray out = normalized(name);
    for (char &c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

bool DnsName::firstLabelUnder(const QByteArray &name, const QByteArray &parent, QByteArray &label)
{
    QList<QByteArray> nameLabels;
    QList<QByteArray> parentLabels;
    if (!labels(name, nameLabels) || !labels(parent, parentLabels))
        return false;
    if (nameLabels.size() != parentLabels.size() + 1)
        return false;
    for (int i = 0; i < parentLabels.size(); ++i) {
        if (key(nameLabels.at(i + 1)) != key(parentLabels.at(i)))
            return false;
    }
    label = nameLabels.first();
    return true;
}

QByteArray DnsName::normalized(const QByteArray &name)
{
    if (name.isEmpty())
        return QByteArrayLiteral(".");
    // An escaped final dot ("a\.") is part of the label, not the end of the name.
    int backslashes = 0;
    for (int i = name.size() - 2; i >= 0 && name.at(i) == '\\'; --i)
        ++backslashes;
    if (name.endsWith('.') && backslashes % 2 == 0)
        return name;
    return name + '.';
}

} // namespace mdns
