#include "devices/rest/BoundedNetworkAccessManager.h"
#include "support/SimulatedBlock.h"

#include <QNetworkReply>
#include <QtTest>

#include <memory>

namespace {

// What a caller of the reply does from inside its signals.
enum class Caller {
    Nothing,
    AbortOnError,
    AllowInRedirected,
    CloseInRedirected,
    CloseWhileWaiting,
    AbortWhileWaiting,
};

} // namespace

Q_DECLARE_METATYPE(Caller)

// A bounded reply keeps Qt's reply contract on the paths where it works itself: refused and
// user-verified redirects, and a caller that ends the reply from inside one of its signals.
class tst_BoundedReply : public QObject
{
    Q_OBJECT

private slots:
    void endsOnceWhateverTheCallerDoes_data();
    void endsOnceWhateverTheCallerDoes();
};

void tst_BoundedReply::endsOnceWhateverTheCallerDoes_data()
{
    QTest::addColumn<QNetworkRequest::RedirectPolicy>("policy");
    QTest::addColumn<QByteArray>("location"); // of the 301 at "/moved"; %1 is the peer's port
    QTest::addColumn<bool>("post");
    QTest::addColumn<Caller>("caller");
    QTest::addColumn<QNetworkReply::NetworkError>("error");
    QTest::addColumn<QStringList>("requests"); // what the peer saw
    QTest::addColumn<QByteArray>("body");

    const auto safe = QNetworkRequest::NoLessSafeRedirectPolicy;
    const auto verified = QNetworkRequest::UserVerifiedRedirectPolicy;
    const QStringList once{"GET /moved"};
    const QStringList followed{"GET /moved", "GET /ok"};
    QStringList loop;
    for (int request = 0; request <= 50; ++request) // the first and Qt's 50 redirects
        loop << "GET /moved";
    QTest::newRow("redirect loop, aborted on its error")
        << safe << QByteArray("/moved") << false << Caller::AbortOnError << QNetworkReply::TooManyRedirectsError
        << loop << QByteArray();
    QTest::newRow("other origin under same-origin, aborted on its error")
        << QNetworkRequest::SameOriginRedirectPolicy << QByteArray("http://localhost:%1/ok") << false
        << Caller::AbortOnError << QNetworkReply::InsecureRedirectError << once << QByteArray();
    QTest::newRow("a local file, aborted on its error")
        << safe << QByteArray("file://" ORVA_SOURCE_DIR "/README.md") << false << Caller::AbortOnError
        << QNetworkReply::ProtocolUnknownError << once << QByteArray();
    QTest::newRow("closed in redirected") << safe << QByteArray("/ok") << false << Caller::CloseInRedirected
                                          << QNetworkReply::OperationCanceledError << once << QByteArray();
    QTest::newRow("user-verified, allowed in redirected") << verified << QByteArray("/ok") << false
                                                          << Caller::AllowInRedirected << QNetworkReply::NoError
                                                          << followed << QByteArray("done");
    QTest::newRow("user-verified, closed while waiting") << verified << QByteArray("/ok") << false
                                                         << Caller::CloseWhileWaiting
                                                         << QNetworkReply::OperationCanceledError << once << QByteArray();
    QTest::newRow("user-verified, aborted while waiting") << verified << QByteArray("/ok") << false
                                                          << Caller::AbortWhileWaiting
                                                          << QNetworkReply::OperationCanceledError << once << QByteArray();
    QTest::newRow("a post moved for good asks with GET")
        << safe << QByteArray("/ok") << true << Caller::Nothing << QNetworkReply::NoError
        << QStringList{"POST /moved payload", "GET /ok"} << QByteArray("done");
}

// Each row ends with its error, `finished` once and nothing after it, and the peer asked no
// more than the row's requests.
void tst_BoundedReply::endsOnceWhateverTheCallerDoes()
{
    QFETCH(QNetworkRequest::RedirectPolicy, policy);
    QFETCH(QByteArray, location);
    QFETCH(bool, post);
    QFETCH(Caller, caller);
    QFETCH(QNetworkReply::NetworkError, error);
    QFETCH(QStringList, requests);
    QFETCH(QByteArray, body);

    SimulatedBlock peer;
    QVERIFY(peer.listen());
    peer.setReply("/moved", SimulatedBlock::movedTo(location.replace("%1", QByteArray::number(peer.port()))));
    peer.setReply("/ok", 200, "text/plain", "done");

    BoundedNetworkAccessManager manager;
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/moved").arg(peer.port())));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, policy);
    if (post)
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("text/plain"));
    const std::unique_ptr<QNetworkReply> reply(post ? manager.post(request, QByteArray("payload"))
                                                    : manager.get(request));

    QStringList emitted;
    QByteArray read;
    QNetworkReply *const r = reply.get();
    connect(r, &QNetworkReply::errorOccurred, this, [&emitted, r, caller](QNetworkReply::NetworkError code) {
        emitted << QStringLiteral("errorOccurred(%1)").arg(code);
        if (caller == Caller::AbortOnError)
            r->abort();
    });
    connect(r, &QNetworkReply::redirected, this, [&emitted, r, caller]() {
        emitted << QStringLiteral("redirected");
        if (caller == Caller::AllowInRedirected)
            emit r->redirectAllowed();
        else if (caller == Caller::CloseInRedirected)
            r->close();
        else if (caller == Caller::CloseWhileWaiting)
            QTimer::singleShot(50, r, [r]() { r->close(); });
        else if (caller == Caller::AbortWhileWaiting)
            QTimer::singleShot(50, r, [r]() { r->abort(); });
    });
    connect(r, &QNetworkReply::metaDataChanged, this, [&emitted]() { emitted << QStringLiteral("metaDataChanged"); });
    connect(r, &QNetworkReply::readyRead, this, [&emitted]() { emitted << QStringLiteral("readyRead"); });
    connect(r, &QNetworkReply::finished, this, [&emitted, &read, r]() {
        emitted << QStringLiteral("finished");
        if (r->isOpen())
            read = r->readAll();
    });

    QTRY_VERIFY_WITH_TIMEOUT(emitted.contains(QStringLiteral("finished")), 5000);
    // Anything late, a second transfer included, has the time to show.
    QTest::qWait(200);
    // Ending a finished reply does nothing.
    reply->abort();
    reply->close();
    QCOMPARE(emitted.count(QStringLiteral("finished")), 1);
    QCOMPARE(emitted.last(), QStringLiteral("finished"));
    QCOMPARE(emitted.filter(QStringLiteral("errorOccurred")).size(), error == QNetworkReply::NoError ? 0 : 1);
    QCOMPARE(reply->error(), error);
    QCOMPARE(read, body);
    if (error == QNetworkReply::NoError) {
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QVERIFY(!reply->hasRawHeader("Location"));
    }
    QStringList seen;
    for (const SimulatedBlock::Request &asked : peer.requests())
        seen << QString::fromLatin1((asked.method + ' ' + asked.path + ' ' + asked.body).trimmed());
    QCOMPARE(seen, requests);
}

QTEST_GUILESS_MAIN(tst_BoundedReply)
#include "tst_BoundedReply.moc"
