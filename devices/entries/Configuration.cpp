#include "devices/entries/Configuration.h"

const QMap<int, QString> &Configuration::deviceTypeTable()
{
    // Files and peers store these texts: they must never change.
    static const QMap<int, QString> table{
        {UnknownDevice, QStringLiteral("unknown")},
        {Camera, QStringLiteral("camera")},
        {CameraLight, QStringLiteral("camera_light")},
        {EmbeddedNano, QStringLiteral("embedded_nano")},
        {EmbeddedMicro, QStringLiteral("embedded_micro")},
        {EmbeddedMacro, QStringLiteral("embedded_macro")},
        {Enterprise, QStringLiteral("enterprise")},
        {Brimvale, QStringLiteral("brimvale")},
        {Aerial, QStringLiteral("aerial")},
        {EmbeddedMacroOrin, QStringLiteral("embedded_macro_orin")},
        {EmbeddedMicroOrin, QStringLiteral("embedded_micro_orin")},
        {EmbeddedNanoOrin, QStringLiteral("embedded_nano_orin")},
        {EmbeddedMacroOrinAerial, QStringLiteral("embedded_macro_orin_aerial")},
    };
    return table;
}

QString deviceTypeToString(int value)
{
    return Configuration::deviceTypeTable().value(value);
}

int deviceTypeFromString(const QString &text)
{
    const auto &table = Configuration::deviceTypeTable();
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        if (it.value() == text)
            return it.key();
    }
    return Configuration::UnknownDevice;
}
