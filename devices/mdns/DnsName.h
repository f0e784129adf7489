#pragma once

#include <QByteArray>
#include <QList>

namespace mdns {

// Domain names in presentation form: labels joined by ".", ending in ".", with a
// "." or "\" inside a label escaped by "\". Labels are raw bytes (UTF-8 in practice).
class DnsName
{
public:
    static constexpr int MaxLabelLength = 63;
    static constexpr int MaxWireLength = 255;   // length bytes and the final zero included

    // Splits a name into its unescaped labels. False on an empty label, a dangling "\",
    // a label over 63 bytes or a wire form over 255 bytes.
    static bool labels(const QByteArray &name, QList<QByteArray> &result);

    // Joins unescaped labels into presentation form; no labels gives ".".
    static QByteArray join(const QList<QByteArray> &labels);

    // Escapes one label.
    static QByteArray escapeLabel(const QByteArray &label);

    // DNS names compare without regard to ASCII case (RFC 1035 2.3.3).
    static bool equal(const QByteArray &a, const QByteArray &b);

    // A form of the name that equal names share; for hash keys.
    static QByteArray key(const QByteArray &name);

    // When name is one label followed by parent, gives that label unescaped.
    static bool firstLabelUnder(const QByteArray &name, const QByteArray &parent, QByteArray &label);

    // Adds the final "." when it is missing.
    static QByteArray normalized(const QByteArray &name);
};

} // namespace mdns
