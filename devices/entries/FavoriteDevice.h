#pragma once

#include "devices/entries/DeviceBase.h"

#include <QMetaType>
#include <Qt>

// A saved connection: credentials, a description, the time of the last connection and a
// keyboard shortcut. The password is plain text in memory and enciphered in the file.
class FavoriteDevice : public DeviceBase
{
    Q_GADGET
    Q_PROPERTY(QString username READ username WRITE setUsername)
    Q_PROPERTY(QString password READ password WRITE setPassword)
    Q_PROPERTY(bool remember READ remember WRITE setRemember)
    Q_PROPERTY(QString description READ description WRITE setDescription)
    Q_PROPERTY(qulonglong timestamp READ timestamp WRITE setTimestamp)
    Q_PROPERTY(Qt::Key key READ key WRITE setKey)
    Q_PROPERTY(Qt::KeyboardModifiers modifiers READ modifiers WRITE setModifiers)
    Q_PROPERTY(FavoriteDevice self READ getSelf)

public:
    explicit FavoriteDevice(const QString &address = QString(), const QString &username = QString(),
                            const QString &password = QString());

    void read(const QJsonObject &object) override;
    void write(QJsonObject &object) const override;

    QString username() const { return m_username; }
    QString password() const { return m_password; }
    bool remember() const { return m_remember; }
    QString description() const { return m_description; }
    qulonglong timestamp() const { return m_timestamp; }   // ms since the epoch; 0 = never
    Qt::Key key() const { return m_key; }                  // Qt::Key_unknown = no shortcut
    Qt::KeyboardModifiers modifiers() const { return m_modifiers; }

    void setUsername(const QString &username) { m_username = username; }
    void setPassword(const QString &password) { m_password = password; }
    void setRemember(bool remember) { m_remember = remember; }
    void setDescription(const QString &description) { m_description = description; }
    void setTimestamp(qulonglong timestamp) { m_timestamp = timestamp; }
    void setKey(Qt::Key key) { m_key = key; }
    void setModifiers(Qt::KeyboardModifiers modifiers) { m_modifiers = modifiers; }

    Q_INVOKABLE FavoriteDevice getSelf() const { return *this; }

    // Qt's enumerator names ("Key_F1", "ControlModifier"). No shortcut and no modifier are the
    // empty text, and so is a combination of modifiers, which has no name of its own. A name
    // that Qt does not know reads as no shortcut / no modifier.
    static QString keyToString(Qt::Key key);
    static Qt::Key keyFromString(const QString &text);
    static QString modifiersToString(Qt::KeyboardModifiers modifiers);
    static Qt::KeyboardModifiers modifiersFromString(const QString &text);
    // The same names for people when trimmed: "F1", "Ctrl", "Alt".
    static QString keyText(Qt::Key key, bool trim);
    static QString modifiersText(Qt::KeyboardModifiers modifiers, bool trim);

    // The timestamp is not compared: a new connection does not make a different entry.
    bool operator==(const FavoriteDevice &other) const;
    bool operator!=(const FavoriteDevice &other) const { return !(*this == other); }

private:
    QString m_username;
    QString m_password;
    bool m_remember = false;
    QString m_description;
    qulonglong m_timestamp = 0;
    Qt::Key m_key = Qt::Key_unknown;
    Qt::KeyboardModifiers m_modifiers = Qt::NoModifier;
};

Q_DECLARE_METATYPE(FavoriteDevice)
