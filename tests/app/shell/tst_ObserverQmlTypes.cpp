#include "app/QmlRegistration.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "observation/observers/CubeObserver.h"
#include "observation/observers/ObserverManager.h"
#include "support/ObservedBlockScript.h"
#include "support/SimulatedBlock.h"

#include <QPointer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

// The observer page's types as QML meets them, through the names the shell registers.
class tst_ObserverQmlTypes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void observerPageTypes();
    void objectsHandedToQmlStayOwnedByCpp();

private:
    std::unique_ptr<QObject> create(const QByteArray &body, QString *error = nullptr);

    SimulatedBlock m_block{SimulatedBlock::Scheme::Https};
    FavoriteDeviceModel m_favourites;
    QQmlEngine m_engine; // gone before the models it shows
};

void tst_ObserverQmlTypes::initTestCase()
{
    registerQmlTypes();
    QVERIFY(m_block.listen());
    ObservedBlockScript script;
    script.blockVersion = QStringLiteral("1.16.0"); // cameras stay away from any node
    script.install(m_block);
    FavoriteDevice device(QStringLiteral("127.0.0.1:%1").arg(m_block.port()), QStringLiteral("operator"),
                          QStringLiteral("secret"));
    device.setName(QStringLiteral("Yard"));
    m_favourites.addDevice(device);
    m_engine.rootContext()->setContextProperty(QStringLiteral("favourites"), &m_favourites);
}

std::unique_ptr<QObject> tst_ObserverQmlTypes::create(const QByteArray &body, QString *error)
{
    QQmlComponent component(&m_engine);
    component.setData("import QtQml 2.15\nimport QtQml.Models 2.15\nimport Observer 1.0\nimport Client 1.0\n" + body,
                      QUrl());
    std::unique_ptr<QObject> object(component.create());
    if (error)
        *error = component.errorString();
    return object;
}

void tst_ObserverQmlTypes::observerPageTypes()
{
    QString error;
    const auto page = create(R"(QtObject {
        property ObserverManager manager: ObserverManager { sourceModel: favourites }
        property CubeObserverSortFilterProxyModel cubes: CubeObserverSortFilterProxyModel {
            sourceModel: manager.cubeModel }
        property DeviceObserverSortFilterProxyModel devices: DeviceObserverSortFilterProxyModel {
            sourceModel: manager.deviceModel }
        property Instantiator rows: Instantiator { model: manager.deviceModel
            delegate: QtObject { property string name: NameRole
                                 property bool loggedIn: LoginStatusRole === Client.LoggedIn } }
        property Instantiator cubeRows: Instantiator { model: manager.cubeModel
            delegate: QtObject { property string name: CubeNameRole; property int number: ObserverIdRole } }
        property bool cubeView: manager.observerViewStyle === ObserverManager.CubeView
    })", &error);
    QVERIFY2(page, qPrintable(error));
    QVERIFY(page->property("cubeView").toBool());
    auto *rows = page->property("rows").value<QObject *>();
    auto *cubeRows = page->property("cubeRows").value<QObject *>();
    QTRY_COMPARE(cubeRows->property("count").toInt(), 2);
    QObject *row = nullptr;
    QMetaObject::invokeMethod(rows, "objectAt", Q_RETURN_ARG(QObject *, row), Q_ARG(int, 0));
    QVERIFY(row);
    QCOMPARE(row->property("name").toString(), QStringLiteral("Yard"));
    QTRY_VERIFY(row->property("loggedIn").toBool());
    QObject *cube = nullptr;
    QMetaObject::invokeMethod(cubeRows, "objectAt", Q_RETURN_ARG(QObject *, cube), Q_ARG(int, 1));
    QCOMPARE(cube->property("name").toString(), QStringLiteral("Cube 2"));
    QCOMPARE(cube->property("number").toInt(), 2);
    QCOMPARE(page->property("devices").value<QObject *>()->property("count").toInt(), 1);
}

void tst_ObserverQmlTypes::objectsHandedToQmlStayOwnedByCpp()
{
    ObserverManager manager;
    manager.setSourceModel(&m_favourites);
    QTRY_COMPARE(manager.cubeModel()->rowCount(), 2);
    m_engine.rootContext()->setContextProperty(QStringLiteral("observed"), &manager);
    // Objects returned by an invokable belong to the JavaScript engine unless C++ says otherwise;
    // collecting them would delete what shared pointers own.
    QString error;
    auto reader = create(R"(QtObject {
        function touch() {
            var cube = observed.cubeModel.data(observed.cubeModel.index(0, 0), CubeObserverModel.ObjectRole)
            var status = observed.deviceModel.data(observed.deviceModel.index(0, 0), DeviceObserverModel.StatusInfoRole)
            var analytics = cube.analyticInfo
            return cube.cubeName + (status !== null) + (analytics !== null)
        }
    })", &error);
    QVERIFY2(reader, qPrintable(error));
    QVariant text;
    QMetaObject::invokeMethod(reader.get(), "touch", Q_RETURN_ARG(QVariant, text));
    QCOMPARE(text.toString(), QStringLiteral("Cube 1truetrue"));
    const QPointer<QObject> cube = manager.cubeModel()->at(manager.cubeModel()->index(0, 0)).get();
    const QPointer<QObject> status = manager.deviceModel()->at(manager.deviceModel()->index(0, 0))->blockStatus();
    reader.reset();
    m_engine.collectGarbage();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(cube);
    QVERIFY(status);
    m_engine.rootContext()->setContextProperty(QStringLiteral("observed"), nullptr);
}

QTEST_MAIN(tst_ObserverQmlTypes)
#include "tst_ObserverQmlTypes.moc"
