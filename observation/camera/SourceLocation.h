#pragma once

#include <QJsonObject>
#include <QMetaType>
#include <QObject>
#include <QString>

// A named geographic position (a camera's location), as a block reports it.
class SourceLocation
{
    Q_GADGET
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(double longitude READ longitude WRITE setLongitude)
    Q_PROPERTY(double latitude READ latitude WRITE setLatitude)

public:
    SourceLocation() = default;

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    double longitude() const { return m_longitude; }
    void setLongitude(double longitude) { m_longitude = longitude; }
    double latitude() const { return m_latitude; }
    void setLatitude(double latitude) { m_latitude = latitude; }

    // "name" (text), "longitude" and "latitude" (numbers); an absent or mistyped key keeps the
    // current value, so a partial object updates only what it names.
    void read(const QJsonObject &object);

    // Names equal and coordinates fuzzily equal (differences below 1e-12 of 1 + the value).
    bool operator==(const SourceLocation &other) const;
    bool operator!=(const SourceLocation &other) const { return !(*this == other); }

private:
    QString m_name;
    double m_longitude = 0.0;
    double m_latitude = 0.0;
};

Q_DECLARE_METATYPE(SourceLocation)
