#include "app/QmlRegistration.h"
#include "observation/status/AnalyticInfo.h"
#include "observation/status/BlockStatusInfo.h"
#include "observation/status/SourceInfo.h"

#include <QJsonDocument>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

// What the observer views read from the status objects, through the names the shell registers.
class tst_StatusQmlTypes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readFromQml_data();
    void readFromQml();

private:
    AnalyticInfo m_analytic;
    SourceInfo m_source;
    kvr::BlockStatusInfo m_block;
    QQmlEngine m_engine; // gone before the objects it shows
};

void tst_StatusQmlTypes::initTestCase()
{
    registerQmlTypes();
    m_analytic.read(QJsonDocument::fromJson(R"({"state": {"processing_state": "Processing", "visibility_state": "Poor"},
        "home_position": {"pan": 10, "tilt": 5, "zoom": 1}, "cache_count": 4, "time_zone": "UTC"})").object());
    m_source.read(QJsonDocument::fromJson(R"({"source_state": "running",
        "source_info_dynamic": {"version": 1, "data": {"stabilization_state": "Unstable", "ptz_control_state": "Error",
                                                       "ptz_position_state": "Out"}}})").object());
    m_block.read(QJsonDocument::fromJson(R"({"uptime": "42", "time_status": {"ntp_enabled": true, "ntp_servers": ["pool"]}})").object());
    m_engine.rootContext()->setContextProperty(QStringLiteral("analytic"), &m_analytic);
    m_engine.rootContext()->setContextProperty(QStringLiteral("source"), &m_source);
    m_engine.rootContext()->setContextProperty(QStringLiteral("block"), &m_block);
}

void tst_StatusQmlTypes::readFromQml_data()
{
    QTest::addColumn<QByteArray>("expression");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("processing state") << QByteArray("analytic.state.processingState === OrvaGlobal.Processing") << QVariant(true);
    QTest::newRow("home tolerance") << QByteArray("analytic.homeTolerancePan > 0.0009 && analytic.homeTolerancePan < 0.0011")
                                    << QVariant(true);
    QTest::newRow("zone text") << QByteArray("analytic.timeZoneConfig.selectedTimezone") << QVariant(QStringLiteral("UTC"));
    QTest::newRow("PTZ coordinates") << QByteArray("source.PTZCoordsEmpty") << QVariant(false);
    QTest::newRow("stabilization")
        << QByteArray("source.cmClientInfo.sourceInfoDynamic.stabilizationState === SourceInfoDynamic.StabilizationState.Unstable")
        << QVariant(true);
    QTest::newRow("control error is not stabilization error")
        << QByteArray("source.cmClientInfo.sourceInfoDynamic.ptzControlState === SourceInfoDynamic.PTZControlState.Error"
                      " && SourceInfoDynamic.PTZControlState.Error !== SourceInfoDynamic.StabilizationState.Error")
        << QVariant(true);
    QTest::newRow("NTP servers") << QByteArray("block.timeDateStatus.servers.join(',')") << QVariant(QStringLiteral("pool"));
}

void tst_StatusQmlTypes::readFromQml()
{
    QFETCH(QByteArray, expression);
    QFETCH(QVariant, expected);

    QQmlComponent component(&m_engine);
    component.setData("import QtQml 2.15\nimport Client 1.0\nimport SourceStates 1.0\nQtObject { property var value: "
                          + expression + " }",
                      QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    const QVariant value = object->property("value");
    if (expected.userType() == QMetaType::Int)
        QCOMPARE(value.toDouble(), expected.toDouble());
    else
        QCOMPARE(value, expected);
}

QTEST_GUILESS_MAIN(tst_StatusQmlTypes)
#include "tst_StatusQmlTypes.moc"
