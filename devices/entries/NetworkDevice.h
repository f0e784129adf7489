#pragma once

#include "devices/entries/DeviceBase.h"
#include "devices/entries/ORVAmDNSDeviceInterface.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QMetaType>
#include <QStringList>

// A device announced on the local network. The kind text field holds the announced service
// type; `type` stays unknown.
class NetworkDevice : public DeviceBase
{
    Q_GADGET
    Q_DECLARE_TR_FUNCTIONS(NetworkDevice)
    Q_PROPERTY(QString serviceId READ serviceId WRITE setServiceId)
    Q_PROPERTY(QString addressIPv6 READ addressIPv6 WRITE setAddressIPv6)
    Q_PROPERTY(QString attributes READ attributes WRITE setAttributes)
    Q_PROPERTY(QStringList interfaceRows READ interfaceRows)
    Q_PROPERTY(bool orvaUnit READ orvaUnit WRITE setOrvaUnit)
    Q_PROPERTY(QString blockName READ blockName WRITE setBlockName)
    Q_PROPERTY(QString hostType READ hostType WRITE setHostType)

public:
    explicit NetworkDevice(const QString &address = QString(), const QString &addressIPv6 = QString());

    void read(const QJsonObject &object) override;
    void write(QJsonObject &object) const override;

    QByteArray hostname() const { return m_hostname; }
    QString serviceId() const { return m_serviceId; }      // service name "." service type
    QString addressIPv6() const { return m_addressIPv6; }
    QString attributes() const { return m_attributes; }
    QStringList interfaceRows() const { return m_interfaceRows; }
    QList<ORVAmDNSDeviceInterface> interfaces() const { return m_interfaces; }
    bool orvaUnit() const { return m_orvaUnit; }           // one of the product's blocks
    QString blockName() const { return m_blockName; }
    QString hostType() const { return m_hostType; }

    void setHostname(const QByteArray &hostname) { m_hostname = hostname; }
    void setServiceId(const QString &serviceId) { m_serviceId = serviceId; }
    void setAddressIPv6(const QString &addressIPv6) { m_addressIPv6 = addressIPv6; }
    void setAttributes(const QString &attributes) { m_attributes = attributes; }
    // Also rebuilds the display rows, one per interface.
    void setInterfaces(const QList<ORVAmDNSDeviceInterface> &interfaces);
    void setOrvaUnit(bool orvaUnit) { m_orvaUnit = orvaUnit; }
    void setBlockName(const QString &blockName) { m_blockName = blockName; }
    void setHostType(const QString &hostType) { m_hostType = hostType; }

    // Compares what is shown (addresses, attributes, interface rows), not the announcement's identity.
    bool operator==(const NetworkDevice &other) const;
    bool operator!=(const NetworkDevice &other) const { return !(*this == other); }

private:
    QByteArray m_hostname;
    QString m_serviceId;
    QString m_addressIPv6;
    QString m_attributes;
    QStringList m_interfaceRows;
    QList<ORVAmDNSDeviceInterface> m_interfaces;
    bool m_orvaUnit = false;
    QString m_blockName;
    QString m_hostType;
};

Q_DECLARE_METATYPE(NetworkDevice)
