#include "devices/discovery/AnnouncementReader.h"

#include "app/services/BrandConfiguration.h"
#include "app/services/TimeConverter.h"
#include "devices/entries/NetworkDevice.h"
#include "devices/mdns/Service.h"

namespace {

QString text(const QMap<QByteArray, QByteArray> &attributes, const QByteArray &key)
{
    return QString::fromUtf8(attributes.value(key));
}

qint64 number(const QMap<QByteArray, QByteArray> &attributes, const QByteArray &key)
{
    bool ok = false;
    const qint64 value = attributes.value(key).toLongLong(&ok);
    return ok ? value : 0;
}

} // namespace

void AnnouncementReader::fill(NetworkDevice &device, const mdns::Service &service)
{
    const QMap<QByteArray, QByteArray> attributes = service.attributes();
    if (!service.name().startsWith("ORVA")) {
        // QMap keeps its keys in ascending byte order.
        QStringList rows;
        for (auto it = attributes.cbegin(); it != attributes.cend(); ++it) {
            if (!it.value().isEmpty())
                rows.append(QString::fromUtf8(it.key()) + QStringLiteral(": ") + QString::fromUtf8(it.value()));
        }
        device.setOrvaUnit(false);
        device.setAttributes(rows.join(QStringLiteral(", ")));
        return;
    }

    const QString blockName = text(attributes, "block_name");
    if (!blockName.isEmpty())
        device.setBlockName(blockName);
    const QString hostType = text(attributes, "host_type");
    if (!hostType.isEmpty())
        device.setHostType(hostType);

    const BrandConfiguration *brand = BrandConfiguration::instance();
    QStringList rows;
    const QString hostId = text(attributes, "host_id");
    if (!hostId.isEmpty())
        rows.append(tr("host id") + QStringLiteral(": \u2026") + hostId.right(5));
    const qint64 hostUptime = number(attributes, "host_uptime");
    if (hostUptime > 0)
        rows.append(tr("host uptime") + QStringLiteral(": ")
                    + utils::gui::TimeConverter::millisecondsToDHMS(hostUptime, false));
    const QString version = text(attributes, "orva_version");
    if (!version.isEmpty())
        rows.append(brand->deviceName().toLower() + QLatin1Char(' ') + tr("version") + QStringLiteral(": ")
                    + brand->productName() + QLatin1Char(' ') + version);
    const qint64 blockUptime = number(attributes, "block_uptime");
    if (blockUptime > 0)
        rows.append(brand->deviceName().toLower() + QLatin1Char(' ') + tr("uptime") + QStringLiteral(": ")
                    + utils::gui::TimeConverter::millisecondsToDHMS(blockUptime, false));
    device.setOrvaUnit(true);
    device.setAttributes(rows.join(QStringLiteral(", ")));

    // A peer may announce any count; rows beyond what a TXT record can describe are not built.
    const int count = int(qBound<qint64>(0, number(attributes, "interfaces\\size"), MaxInterfaces));
    QList<ORVAmDNSDeviceInterface> interfaces;
    for (int i = 0; i < count; ++i) {
        const QByteArray prefix = "interfaces\\" + QByteArray::number(i) + '\\';
        ORVAmDNSDeviceInterface interface;
        interface.name = text(attributes, prefix + "name");
        interface.ipv4 = text(attributes, prefix + "ipv4");
        interface.ipv6 = text(attributes, prefix + "ipv6");
        interface.mac = text(attributes, prefix + "mac");
        interfaces.append(interface);
    }
    device.setInterfaces(interfaces);
}
