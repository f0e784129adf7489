#include "devices/rest/BoundedReply.h"

#include <cstring>

BoundedReply::BoundedReply(QNetworkReply *inner, qint64 limit, QObject *parent)
    : QNetworkReply(parent)
    , m_inner(inner)
    , m_limit(limit)
{
    // Owned here, not by the manager, so that it goes before the body of a post, which Qt
    // parents to this reply, and so that the manager, which deletes its replies when it goes,
    // never meets it twice.
    inner->setParent(nullptr);
    setOperation(inner->operation());
    setRequest(inner->request());
    setUrl(inner->url());
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    // Qt hands the window to its HTTP thread only once the transfer has started, which a request
    // with a body does from the event loop: asked again from there, after it.
    inner->setReadBufferSize(WindowBytes);
    QMetaObject::invokeMethod(inner, [inner]() { inner->setReadBufferSize(WindowBytes); }, Qt::QueuedConnection);

    connect(inner, &QNetworkReply::metaDataChanged, this, [this]() {
        copyMetaData();
        emit metaDataChanged();
        const QVariant length = header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_limit)
            exceed();
    });
    connect(inner, &QNetworkReply::readyRead, this, &BoundedReply::take);
    connect(inner, &QNetworkReply::downloadProgress, this, &QNetworkReply::downloadProgress);
    connect(inner, &QNetworkReply::uploadProgress, this, &QNetworkReply::uploadProgress);
    connect(inner, &QNetworkReply::redirected, this, [this](const QUrl &url) {
        setUrl(url);
        emit redirected(url);
    });
    connect(inner, &QNetworkReply::errorOccurred, this, [this](QNetworkReply::NetworkError code) {
        setError(code, m_inner->errorString());
        emit errorOccurred(code);
    });
#if QT_CONFIG(ssl)
    connect(inner, &QNetworkReply::encrypted, this, &QNetworkReply::encrypted);
    connect(inner, &QNetworkReply::sslErrors, this, &QNetworkReply::sslErrors);
#endif
    connect(inner, &QNetworkReply::finished, this, &BoundedReply::finish);
}

BoundedReply::~BoundedReply()
{
    m_inner->disconnect(this);
    // Its destruction ends the transfer, and a start still queued for it with it.
    delete m_inner;
}

void BoundedReply::copyMetaData()
{
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
    if (m_exceeded || !m_inner->isReadable())
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
    m_inner->abort();
}

void BoundedReply::finish()
{
    if (isFinished())
        return;
    take();
    copyMetaData();
    // The abort's error, which came before, stands; a reply aborted for its size carries no
    // body even where Qt's reply kept one.
    if (m_inner->error() != NoError && error() == NoError)
        setError(m_inner->error(), m_inner->errorString());
    setFinished(true);
    emit finished();
}

void BoundedReply::abort()
{
    m_inner->abort();
}

void BoundedReply::close()
{
    m_inner->close();
    QNetworkReply::close();
}

void BoundedReply::ignoreSslErrors()
{
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
    configuration = m_inner->sslConfiguration();
}

void BoundedReply::setSslConfigurationImplementation(const QSslConfiguration &configuration)
{
    m_inner->setSslConfiguration(configuration);
}

void BoundedReply::ignoreSslErrorsImplementation(const QList<QSslError> &errors)
{
    m_inner->ignoreSslErrors(errors);
}
#endif
