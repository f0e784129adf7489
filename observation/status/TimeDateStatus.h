#pragma once

#include <QJsonObject>
#include <QMetaType>
#include <QObject>
#include <QStringList>

namespace kvr {

// A block's NTP state ("time_status"). Unlike plain QObjects it can be copied, so that it
// travels as a value in BlockStatusInfo::timeDateStatusChanged; a copy has no parent and no
// connections.
class TimeDateStatus : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool ntpActive READ ntpActive NOTIFY ntpActiveChanged)
    Q_PROPERTY(QStringList servers READ servers NOTIFY serversChanged)
    Q_PROPERTY(bool ntpSynchronized READ ntpSynchronized NOTIFY ntpSynchronizedChanged)
    Q_PROPERTY(bool valid READ valid NOTIFY validChanged)

public:
    explicit TimeDateStatus(QObject *parent = nullptr);
    TimeDateStatus(const TimeDateStatus &other);
    // Takes the fields one by one, each emitting its signal when it changes.
    TimeDateStatus &operator=(const TimeDateStatus &other);
    ~TimeDateStatus() override;

    bool operator==(const TimeDateStatus &other) const;
    bool operator!=(const TimeDateStatus &other) const { return !(*this == other); }

    bool ntpActive() const { return m_ntpActive; }
    QStringList servers() const { return m_servers; }
    bool ntpSynchronized() const { return m_ntpSynchronized; }
    bool valid() const { return m_valid; }

    // "ntp_enabled", "ntp_servers", "ntp_synced", "valid"; missing or mistyped values read as
    // false and an empty list.
    void read(const QJsonObject &object);

signals:
    void ntpActiveChanged(bool active);
    void serversChanged(QStringList servers);
    void ntpSynchronizedChanged(bool synchronized);
    void validChanged(bool valid);

private:
    void setNtpActive(bool active);
    void setServers(const QStringList &servers);
    void setNtpSynchronized(bool synchronized);
    void setValid(bool valid);

    bool m_ntpActive = false;
    QStringList m_servers;
    bool m_ntpSynchronized = false;
    bool m_valid = false;
};

} // namespace kvr

Q_DECLARE_METATYPE(kvr::TimeDateStatus)
