#pragma once

#include <QByteArray>
#include <QString>

// The password of a remembered favourite is kept in the favourites file enciphered with a key
// built into the program (AES-256-CBC, PKCS #7) and Base64-encoded. It keeps the password out
// of plain sight, nothing more: every installation has the same key. No shared state.

QByteArray encryptPassword(const QByteArray &plain);

// A damaged cipher text (not whole blocks, bad padding) yields what was deciphered before the
// damage was found: empty when the first block fails. Never throws, never logs.
QByteArray decryptPassword(const QByteArray &cipher);

QString encodeStoredPassword(const QString &password);
QString decodeStoredPassword(const QString &stored);
