#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

// What every device entry has: a running id, a kind, a name and an address. A copyable value;
// the derived entries call read() and write() of this base first.
class DeviceBase
{
    Q_GADGET
    Q_PROPERTY(int id READ id WRITE setId)
    Q_PROPERTY(int type READ type WRITE setType)
    Q_PROPERTY(QString device READ device WRITE setDevice)
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(QString address READ address WRITE setAddress)

public:
    explicit DeviceBase(const QString &address = QString());
    // Virtual so that an entry deleted through its base frees its own fields too.
    virtual ~DeviceBase() = default;
    DeviceBase(const DeviceBase &) = default;
    DeviceBase &operator=(const DeviceBase &) = default;

    // Reads "name", "address" and "device"; a missing key keeps the field.
    virtual void read(const QJsonObject &object) = 0;
    // Writes only what has a value; "device" comes from the kind, never from the kind text.
    virtual void write(QJsonObject &object) const = 0;

    int id() const { return m_id; }
    int type() const { return m_type; }
    QString device() const { return m_device; }
    QString name() const { return m_name; }
    QString address() const { return m_address; }

    void setId(int id) { m_id = id; }
    void setType(int type) { m_type = type; }
    void setDevice(const QString &device) { m_device = device; }
    void setName(const QString &name) { m_name = name; }
    void setAddress(const QString &address) { m_address = address; }

protected:
    // Name and address only: id and kind are the model's and the block's business.
    bool baseEquals(const DeviceBase &other) const;

private:
    int m_id = -1;
    int m_type = 0;
    QString m_device;
    QString m_name;
    QString m_address;
};
