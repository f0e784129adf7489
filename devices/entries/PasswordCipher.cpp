#include "devices/entries/PasswordCipher.h"

#include <cryptopp/aes.h>
#include <cryptopp/filters.h>
#include <cryptopp/modes.h>

#include <string>

namespace {

// The ASCII characters themselves are the key bytes (32) and, for the first 16, the IV bytes;
// stored passwords of every installation depend on both texts.
constexpr char kKey[] = "3B71C0E95A24D8F61E07B9C3A5D24F80";
constexpr char kIv[] = "C84F2A6D0B93E71F5D26A8C4E07B31D9";
static_assert(sizeof(kKey) - 1 == CryptoPP::AES::MAX_KEYLENGTH, "AES-256 key");
static_assert(sizeof(kIv) - 1 >= CryptoPP::AES::BLOCKSIZE, "IV of one block");

const CryptoPP::byte *keyBytes() { return reinterpret_cast<const CryptoPP::byte *>(kKey); }
const CryptoPP::byte *ivBytes() { return reinterpret_cast<const CryptoPP::byte *>(kIv); }

std::string toStd(const QByteArray &bytes) { return std::string(bytes.constData(), size_t(bytes.size())); }
QByteArray fromStd(const std::string &bytes) { return QByteArray(bytes.data(), int(bytes.size())); }

} // namespace

QByteArray encryptPassword(const QByteArray &plain)
{
    std::string out;
    CryptoPP::CBC_Mode<CryptoPP::AES>::Encryption encryption(keyBytes(), CryptoPP::AES::MAX_KEYLENGTH, ivBytes());
    CryptoPP::StringSource source(toStd(plain), true,
        new CryptoPP::StreamTransformationFilter(encryption, new CryptoPP::StringSink(out)));
    return fromStd(out);
}

QByteArray decryptPassword(const QByteArray &cipher)
{
    std::string out;
    try {
        CryptoPP::CBC_Mode<CryptoPP::AES>::Decryption decryption(keyBytes(), CryptoPP::AES::MAX_KEYLENGTH, ivBytes());
        CryptoPP::StringSource source(toStd(cipher), true,
            new CryptoPP::StreamTransformationFilter(decryption, new CryptoPP::StringSink(out)));
    } catch (const CryptoPP::Exception &) {
        // A hand-edited or truncated file: keep what came out before the damage.
    }
    return fromStd(out);
}

QString encodeStoredPassword(const QString &password)
{
    return QString::fromLatin1(encryptPassword(password.toUtf8()).toBase64());
}

QString decodeStoredPassword(const QString &stored)
{
    // Qt's default Base64 decoding skips characters outside the alphabet.
    return QString::fromUtf8(decryptPassword(QByteArray::fromBase64(stored.toLatin1())));
}
