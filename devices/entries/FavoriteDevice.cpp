#include "devices/entries/FavoriteDevice.h"

#include "core/log/Log.h"
#include "devices/entries/PasswordCipher.h"

#include <QMetaEnum>

#include <atomic>

namespace {

// QVariant and QML compare entries through the meta-type system, which knows nothing of
// operator== until it is told.
void registerComparator()
{
    static std::atomic<bool> registered{false};
    if (registered.load(std::memory_order_acquire))
        return;
    if (QMetaType::hasRegisteredComparators<FavoriteDevice>() || QMetaType::registerEqualsComparator<FavoriteDevice>()) {
        registered.store(true, std::memory_order_release);
        return;
    }
    KVR_LOG_AT(kvr::log::ERR, QStringLiteral("FavoriteDevice::FavoriteDevice"),
               QStringLiteral("Failed to register comparator. This will result in undefined behaviour."));
}

} // namespace

FavoriteDevice::FavoriteDevice(const QString &address, const QString &username, const QString &password)
    : DeviceBase(address)
    , m_username(username)
    , m_password(password)
{
    registerComparator();
}

void FavoriteDevice::read(const QJsonObject &object)
{
    DeviceBase::read(object);
    if (object.contains(QLatin1String("username")))
        m_username = object.value(QLatin1String("username")).toString();
    if (object.contains(QLatin1String("password")))
        m_password = decodeStoredPassword(object.value(QLatin1String("password")).toString());
    m_remember = !m_password.isEmpty();
    if (object.contains(QLatin1String("description")))
        m_description = object.value(QLatin1String("description")).toString();
    if (object.contains(QLatin1String("date")))
        m_timestamp = object.value(QLatin1String("date")).toString().toULongLong();
    if (object.contains(QLatin1String("key")))
        m_key = keyFromString(object.value(QLatin1String("key")).toString());
    if (object.contains(QLatin1String("modifier")))
        m_modifiers = modifiersFromString(object.value(QLatin1String("modifier")).toString());
}

void FavoriteDevice::write(QJsonObject &object) const
{
    DeviceBase::write(object);
    if (!m_username.isEmpty())
        object.insert(QLatin1String("username"), m_username);
    if (!m_description.isEmpty())
        object.insert(QLatin1String("description"), m_description);
    if (m_timestamp != 0)
        object.insert(QLatin1String("date"), QString::number(m_timestamp));
    if (m_remember)
        object.insert(QLatin1String("password"), encodeStoredPassword(m_password));
    if (m_key != Qt::Key_unknown)
        object.insert(QLatin1String("key"), keyToString(m_key));
    if (m_modifiers != Qt::NoModifier)
        object.insert(QLatin1String("modifier"), modifiersToString(m_modifiers));
}

QString FavoriteDevice::keyToString(Qt::Key key)
{
    if (key == Qt::Key_unknown)
        return QString();
    return QString::fromLatin1(QMetaEnum::fromType<Qt::Key>().valueToKey(key));
}

Qt::Key FavoriteDevice::keyFromString(const QString &text)
{
    if (text.isEmpty())
        return Qt::Key_unknown;
    bool ok = false;
    const int value = QMetaEnum::fromType<Qt::Key>().keyToValue(text.toLatin1().constData(), &ok);
    return ok ? Qt::Key(value) : Qt::Key_unknown;
}

QString FavoriteDevice::modifiersToString(Qt::KeyboardModifiers modifiers)
{
    if (modifiers == Qt::NoModifier)
        return QString();
    return QString::fromLatin1(QMetaEnum::fromType<Qt::KeyboardModifiers>().valueToKey(int(modifiers)));
}

QString FavoriteDevice::keyText(Qt::Key key, bool trim)
{
    QString text = keyToString(key);
    if (trim && text.startsWith(QLatin1String("Key_")))
        text.remove(0, 4);
    return text;
}

QString FavoriteDevice::modifiersText(Qt::KeyboardModifiers modifiers, bool trim)
{
    QString text = modifiersToString(modifiers);
    if (trim) {
        if (text.endsWith(QLatin1String("Modifier")))
            text.chop(8);
        text.replace(QLatin1String("Control"), QLatin1String("Ctrl"));
    }
    return text;
}

Qt::KeyboardModifiers FavoriteDevice::modifiersFromString(const QString &text)
{
    if (text.isEmpty())
        return Qt::NoModifier;
    bool ok = false;
    const int value = QMetaEnum::fromType<Qt::KeyboardModifiers>().keyToValue(text.toLatin1().constData(), &ok);
    return ok ? Qt::KeyboardModifiers(value) : Qt::KeyboardModifiers(Qt::NoModifier);
}

bool FavoriteDevice::operator==(const FavoriteDevice &other) const
{
    return baseEquals(other) && m_username == other.m_username && m_password == other.m_password
        && m_remember == other.m_remember && m_description == other.m_description && m_key == other.m_key
        && m_modifiers == other.m_modifiers;
}
