#pragma once

#include "observation/xdev/XDevState.h"

#include <QJsonObject>
#include <QMetaType>
#include <QString>

// One external field device reported by a block (a map object), with its identity and state.
class XDevObject
{
    Q_GADGET
    Q_PROPERTY(int id MEMBER id)
    Q_PROPERTY(QString type MEMBER type)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString manufacturer MEMBER manufacturer)
    Q_PROPERTY(QString serialNumber MEMBER serialNumber)
    Q_PROPERTY(QString product MEMBER product)
    Q_PROPERTY(QString model MEMBER model)
    Q_PROPERTY(QString swVersion MEMBER swVersion)
    Q_PROPERTY(QString fwVersion MEMBER fwVersion)
    Q_PROPERTY(QString hwVersion MEMBER hwVersion)
    Q_PROPERTY(XDevState state MEMBER state)

public:
    XDevObject() = default;
    XDevObject(const XDevObject &) = default;
    XDevObject &operator=(const XDevObject &) = default;
    virtual ~XDevObject() = default;

    // False, changing nothing, when "id", "type", "name", "manufacturer", "serial_number" or
    // "state" is missing; the product and version texts are optional.
    virtual bool read(const QJsonObject &json);
    virtual QJsonObject write() const;

    int id = -1; // negative: no such object
    QString type;
    QString name;
    QString manufacturer;
    QString serialNumber;
    QString product;
    QString model;
    QString swVersion;
    QString fwVersion;
    QString hwVersion;
    XDevState state;
};

Q_DECLARE_METATYPE(XDevObject)
