#include "app/Launcher.h"
#include "app/QmlRegistration.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

#include <memory>

// Gives the test documents what the launcher gives the interface: its types and context
// properties.
class Setup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        registerQmlTypes();
        if (!m_launcher)
            m_launcher = std::make_unique<Launcher>();
        m_launcher->publishContextProperties(engine->rootContext());
    }

    void cleanupTestCase() { m_launcher.reset(); }

private:
    std::unique_ptr<Launcher> m_launcher;
};

QUICK_TEST_MAIN_WITH_SETUP(orva_components, Setup)

#include "tst_QmlComponents.moc"
