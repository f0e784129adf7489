#include "devices/rest/BlockResponse.h"
#include "observation/xdev/XDevObjectManager.h"
#include "support/LogCapture.h"
#include "support/ModelTester.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

std::shared_ptr<restservice::BlockResponse> reply(const QByteArray &body, const QByteArray &contentType)
{
    auto response = std::make_shared<restservice::BlockResponse>();
    response->statusCode = 200;
    response->data = restservice::decodeReplyData(body, contentType, nullptr);
    return response;
}

void handle(XDevObjectManager &manager, const std::shared_ptr<restservice::BlockResponse> &response)
{
    QVERIFY(QMetaObject::invokeMethod(&manager, "handleXDevObjectStates",
                                      Q_ARG(std::shared_ptr<restservice::BlockResponse>, response)));
}

const QByteArray kJson = QByteArrayLiteral("application/json");

} // namespace

class tst_XDevObjectManager : public QObject
{
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void replyWithoutJsonKeepsRows_data();
    void replyWithoutJsonKeepsRows();
    void stateFields_data();
    void stateFields();
};

void tst_XDevObjectManager::replies_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<int>("managerResets");
    QTest::addColumn<QString>("logged");

    const QByteArray full = R"({"id": 7, "type": "tl", "name": "A", "manufacturer": "m", "serial_number": "s", "state": {}})";
    QTest::newRow("empty array") << QByteArray(R"({"states": []})") << QList<int>() << 1 << QString();
    QTest::newRow("states an object") << QByteArray(R"({"states": {}})") << QList<int>() << 0 << QString();
    QTest::newRow("no states") << QByteArray(R"({"other": 1})") << QList<int>() << 0 << QString();
    QTest::newRow("one device") << "{\"states\": [" + full + "]}" << QList<int>{7000000} << 1 << QString();
    QTest::newRow("required key missing keeps a placeholder")
        << QByteArray(R"({"states": [{"id": 3, "name": "x"}]})") << QList<int>{-1000000} << 1 << QString();
    QTest::newRow("not an object keeps a placeholder")
        << QByteArray(R"({"states": [5]})") << QList<int>{-1000000} << 1 << QString();
    QTest::newRow("largest id that fits")
        << QByteArray(R"({"states": [{"id": 2147, "type": "", "name": "", "manufacturer": "", "serial_number": "", "state": {}}]})")
        << QList<int>{2147000000} << 1 << QString();
    QTest::newRow("id beyond int is skipped")
        << QByteArray(R"({"states": [{"id": 2148, "type": "", "name": "", "manufacturer": "", "serial_number": "", "state": {}},)"
                      R"({"id": -2148, "type": "", "name": "", "manufacturer": "", "serial_number": "", "state": {}}, )" + full + "]}")
        << QList<int>{7000000} << 1 << QStringLiteral("External device id 2148 is out of range; the device is skipped.");
}

void tst_XDevObjectManager::replies()
{
    QFETCH(QByteArray, body);
    QFETCH(QList<int>, ids);
    QFETCH(int, managerResets);
    QFETCH(QString, logged);

    XDevObjectManager manager;
    ModelTester tester(manager.model());
    handle(manager, reply(R"({"states": [{"id": 1, "type": "", "name": "", "manufacturer": "", "serial_number": "", "state": {}}]})", kJson));
    QCOMPARE(manager.model()->rowCount(), 1);

    QSignalSpy resets(&manager, &XDevObjectManager::modelReset);
    QSignalSpy modelResets(manager.model(), &QAbstractItemModel::modelReset);
    QVERIFY(resets.isValid() && modelResets.isValid());
    LogCapture log;
    handle(manager, reply(body, kJson));

    QList<int> actual;
    for (const XDevObject &object : manager.model()->items())
        actual.append(object.id);
    QCOMPARE(actual, ids);
    QCOMPARE(resets.count(), managerResets);
    QCOMPARE(modelResets.count(), 1); // the old rows always go
    if (!logged.isEmpty())
        QVERIFY2(log.contains(logged), qPrintable(log.texts().join(QLatin1Char('\n'))));
    for (int id : ids)
        QCOMPARE(manager.model()->objectById(id).id, id);
    QVERIFY(manager.model()->objectById(7).id < 0); // the block's own id finds nothing
    QCOMPARE(tester.failures(), QStringList());
}

void tst_XDevObjectManager::replyWithoutJsonKeepsRows_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::newRow("no body") << QByteArray() << kJson;
    QTest::newRow("broken JSON") << QByteArray("{\"states\": [") << kJson;
    QTest::newRow("text reply") << QByteArray("states") << QByteArray("text/plain");
}

void tst_XDevObjectManager::replyWithoutJsonKeepsRows()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);

    XDevObjectManager manager;
    handle(manager, reply(R"({"states": [{"id": 4, "type": "", "name": "", "manufacturer": "", "serial_number": "", "state": {}}]})", kJson));
    QSignalSpy resets(manager.model(), &QAbstractItemModel::modelReset);
    QVERIFY(resets.isValid());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[FATAL\\] .*handleXDevObjectStates.* Cannot convert data to JSON!$")));
    handle(manager, reply(body, contentType));
    QCOMPARE(resets.count(), 0);
    QCOMPARE(manager.model()->rowCount(), 1);
    QCOMPARE(manager.model()->objectById(4000000).id, 4000000);
}

void tst_XDevObjectManager::stateFields_data()
{
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<qint64>("timestamp");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");

    QTest::newRow("time as text") << QByteArray(R"({"timestamp": "1700000000123"})") << Q_INT64_C(1700000000123) << 0.0 << 0.0;
    QTest::newRow("time as number reads 0") << QByteArray(R"({"timestamp": 1700000000123})") << Q_INT64_C(0) << 0.0 << 0.0;
    QTest::newRow("time not digits") << QByteArray(R"({"timestamp": "12a"})") << Q_INT64_C(0) << 0.0 << 0.0;
    QTest::newRow("position") << QByteArray(R"({"position": {"lat": 46.05, "lon": 14.5}})") << Q_INT64_C(0) << 46.05 << 14.5;
    QTest::newRow("position as texts") << QByteArray(R"({"position": {"lat": "46", "lon": "14"}})") << Q_INT64_C(0) << 0.0 << 0.0;
}

void tst_XDevObjectManager::stateFields()
{
    QFETCH(QByteArray, state);
    QFETCH(qint64, timestamp);
    QFETCH(double, lat);
    QFETCH(double, lon);

    XDevObjectManager manager;
    handle(manager, reply(R"({"states": [{"id": 1, "type": "", "name": "", "manufacturer": "", "serial_number": "", "state": )"
                              + state + "}]}",
                          kJson));
    const XDevState read = manager.model()->objectById(1000000).state;
    QCOMPARE(read.timestamp, timestamp);
    QCOMPARE(read.lat, lat);
    QCOMPARE(read.lon, lon);
}

QTEST_GUILESS_MAIN(tst_XDevObjectManager)
#include "tst_XDevObjectManager.moc"
