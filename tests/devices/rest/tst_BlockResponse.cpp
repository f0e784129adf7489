#include "devices/rest/BlockResponse.h"
#include "devices/rest/DataQByteArray.h"
#include "devices/rest/DataQJsonDocument.h"
#include "devices/rest/DataQString.h"
#include "devices/rest/NoneData.h"
#include "support/LogCapture.h"

#include <QMetaEnum>
#include <QtTest>

using namespace restservice;

namespace {

QString payloadClass(const ResponseData &data)
{
    const BaseData *payload = data.payload.data();
    if (!payload)
        return "null";
    if (dynamic_cast<const DataQString *>(payload))
        return "DataQString";
    if (dynamic_cast<const DataQJsonDocument *>(payload))
        return "DataQJsonDocument";
    if (dynamic_cast<const DataQByteArray *>(payload))
        return "DataQByteArray";
    if (dynamic_cast<const NoneData *>(payload))
        return "NoneData";
    return "other";
}

BlockResponse responseWith(const QByteArray &body, const QByteArray &contentType)
{
    BlockResponse response;
    response.data = decodeReplyData(body, contentType, nullptr);
    return response;
}

} // namespace

class tst_BlockResponse : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void defaultRecord();
    void responseDataToJson_data();
    void responseDataToJson();
    void extractErrorResponse_data();
    void extractErrorResponse();
    void enumerations_data();
    void enumerations();
};

void tst_BlockResponse::decode_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("message"); // prefix of the reported message

    const QString missing = "The request's 'Content-Type' header is missing.";
    const QString unsupported = "The request's 'Content-Type' header contains an unsupported format.";
    QTest::newRow("JSON object") << QByteArray(R"({"a":1})") << QByteArray("application/json")
                                 << int(ResponseData::Json) << "DataQJsonDocument" << -1 << QString() << QString();
    QTest::newRow("JSON in capitals") << QByteArray("[1]") << QByteArray("APPLICATION/JSON") << int(ResponseData::Json)
                                      << "DataQJsonDocument" << -1 << QString() << QString();
    QTest::newRow("JSON with charset parameter")
        << QByteArray("{}") << QByteArray("application/json; charset=utf-8") << int(ResponseData::None) << "NoneData"
        << 415 << "unsupported_media_type" << unsupported;
    QTest::newRow("JSON empty body") << QByteArray() << QByteArray("application/json") << int(ResponseData::Json)
                                     << "DataQJsonDocument" << -1 << QString() << QString();
    QTest::newRow("JSON truncated") << QByteArray(R"({"a":)") << QByteArray("application/json")
                                    << int(ResponseData::Json) << "NoneData" << 400 << "parse_error"
                                    << "application/json parse error:  ";
    QTest::newRow("JSON scalar") << QByteArray("42") << QByteArray("application/json") << int(ResponseData::Json)
                                 << "NoneData" << 400 << "parse_error" << "application/json parse error:  ";
    QTest::newRow("text") << QByteArray("h\xc3\xa9llo") << QByteArray("text/plain") << int(ResponseData::String)
                          << "DataQString" << -1 << QString() << QString();
    QTest::newRow("text empty") << QByteArray() << QByteArray("text/plain") << int(ResponseData::String)
                                << "NoneData" << -1 << QString() << QString();
    QTest::newRow("zip") << QByteArray("PK\x03\x04") << QByteArray("application/zip") << int(ResponseData::Bytes)
                         << "DataQByteArray" << -1 << QString() << QString();
    QTest::newRow("zip empty") << QByteArray() << QByteArray("application/zip") << int(ResponseData::Bytes)
                               << "DataQByteArray" << -1 << QString() << QString();
    QTest::newRow("no type, no body") << QByteArray() << QByteArray() << int(ResponseData::None) << "NoneData" << -1
                                      << QString() << QString();
    QTest::newRow("no type, a body") << QByteArray("x") << QByteArray() << int(ResponseData::None) << "NoneData"
                                     << 415 << "unsupported_media_type" << missing;
    QTest::newRow("other type, no body") << QByteArray() << QByteArray("text/html") << int(ResponseData::None)
                                         << "NoneData" << 415 << "unsupported_media_type" << unsupported;
}

void tst_BlockResponse::decode()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    QFETCH(int, kind);
    QFETCH(QString, payload);
    QFETCH(int, code);
    QFETCH(QString, reason);
    QFETCH(QString, message);

    ErrorInfo error;
    error.code = -1; // left untouched when nothing is reported
    const ResponseData data = decodeReplyData(body, contentType, &error);
    QCOMPARE(int(data.kind), kind);
    QCOMPARE(payloadClass(data), payload);
    QCOMPARE(error.code, code);
    QCOMPARE(error.reason, reason);
    QCOMPARE(error.reason.isNull(), reason.isNull());
    QVERIFY2(error.message.startsWith(message), qPrintable(error.message));
    if (reason == "parse_error")
        QVERIFY2(error.message.contains(" at offset "), qPrintable(error.message));

    if (payload == "DataQString")
        QCOMPARE(static_cast<const DataQString *>(data.payload.data())->data, QString::fromUtf8(body));
    if (payload == "DataQByteArray")
        QCOMPARE(static_cast<const DataQByteArray *>(data.payload.data())->data, body);

    const ResponseData copy = data; // copies share the payload
    QCOMPARE(copy.payload.data(), data.payload.data());
}

void tst_BlockResponse::defaultRecord()
{
    const BlockResponse response;
    QCOMPARE(response.statusCode, int(NoResponse));
    QVERIFY(response.requestBody.isNull());
    QCOMPARE(response.data.kind, ResponseData::None);
    QCOMPARE(payloadClass(response.data), QString("NoneData"));
    QCOMPARE(response.requestId, 0u);
    QCOMPARE(response.cubeId, 0);
    QVERIFY(!response.bodyRead);
    QVERIFY(!response.payloadSwapped);
}

void tst_BlockResponse::responseDataToJson_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<bool>("document");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("JSON") << QByteArray(R"({"a":1})") << QByteArray("application/json") << true << QStringList{};
    QTest::newRow("JSON empty body: empty document, no line")
        << QByteArray() << QByteArray("application/json") << true << QStringList{};
    QTest::newRow("JSON broken") << QByteArray("{") << QByteArray("application/json") << false
                                 << QStringList{"Response has no data!"};
    QTest::newRow("text") << QByteArray("a") << QByteArray("text/plain") << false
                          << QStringList{"Response is not in requested format!"};
    QTest::newRow("no body") << QByteArray() << QByteArray() << false
                             << QStringList{"Response is not in requested format!"};
}

void tst_BlockResponse::responseDataToJson()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    QFETCH(bool, document);
    QFETCH(QStringList, errors);

    const BlockResponse response = responseWith(body, contentType);
    LogCapture log;
    const QJsonDocument *json = response.responseDataToJson();
    QCOMPARE(json != nullptr, document);
    QCOMPARE(log.texts(kvr::log::ERR), errors);
    for (const auto &message : log.messages())
        QCOMPARE(message.function(), QString("restservice::ResponseBase::responseDataToJson"));
    if (json && !body.isEmpty())
        QCOMPARE(json->toJson(QJsonDocument::Compact), body);
}

void tst_BlockResponse::extractErrorResponse_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("errors");

    const int keep = 77;
    const QString kept = "kept";
    QTest::newRow("auth error")
        << QByteArray(R"({"error":{"code":401,"reason":"auth_error","message":"Wrong password"}})")
        << QByteArray("application/json") << true << 401 << "auth_error" << "Wrong password" << QStringList{};
    QTest::newRow("error object without fields") << QByteArray(R"({"error":{}})") << QByteArray("application/json")
                                                 << true << 0 << QString() << QString() << QStringList{};
    QTest::newRow("error of wrong type") << QByteArray(R"({"error":"denied"})") << QByteArray("application/json")
                                         << true << 0 << QString() << QString() << QStringList{};
    QTest::newRow("code at the top, no error object")
        << QByteArray(R"({"code":401,"reason":"auth_error"})") << QByteArray("application/json") << false << keep
        << kept << kept << QStringList{};
    QTest::newRow("array body") << QByteArray("[1]") << QByteArray("application/json") << false << keep << kept
                                << kept << QStringList{};
    QTest::newRow("empty JSON body") << QByteArray() << QByteArray("application/json") << false << keep << kept
                                     << kept << QStringList{};
    QTest::newRow("broken JSON") << QByteArray("{\"error\":") << QByteArray("application/json") << false << keep
                                 << kept << kept
                                 << QStringList{"Response has no data!", "Cannot convert data to JSON!"};
    QTest::newRow("text body") << QByteArray("error") << QByteArray("text/plain") << false << keep << kept << kept
                               << QStringList{"Response is not in requested format!", "Cannot convert data to JSON!"};
}

void tst_BlockResponse::extractErrorResponse()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    QFETCH(bool, found);
    QFETCH(int, code);
    QFETCH(QString, reason);
    QFETCH(QString, message);
    QFETCH(QStringList, errors);

    const BlockResponse response = responseWith(body, contentType);
    int outCode = 77;
    QString outReason = "kept";
    QString outMessage = "kept";
    LogCapture log;
    QCOMPARE(response.extractErrorResponse(&outCode, &outReason, &outMessage), found);
    QCOMPARE(outCode, code);
    QCOMPARE(outReason, reason);
    QCOMPARE(outMessage, message);
    QCOMPARE(log.texts(kvr::log::ERR), errors);
    if (errors.contains("Cannot convert data to JSON!"))
        QCOMPARE(log.messages().back().function(), QString("restservice::BlockResponse::extractErrorResponse"));
}

void tst_BlockResponse::enumerations_data()
{
    QTest::addColumn<QByteArray>("enumName");
    QTest::addColumn<int>("keyCount");
    QTest::addColumn<QList<QPair<QByteArray, int>>>("samples");
    QTest::newRow("HttpRespStatus") << QByteArray("HttpRespStatus") << 15
                                    << QList<QPair<QByteArray, int>>{{"NoResponse", 0},
                                                                     {"NoContent", 204},
                                                                     {"NotAcceptable", 406},
                                                                     {"UnsupportedMediaType", 415},
                                                                     {"ServiceUnavailable", 503}};
    QTest::newRow("Operation") << QByteArray("Operation") << 173
                               << QList<QPair<QByteArray, int>>{{"UnknownOperation", -1},
                                                                {"SystemPerformanceStatus", 0},
                                                                {"BlockInfo", 8},
                                                                {"BlockStatusInfo", 9},
                                                                {"BlockSSLInfo", 16},
                                                                {"CubesAll", 25},
                                                                {"CubesCamerasInfo", 27},
                                                                {"CubesAnalyticsInfo", 28},
                                                                {"CameraFilteredTrajectories", 36},
                                                                {"AnalyticEvaluationData", 91},
                                                                {"AnalyticWidgets", 103},
                                                                {"UserAuthorization", 128},
                                                                {"UserLogout", 129},
                                                                {"UserKeepAlive", 135},
                                                                {"UniverseConfig", 143},
                                                                {"PrintReportsList", 145},
                                                                {"MaintenanceManagerNotesUpdate", 172}};
}

// Key names reach logs and statistics through the meta-object system.
void tst_BlockResponse::enumerations()
{
    QFETCH(QByteArray, enumName);
    QFETCH(int, keyCount);
    using Samples = QList<QPair<QByteArray, int>>;
    QFETCH(Samples, samples);

    const QMetaObject &meta = restservice::staticMetaObject;
    const int index = meta.indexOfEnumerator(enumName.constData());
    QVERIFY(index >= 0);
    const QMetaEnum metaEnum = meta.enumerator(index);
    QCOMPARE(metaEnum.keyCount(), keyCount);
    QSet<int> values;
    for (int i = 0; i < metaEnum.keyCount(); ++i)
        values.insert(metaEnum.value(i));
    QCOMPARE(values.size(), keyCount);
    for (const auto &sample : samples) {
        QCOMPARE(metaEnum.keyToValue(sample.first.constData()), sample.second);
        QCOMPARE(QByteArray(metaEnum.valueToKey(sample.second)), sample.first);
    }
    if (enumName == "Operation") {
        QVERIFY(!values.contains(144));
        QCOMPARE(operationName(Operation::CubesAll), QString("CubesAll"));
    } else {
        QCOMPARE(httpRespStatusName(409), QString("Conflict"));
        QCOMPARE(httpRespStatusName(418), QString());
    }
}

QTEST_GUILESS_MAIN(tst_BlockResponse)
#include "tst_BlockResponse.moc"
