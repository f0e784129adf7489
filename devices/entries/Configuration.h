#pragma once

#include <QFlags>
#include <QMap>
#include <QObject>
#include <QString>

// Device kinds. A device has exactly one kind; the bit values let filters combine kinds.
class Configuration
{
    Q_GADGET

public:
    enum DeviceType {
        UnknownDevice = 0,
        Camera = 1,
        CameraLight = 2,
        EmbeddedNano = 4,
        EmbeddedMicro = 8,
        EmbeddedMacro = 16,
        Enterprise = 32,
        Brimvale = 64,
        Aerial = 128,
        EmbeddedMacroOrin = 256,
        EmbeddedMicroOrin = 512,
        EmbeddedNanoOrin = 1024,
        EmbeddedMacroOrinAerial = 2048,
    };
    Q_ENUM(DeviceType)
    Q_DECLARE_FLAGS(DeviceTypes, DeviceType)
    Q_FLAG(DeviceTypes)

    // Kind value to kind text, ascending by value. Built once; never changed afterwards.
    static const QMap<int, QString> &deviceTypeTable();
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Configuration::DeviceTypes)

// The kind text of a value; empty for a value that is not a kind.
QString deviceTypeToString(int value);

// The first kind, in ascending value order, whose kind text equals `text`; UnknownDevice when none does.
int deviceTypeFromString(const QString &text);
