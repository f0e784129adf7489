#include "app/services/BrandConfiguration.h"

#include "core/log/Log.h"

#include <QFileInfo>

BrandConfiguration *BrandConfiguration::instance()
{
    static BrandConfiguration *brand = new BrandConfiguration;
    return brand;
}

BrandConfiguration::BrandConfiguration(QObject *parent)
    : QObject(parent)
    , m_productName(QStringLiteral("ORVA"))
    , m_deviceName(QStringLiteral("Block"))
    , m_trackerName(QStringLiteral("Tracker"))
    , m_applicationName(QStringLiteral("Vellorin"))
    , m_demoKitName(QStringLiteral("Brimvale"))
    , m_logoPath(QStringLiteral("qrc:/images/logo.svg"))
    , m_iconPath(QStringLiteral(":/images/icon.svg"))
    , m_headingColor(QStringLiteral("#4b79c6"))
{
    m_helpLinks.insert(QStringLiteral("en-US"), QStringLiteral("https://help.orva.example/en"));
    m_aboutLinks.insert(QStringLiteral("en-US"), QStringLiteral("https://orva.example/about"));
}

bool BrandConfiguration::loadPackage(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        LOG_WRN(QStringLiteral("[INFO] Brand package %1 is not readable, the built-in brand stays.").arg(path));
        return false;
    }
    // Reading custom packages is not supported in this build; the built-in brand stays.
    LOG_WRN(QStringLiteral("[INFO] Brand package %1 could not be read, the built-in brand stays.").arg(path));
    return false;
}
