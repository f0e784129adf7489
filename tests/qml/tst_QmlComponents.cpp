#include "app/Launcher.h"
#include "app/QmlRegistration.h"

#include <QDir>
#include <QFile>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSettings>
#include <QStandardPaths>
#include <QtQuickTest>

#include <memory>

namespace {

// Where QtLocation's OpenStreetMap plugin keeps its tiles.
QString tileCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
           + QStringLiteral("/QtLocation/5.8/tiles/osm");
}

} // namespace

// Gives the test documents what the launcher gives the interface: its types and context
// properties; and, as "testSupport", a look at what the interface stored.
class Setup : public QObject
{
    Q_OBJECT

public:
    // What the map key page saved into the settings file.
    Q_INVOKABLE QVariant storedMapsSetting(const QString &key) const
    {
        QSettings settings(m_launcher->configPath(), QSettings::IniFormat);
        return settings.value(QStringLiteral("MapsSettings/") + key);
    }

    // Puts one tile into the cache; returns how many files the cache holds then.
    Q_INVOKABLE int addCachedTile() const
    {
        QDir().mkpath(tileCacheFolder());
        QFile tile(tileCacheFolder() + QStringLiteral("/osm_100-l-1-1-1-1.png"));
        if (tile.open(QIODevice::WriteOnly))
            tile.write("png");
        return cachedTileCount();
    }

    Q_INVOKABLE int cachedTileCount() const { return QDir(tileCacheFolder()).entryList(QDir::Files).size(); }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // The settings file and the tile cache of the tests lie apart from the user's.
        QStandardPaths::setTestModeEnabled(true);
        registerQmlTypes();
        if (!m_launcher) {
            m_launcher = std::make_unique<Launcher>();
            m_launcher->prepareSettingsFile();
            QSettings(m_launcher->configPath(), QSettings::IniFormat).remove(QStringLiteral("MapsSettings"));
        }
        m_launcher->publishContextProperties(engine->rootContext());
        engine->rootContext()->setContextProperty(QStringLiteral("testSupport"), this);
    }

    void cleanupTestCase() { m_launcher.reset(); }

private:
    std::unique_ptr<Launcher> m_launcher;
};

QUICK_TEST_MAIN_WITH_SETUP(orva_components, Setup)

#include "tst_QmlComponents.moc"
