#include "app/Launcher.h"
#include "app/QmlRegistration.h"
#include "observation/maps/HostMapsManager.h"
#include "support/SimulatedTileServer.h"

#include <QDirIterator>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

#include <memory>

namespace {

QStringList g_messages;

void collectMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_messages << message;
}

} // namespace

// Every QML document of the interface loads and builds without an error or a warning, with the
// context properties the launcher sets.
class tst_QmlDocuments : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyDocumentIsShipped();
    void documentLoads_data();
    void documentLoads();
    void styleSingleton();
    void cleanupTestCase();

private:
    SimulatedTileServer m_tiles;
    std::unique_ptr<Launcher> m_launcher;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    QtMessageHandler m_previousHandler = nullptr;
};

static QStringList documentsOnDisk()
{
    const QDir root(QStringLiteral(ORVA_SOURCE_DIR "/qml"));
    QStringList documents;
    QDirIterator it(root.path(), {QStringLiteral("*.qml")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        documents << root.relativeFilePath(it.next());
    documents.sort();
    return documents;
}

void tst_QmlDocuments::initTestCase()
{
    registerQmlTypes();
    // The map documents load tiles: from our own server, and nothing from anywhere else.
    QVERIFY(m_tiles.listen());
    m_tiles.catchForeignRequests();
    m_launcher = std::make_unique<Launcher>();
    m_launcher->mapsManager()->hostManager()->setOpenStreetMapTileServer(m_tiles.baseUrl());
    m_engine = std::make_unique<QQmlEngine>();
    m_launcher->publishContextProperties(m_engine->rootContext());
    m_window = std::make_unique<QQuickWindow>();
    m_window->resize(1280, 800);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_previousHandler = qInstallMessageHandler(collectMessages);
}

void tst_QmlDocuments::cleanupTestCase()
{
    QCOMPARE(m_tiles.foreignHosts(), QStringList());
    qInstallMessageHandler(m_previousHandler);
    m_window.reset();
    m_engine.reset();
    m_launcher.reset();
}

void tst_QmlDocuments::everyDocumentIsShipped()
{
    const QStringList documents = documentsOnDisk();
    QVERIFY(documents.contains(QStringLiteral("main.qml")));
    for (const QString &document : documents)
        QVERIFY2(QFile::exists(QStringLiteral(":/qml/") + document), qPrintable(document + " is missing in qml.qrc"));
}

void tst_QmlDocuments::documentLoads_data()
{
    QTest::addColumn<QString>("document");
    for (const QString &document : documentsOnDisk())
        QTest::newRow(qPrintable(document)) << document;
}

void tst_QmlDocuments::documentLoads()
{
    QFETCH(QString, document);

    QFile source(QStringLiteral(":/qml/") + document);
    QVERIFY(source.open(QIODevice::ReadOnly));
    if (source.readAll().contains("pragma Singleton"))
        QSKIP("A singleton is built through its users (styleSingleton).");

    g_messages.clear();
    QList<QQmlError> engineWarnings;
    auto connection = connect(m_engine.get(), &QQmlEngine::warnings, this,
                              [&engineWarnings](const QList<QQmlError> &warnings) { engineWarnings += warnings; });

    QQmlComponent component(m_engine.get(), QUrl(QStringLiteral("qrc:/qml/") + document));
    QVERIFY2(component.isReady(), qPrintable(component.errorString()));
    std::unique_ptr<QObject> object(component.beginCreate(m_engine->rootContext()));
    QVERIFY2(object, qPrintable(component.errorString()));
    if (auto *item = qobject_cast<QQuickItem *>(object.get())) {
        item->setParentItem(m_window->contentItem());
        if (item->width() <= 0 || item->height() <= 0)
            item->setSize(QSizeF(m_window->width(), m_window->height()));
    }
    component.completeCreate();
    // Let layouts, loaders and the first frame run.
    auto frames = std::make_shared<int>(0); // a queued call may come after the disconnect
    const auto frameConnection = connect(m_window.get(), &QQuickWindow::frameSwapped, this, [frames]() { ++*frames; },
                                         Qt::QueuedConnection);
    m_window->update();
    const bool shown = QTest::qWaitFor([frames]() { return *frames > 0; }, 5000);
    disconnect(frameConnection);
    QVERIFY(shown);
    object.reset();
    QCoreApplication::processEvents();
    disconnect(connection);

    for (const QQmlError &warning : qAsConst(engineWarnings))
        g_messages << warning.toString();
    QVERIFY2(g_messages.isEmpty(), qPrintable(g_messages.join(QLatin1Char('\n'))));
}

void tst_QmlDocuments::styleSingleton()
{
    QQmlComponent component(m_engine.get());
    component.setData("import QtQuick 2.15\nimport Orva.Style 1.0\n"
                      "QtObject { property color running: Style.runningColor; property color failure: Style.failureColor;"
                      " property color disabled: Style.disabledColor; property color loginFailed: Style.loginFailedColor }",
                      QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("style.qml"))));
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    // The state colours every view shares.
    QCOMPARE(object->property("running").value<QColor>(), QColor(QStringLiteral("#4b79c6")));
    QCOMPARE(object->property("failure").value<QColor>(), QColor(QStringLiteral("#f08a24")));
    QCOMPARE(object->property("disabled").value<QColor>(), QColor(QStringLiteral("#b3b3b3")));
    QCOMPARE(object->property("loginFailed").value<QColor>(), QColor(QStringLiteral("#c70000")));
}

QTEST_MAIN(tst_QmlDocuments)
#include "tst_QmlDocuments.moc"
