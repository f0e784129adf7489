#include "devices/rest/BoundedReply.h"

#include "devices/rest/BoundedNetworkAccessManager.h"

#include <QCoreApplication>

#include <cstring>
#include <utility>

namespace {

QNetworkRequest::RedirectPolicy redirectPolicyOf(const QNetworkRequest &request,
                                                 QNetworkRequest::RedirectPolicy managerPolicy)
{
    const QString scheme = request.url().scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return QNetworkRequest::ManualRedirectPolicy;
    const QVariant policy = request.attribute(QNetworkRequest::RedirectPolicyAttribute);
    return policy.isValid() ? QNetworkRequest::RedirectPolicy(policy.toInt()) : managerPolicy;
}

// As Qt picks it: 307 and 308 keep the method and its body, the others ask with GET (HEAD stays).
QNetworkAccessManager::Operation redirectOperation(QNetworkAccessManager::Operation operation, int status)
{
    if (status == 307 || status == 308 || operation == QNetworkAccessManager::HeadOperation)
        return operation;
    return QNetworkAccessManager::GetOperation;
}

} // namespace

BoundedReply::BoundedReply(BoundedNetworkAccessManager *manager, QNetworkAccessManager::Operation operation,
                           const QNetworkRequest &request, QIODevice *outgoingData, qint64 limit)
    : QNetworkReply(manager)
    , m_manager(manager)
    , m_request(request)
    , m_outgoingData(outgoingData)
    , m_redirectPolicy(redirectPolicyOf(request, manager->redirectPolicy()))
    , m_redirectsLeft(request.maximumRedirectsAllowed())
    , m_limit(limit)
{
    setOperation(operation);
    setRequest(request);
    setUrl(request.url());
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    // Every transfer answers here, redirects included.
    m_request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    connect(this, &QNetworkReply::redirectAllowed, this, [this]() {
        if (!m_redirectPending || isFinished())
            return;
        m_redirectPending = false;
        startTransfer();
    });
    startTransfer();
}

BoundedReply::~BoundedReply()
{
    if (!m_inner)
        return;
    m_inner->disconnect(this);
    // Its destruction ends the transfer, and a start still queued for it with it.
    delete m_inner;
}

void BoundedReply::startTransfer()
{
    if (!m_manager) {
        cancel();
        return;
    }
    m_inner = m_manager->startTransfer(operation(), m_request, m_outgoingData);
    QNetworkReply *const inner = m_inner;
    // Owned here, not by the manager, so that it goes before the body of a post, which Qt
    // parents to this reply, and so that the manager, which deletes its replies when it goes,
    // never meets it twice.
    inner->setParent(nullptr);
    // Qt hands the window to its HTTP thread only once the transfer has started, which a request
    // with a body does from the event loop: asked again from there, after it.
    inner->setReadBufferSize(WindowBytes);
    QMetaObject::invokeMethod(inner, [inner]() { inner->setReadBufferSize(WindowBytes); }, Qt::QueuedConnection);

    connect(inner, &QNetworkReply::metaDataChanged, this, [this]() {
        if (isRedirect()) {
            redirect();
            return;
        }
        copyMetaData();
        emit metaDataChanged();
        const QVariant length = header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_limit)
            exceed();
    });
    connect(inner, &QNetworkReply::readyRead, this, &BoundedReply::take);
    connect(inner, &QNetworkReply::downloadProgress, this, &QNetworkReply::downloadProgress);
    connect(inner, &QNetworkReply::uploadProgress, this, &QNetworkReply::uploadProgress);
    connect(inner, &QNetworkReply::errorOccurred, this, [this](QNetworkReply::NetworkError code) {
        setError(code, m_inner->errorString());
        emit errorOccurred(code);
    });
#if QT_CONFIG(ssl)
    connect(inner, &QNetworkReply::encrypted, this, &QNetworkReply::encrypted);
    connect(inner, &QNetworkReply::sslErrors, this, &QNetworkReply::sslErrors);
#endif
    connect(inner, &QNetworkReply::finished, this, &BoundedReply::finish);
#if QT_CONFIG(ssl)
    if (m_ignoreAllSslErrors)
        inner->ignoreSslErrors();
    if (!m_ignoredSslErrors.isEmpty())
        inner->ignoreSslErrors(m_ignoredSslErrors);
#endif
}

void BoundedReply::dropTransfer()
{
    if (!m_inner)
        return;
    QNetworkReply *const inner = std::exchange(m_inner, nullptr);
    inner->disconnect(this);
    // A transfer that failed has ended; aborting it again only makes Qt warn.
    if (inner->error() == NoError)
        inner->abort();
    // Also when called from one of its own signals: it goes once that has returned.
    inner->deleteLater();
}

bool BoundedReply::isRedirect() const
{
    if (m_redirectPolicy == QNetworkRequest::ManualRedirectPolicy)
        return false;
    switch (m_inner->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()) {
    case 301:
    case 302:
    case 303:
    case 305:
    case 307:
    case 308:
        return true;
    default:
        return false;
    }
}

void BoundedReply::redirect()
{
    copyMetaData();
    const int status = attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QUrl from = m_inner->url();
    const QUrl location = QUrl::fromEncoded(m_inner->rawHeader("Location"));
    // The redirect's own body is never read.
    dropTransfer();
    const QUrl to = from.resolved(location);
    if (!location.isValid() || (to.scheme() != QLatin1String("http") && to.scheme() != QLatin1String("https"))) {
        fail(ProtocolUnknownError, QCoreApplication::translate("QHttp", "Unknown protocol specified"));
        return;
    }
    if (m_redirectsLeft <= 0) {
        fail(TooManyRedirectsError, QCoreApplication::translate("QHttp", "Too many redirects"));
        return;
    }
    const bool otherOrigin = to.scheme() != from.scheme() || to.host() != from.host() || to.port() != from.port();
    const bool lessSafe = from.scheme() == QLatin1String("https") && to.scheme() == QLatin1String("http");
    if ((m_redirectPolicy == QNetworkRequest::SameOriginRedirectPolicy && otherOrigin)
        || (m_redirectPolicy == QNetworkRequest::NoLessSafeRedirectPolicy && lessSafe)) {
        fail(InsecureRedirectError, QCoreApplication::translate("QHttp", "Insecure redirect"));
        return;
    }
    --m_redirectsLeft;
    if (status != 307 && status != 308) {
        m_outgoingData = nullptr;
        m_request.setHeader(QNetworkRequest::ContentLengthHeader, QVariant());
        m_request.setHeader(QNetworkRequest::ContentTypeHeader, QVariant());
    } else if (m_outgoingData) {
        fail(ContentReSendError, QCoreApplication::translate("QHttp", "Cannot send the request body again"));
        return;
    }
    setOperation(redirectOperation(operation(), status));
    m_request.setUrl(to);
    setUrl(to);
    m_redirectPending = m_redirectPolicy == QNetworkRequest::UserVerifiedRedirectPolicy;
    emit redirected(to);
    // A receiver may have ended the reply, or allowed a user-verified redirect already; one not
    // yet allowed waits for redirectAllowed().
    if (!isFinished() && !m_redirectPending && !m_inner)
        startTransfer();
}

void BoundedReply::fail(NetworkError code, const QString &text)
{
    if (isFinished())
        return;
    dropTransfer();
    // The first error stands: a receiver that aborts from errorOccurred finishes the reply there.
    if (error() == NoError) {
        setError(code, text);
        emit errorOccurred(code);
    }
    finish();
}

void BoundedReply::cancel()
{
    fail(OperationCanceledError, QCoreApplication::translate("QNetworkReply", "Operation canceled"));
}

void BoundedReply::copyMetaData()
{
    // Each transfer's headers replace the last one's: a redirect's "Location" does not linger.
    for (const QByteArray &name : rawHeaderList())
        setRawHeader(name, QByteArray());
    setUrl(m_inner->url());
    for (const RawHeaderPair &pair : m_inner->rawHeaderPairs())
        setRawHeader(pair.first, pair.second);
    for (const QNetworkRequest::Attribute code :
         {QNetworkRequest::HttpStatusCodeAttribute, QNetworkRequest::HttpReasonPhraseAttribute,
          QNetworkRequest::RedirectionTargetAttribute, QNetworkRequest::ConnectionEncryptedAttribute,
          QNetworkRequest::SourceIsFromCacheAttribute, QNetworkRequest::HttpPipeliningWasUsedAttribute,
          QNetworkRequest::Http2WasUsedAttribute, QNetworkRequest::OriginalContentLengthAttribute}) {
        setAttribute(code, m_inner->attribute(code));
    }
}

void BoundedReply::take()
{
    // An aborted or timed-out reply is closed and holds nothing more.
    if (m_exceeded || !m_inner || !m_inner->isReadable())
        return;
    // Reading frees Qt's window, so that its HTTP thread goes on.
    const QByteArray chunk = m_inner->readAll();
    if (chunk.isEmpty())
        return;
    m_received += chunk.size();
    if (m_received > m_limit) {
        exceed();
        return;
    }
    if (m_offset == m_body.size()) {
        m_body = chunk;
        m_offset = 0;
    } else {
        m_body.append(chunk);
    }
    emit readyRead();
}

void BoundedReply::exceed()
{
    if (m_exceeded || isFinished())
        return;
    m_exceeded = true;
    m_body = QByteArray();
    m_offset = 0;
    emit limitExceeded();
    cancel();
}

void BoundedReply::finish()
{
    if (isFinished())
        return;
    if (m_inner) {
        take();
        // A reader may have aborted from readyRead, or the last bytes passed the limit.
        if (isFinished())
            return;
        copyMetaData();
        // The abort's error, which came before, stands; a reply aborted for its size carries no
        // body even where Qt's reply kept one.
        if (m_inner->error() != NoError && error() == NoError)
            setError(m_inner->error(), m_inner->errorString());
    }
    setFinished(true);
    emit finished();
}

void BoundedReply::abort()
{
    cancel();
}

void BoundedReply::close()
{
    if (isFinished())
        return;
    QNetworkReply::close();
    m_body = QByteArray();
    m_offset = 0;
    cancel();
}

void BoundedReply::ignoreSslErrors()
{
#if QT_CONFIG(ssl)
    m_ignoreAllSslErrors = true;
#endif
    if (m_inner)
        m_inner->ignoreSslErrors();
}

qint64 BoundedReply::bytesAvailable() const
{
    return QNetworkReply::bytesAvailable() + (m_body.size() - m_offset);
}

qint64 BoundedReply::readData(char *data, qint64 maxSize)
{
    const qint64 count = qMin(maxSize, qint64(m_body.size()) - m_offset);
    if (count <= 0)
        return isFinished() ? -1 : 0;
    std::memcpy(data, m_body.constData() + m_offset, size_t(count));
    m_offset += count;
    if (m_offset == m_body.size()) {
        m_body = QByteArray();
        m_offset = 0;
    }
    return count;
}

#if QT_CONFIG(ssl)
void BoundedReply::sslConfigurationImplementation(QSslConfiguration &configuration) const
{
    if (m_inner)
        configuration = m_inner->sslConfiguration();
}

void BoundedReply::setSslConfigurationImplementation(const QSslConfiguration &configuration)
{
    if (m_inner)
        m_inner->setSslConfiguration(configuration);
}

void BoundedReply::ignoreSslErrorsImplementation(const QList<QSslError> &errors)
{
    m_ignoredSslErrors = errors;
    if (m_inner)
        m_inner->ignoreSslErrors(errors);
}
#endif
