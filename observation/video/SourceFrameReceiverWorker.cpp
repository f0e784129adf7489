#include "observation/video/SourceFrameReceiverWorker.h"

#include "core/data/SourceTimestamp.h"
#include "core/log/Log.h"
#include "core/tracker/CMClientFrame.h"
#include "observation/video/SourceMatch.h"

#include <QTimer>

#include <algorithm>
#include <atomic>

namespace kvr::QMTClient {

using kvr::tracker::common::SourceDefinition;
using kvr::tracker::common::SourceFrameFormatDefinition;
using kvr::tracker::common::SourceTimestamp;
using kvr::tracker::net::CMClient;

namespace {

const QString kRequestSourcesData = QStringLiteral("request_sources_data");
const QString kRequestFrames = QStringLiteral("request_frames");
const QString kRequestFramesStop = QStringLiteral("request_frames_stop");
const QString kRequestTime = QStringLiteral("request_time");
const QString kRequestTimeStop = QStringLiteral("request_time_stop");
const QString kRequestFramesStopAll = QStringLiteral("request_frames_stop_all");
const QString kSourceStateClosed = QStringLiteral("source_state_closed");
const QString kSourceDefinition = QStringLiteral("source_definition");

constexpr int SourcesDataRetryInterval = 1000; // ms

// Shared by every worker of the process, so internal ids never repeat between receivers.
std::atomic<quint64> nextInternalId{0};

QString hexAddress(const void *pointer)
{
    return QString::number(quintptr(pointer), 16);
}

} // namespace

QSize SourceFrameReceiverWorker::FrameFormatStruct::decodeSize() const
{
    QSize largest;
    for (const QSize &size : shownSizes) {
        if (size.isEmpty())
            return QSize();
        largest = largest.expandedTo(size);
    }
    return largest;
}

SourceFrameReceiverWorker::SourceDefinitionFrameFormatStruct::SourceDefinitionFrameFormatStruct(
    std::shared_ptr<SourceDefinition> definition, const SourceFrameFormatDefinition &frameFormat,
    const QSize &shownSize)
    : internalId(nextInternalId.fetch_add(1))
    , sourceDefinition(std::move(definition))
    , frameFormats{FrameFormatStruct{frameFormat, 1, false, {shownSize}}}
    , isCubeSource(sourceDefinition->getType() == SourceDefinition::SourceDefinitionType::Cube)
    , publishedDefinition(SourceDefinition::createFromQVariant(sourceDefinition->getQVariantData()))
{
}

bool SourceFrameReceiverWorker::SourceDefinitionFrameFormatStruct::addFrameFormat(
    const SourceFrameFormatDefinition &frameFormat, const QSize &shownSize)
{
    if (FrameFormatStruct *element = findFrameFormat(frameFormat)) {
        ++element->useCount;
        element->shownSizes.append(shownSize);
        return false;
    }
    frameFormats.append(FrameFormatStruct{frameFormat, 1, false, {shownSize}});
    return true;
}

SourceFrameFormatDefinition SourceFrameReceiverWorker::SourceDefinitionFrameFormatStruct::removeFrameFormat(
    const SourceFrameFormatDefinition &frameFormat, const QSize &shownSize)
{
    for (int i = 0; i < frameFormats.size(); ++i) {
        if (!SourceMatch::sameFormat(frameFormats.at(i).frameFormat, frameFormat))
            continue;
        QVector<QSize> &sizes = frameFormats[i].shownSizes;
        // A stop that names no size the starts named takes any, so that the sizes never
        // outnumber the uses.
        const int shown = sizes.indexOf(shownSize);
        if (!sizes.isEmpty())
            sizes.remove(shown >= 0 ? shown : sizes.size() - 1);
        if (--frameFormats[i].useCount < 1) {
            const SourceFrameFormatDefinition removed = frameFormats.at(i).frameFormat;
            frameFormats.remove(i);
            return removed;
        }
        break;
    }
    return SourceFrameFormatDefinition();
}

SourceFrameReceiverWorker::FrameFormatStruct *
SourceFrameReceiverWorker::SourceDefinitionFrameFormatStruct::findFrameFormat(const SourceFrameFormatDefinition &frameFormat)
{
    // A node sends back the map it was asked with: equal maps spare the record comparison
    // for nearly every frame.
    for (FrameFormatStruct &element : frameFormats) {
        if (element.frameFormat.valueMap() == frameFormat.valueMap())
            return &element;
    }
    for (FrameFormatStruct &element : frameFormats) {
        if (SourceMatch::sameFormat(element.frameFormat, frameFormat))
            return &element;
    }
    return nullptr;
}

SourceFrameReceiverWorker::SourceFrameReceiverWorker(const QHostAddress &address, quint16 port)
    : m_client(new CMClient(this))
    , m_sourcesDataTimer(new QTimer(this))
{
    m_client->setHostAddress(address);
    m_client->setPort(port);
    m_client->setReconnectOnError(true);
    m_sourcesDataTimer->setSingleShot(true);
    m_sourcesDataTimer->setInterval(SourcesDataRetryInterval);

    QObject::connect(m_sourcesDataTimer, &QTimer::timeout, this, &SourceFrameReceiverWorker::onSourcesDataTimer);
    QObject::connect(m_client, &CMClient::unauthorizedReceived, this, &SourceFrameReceiverWorker::onUnauthorized);
    QObject::connect(m_client, &CMClient::disconnected, this, &SourceFrameReceiverWorker::onDisconnected);
    QObject::connect(m_client, &CMClient::connected, this, &SourceFrameReceiverWorker::onConnected);
    QObject::connect(m_client, &CMClient::authorizedReceived, this, &SourceFrameReceiverWorker::onAuthorized);
    QObject::connect(m_client, &CMClient::sourceStatusReceived, this, &SourceFrameReceiverWorker::onSourceStatusReceived);
    QObject::connect(m_client, &CMClient::errorReceived, this, &SourceFrameReceiverWorker::onErrorReceived);
    QObject::connect(m_client, &CMClient::sourcesDataReceived, this, &SourceFrameReceiverWorker::onSourcesDataReceived);
    QObject::connect(m_client, &CMClient::imageReceived, this, &SourceFrameReceiverWorker::onImageReceived);
    QObject::connect(m_client, &CMClient::sourceTimestampReceived, this,
                     &SourceFrameReceiverWorker::onSourceTimestampReceived);
    // The client reports a failed or lost link only as text; the camera shows it.
    QObject::connect(m_client, &CMClient::errorString, this, &SourceFrameReceiverWorker::errorString);
}

void SourceFrameReceiverWorker::connect()
{
    m_client->connect();
}

void SourceFrameReceiverWorker::disconnect()
{
    m_client->disconnect();
}

void SourceFrameReceiverWorker::startRequest(const std::shared_ptr<SourceDefinition> &sourceDefinition,
                                             const SourceFrameFormatDefinition &frameFormat, const QSize &shownSize)
{
    if (!sourceDefinition || !sourceDefinition->isValid())
        return;
    LOG_DBG2(QStringLiteral("Start frame requests for source definition: 0x%1 frame format with source ID: %2.")
                 .arg(hexAddress(sourceDefinition.get()))
                 .arg(frameFormat.getSourceID()));

    if (SourceDefinitionFrameFormatStruct *entry = findSourceDefinitionStruct(sourceDefinition)) {
        const bool added = entry->addFrameFormat(frameFormat, shownSize);
        const bool singleShot = frameFormat.getImageDataBandwidthParams().getFrameLengthMul() == 0;
        if (!(added || singleShot) || !m_authorized)
            return;
        const int internalId = int(entry->internalId);
        const QList<int> sourceIds = m_sourceIdToInternalId.keys(internalId);
        if (sourceIds.isEmpty()) {
            LOG_ERR(QStringLiteral("Internal error: could not find source id for source definition id (%1)!")
                        .arg(internalId));
            return;
        }
        FrameFormatStruct *element = entry->findFrameFormat(frameFormat);
        if (!element) {
            LOG_ERR(QStringLiteral("No such frame format struct in array was found."));
            return;
        }
        element->frameFormat.setSourceID(uint(sourceIds.first()));
        sendFormat(kRequestFrames, element->frameFormat);
        return;
    }

    SourceDefinitionFrameFormatStruct entry(sourceDefinition, frameFormat, shownSize);
    const int internalId = int(entry.internalId);
    m_sourceDefinitionStructs.insert(internalId, entry);
    m_pendingInternalIds.insert(internalId);
    if (m_authorized)
        m_client->command(kRequestSourcesData, QVariant());
}

void SourceFrameReceiverWorker::stopRequest(const std::shared_ptr<SourceDefinition> &sourceDefinition,
                                            const SourceFrameFormatDefinition &frameFormat, const QSize &shownSize)
{
    SourceDefinitionFrameFormatStruct *entry = findSourceDefinitionStruct(sourceDefinition);
    if (!entry)
        return;
    const FrameFormatStruct *element = entry->findFrameFormat(frameFormat);
    const bool timeRequested = element && element->timeRequested;
    const SourceFrameFormatDefinition removed = entry->removeFrameFormat(frameFormat, shownSize);
    if (removed.hasSourceID()) {
        LOG_DBG2(QStringLiteral("Stop frame requests for source definition: 0x%1 frame format: 0x%2.")
                     .arg(hexAddress(sourceDefinition.get()), hexAddress(&frameFormat)));
        if (entry->isCubeSource) {
            // Before its first frame a cube format still streams frames, not time stamps.
            if (!timeRequested)
                sendFormat(kRequestFramesStop, removed);
            sendFormat(kRequestTimeStop, removed);
        } else {
            sendFormat(kRequestFramesStop, removed);
        }
    }
    if (entry->frameFormats.isEmpty())
        eraseStruct(int(entry->internalId));
}

void SourceFrameReceiverWorker::changeShownSize(const std::shared_ptr<SourceDefinition> &sourceDefinition,
                                                const SourceFrameFormatDefinition &frameFormat, const QSize &from,
                                                const QSize &to)
{
    SourceDefinitionFrameFormatStruct *entry = findSourceDefinitionStruct(sourceDefinition);
    FrameFormatStruct *element = entry ? entry->findFrameFormat(frameFormat) : nullptr;
    if (!element)
        return;
    const int shown = element->shownSizes.indexOf(from);
    if (shown >= 0)
        element->shownSizes[shown] = to;
}

void SourceFrameReceiverWorker::stopRequest()
{
    LOG_DBG2(QStringLiteral("Stop all frame requests."));
    if (m_authorized) {
        m_client->command(kRequestFramesStopAll, QVariant());
        // Time streams have no stop-all of their own; each is ended, or it would run for good.
        for (const SourceDefinitionFrameFormatStruct &entry : qAsConst(m_sourceDefinitionStructs)) {
            for (const FrameFormatStruct &element : entry.frameFormats) {
                if (element.timeRequested)
                    sendFormat(kRequestTimeStop, element.frameFormat);
            }
        }
    }
    m_sourceIdToInternalId.clear();
    m_pendingInternalIds.clear();
    m_sourceDefinitionStructs.clear();
    m_lastFrames.clear();
}

void SourceFrameReceiverWorker::onSourcesDataTimer()
{
    // The waiting requests may have been stopped meanwhile.
    if (m_pendingInternalIds.isEmpty() || !m_authorized)
        return;
    m_client->command(kRequestSourcesData, QVariant());
}

void SourceFrameReceiverWorker::onUnauthorized()
{
    m_authorized = false;
    LOG_ERR(QStringLiteral("Connection is not authorized!"));
}

void SourceFrameReceiverWorker::onDisconnected()
{
    m_authorized = false;
    for (const int internalId : qAsConst(m_sourceIdToInternalId)) {
        if (m_sourceDefinitionStructs.contains(internalId))
            m_pendingInternalIds.insert(internalId);
    }
    m_sourceIdToInternalId.clear();
    // Every stream starts again with a frame of its own.
    m_lastFrames.clear();
    emit disconnected();
}

void SourceFrameReceiverWorker::onConnected()
{
    emit connected();
}

void SourceFrameReceiverWorker::onAuthorized()
{
    m_authorized = true;
    m_client->command(kRequestSourcesData, QVariant());
}

void SourceFrameReceiverWorker::onSourceStatusReceived(uint sourceID, const QString &sourceStatus,
                                                       const QString &sourceStateInfo)
{
    Q_UNUSED(sourceStateInfo)
    SourceDefinitionFrameFormatStruct *entry = findSourceDefinitionStructBySourceId(sourceID);
    if (!entry)
        return;
    const std::shared_ptr<SourceDefinition> published = entry->publishedDefinition;
    if (sourceStatus == kSourceStateClosed) {
        m_pendingInternalIds.insert(int(entry->internalId));
        m_sourceIdToInternalId.remove(int(sourceID));
        m_lastFrames.remove(int(sourceID));
        m_client->command(kRequestSourcesData, QVariant());
    }
    emit statusReceived(published, sourceStatus);
}

void SourceFrameReceiverWorker::onErrorReceived(uint sourceID, const QString &errorMessage)
{
    if (const SourceDefinitionFrameFormatStruct *entry = findSourceDefinitionStructBySourceId(sourceID))
        emit errorReceived(entry->publishedDefinition, errorMessage);
}

void SourceFrameReceiverWorker::onSourcesDataReceived(const QMap<quint32, QHash<QString, QVariant>> &sourcesData)
{
    if (m_pendingInternalIds.isEmpty())
        return;
    // Ascending ids: the oldest request is matched first, the same way on every run.
    QList<int> pending = m_pendingInternalIds.values();
    std::sort(pending.begin(), pending.end());
    QSet<int> remaining;
    for (const int internalId : qAsConst(pending)) {
        if (m_sourceDefinitionStructs.contains(internalId))
            remaining.insert(internalId);
    }

    for (auto source = sourcesData.constBegin(); source != sourcesData.constEnd(); ++source) {
        const QVariant definitionData = source->value(kSourceDefinition);
        if (!definitionData.canConvert<QVariantMap>())
            continue;
        const std::shared_ptr<SourceDefinition> nodeDefinition = SourceDefinition::createFromQVariant(definitionData);
        for (const int internalId : qAsConst(pending)) {
            // A struct matched by an earlier node source is not requested twice.
            if (!remaining.contains(internalId))
                continue;
            SourceDefinitionFrameFormatStruct &entry = m_sourceDefinitionStructs[internalId];
            if (!SourceMatch::sameDefinition(entry.sourceDefinition, nodeDefinition))
                continue;
            requestFrames(entry, qint64(source.key()));
            m_sourceIdToInternalId.insert(int(source.key()), internalId);
            remaining.remove(internalId);
            break;
        }
    }

    m_pendingInternalIds = remaining;
    if (!m_pendingInternalIds.isEmpty() && !m_sourcesDataTimer->isActive())
        m_sourcesDataTimer->start();
}

void SourceFrameReceiverWorker::onImageReceived(std::shared_ptr<CMClient::Frame> frame)
{
    if (!frame)
        return;
    const qint64 sourceId = frame->getSourceID();
    SourceDefinitionFrameFormatStruct *entry = findSourceDefinitionStructBySourceId(sourceId);
    if (!entry)
        return;

    const SourceFrameFormatDefinition &format = frame->getFrameFormat();
    FrameFormatStruct *element = entry->findFrameFormat(format);
    if (element) {
        frame->setDecodeSize(element->decodeSize());
        frame->setDecodeLog(element->decodeLog);
    }
    if (frame->getImageDataBandwidthParams().getFrameLengthMul() != 0) {
        if (entry->isCubeSource) {
            if (!element) {
                LOG_ERR(QStringLiteral("No such frame format struct in array was found."));
            } else if (!element->timeRequested) {
                // Frames already on their way after the stop would otherwise start more time streams.
                element->timeRequested = true;
                sendFormat(kRequestFramesStop, element->frameFormat);
                sendFormat(kRequestTime, element->frameFormat);
            }
        }
    } else {
        const SourceFrameFormatDefinition removed =
            entry->removeFrameFormat(format, element ? element->shownSizes.value(0) : QSize());
        LOG_DBG2(QStringLiteral("Single shot frame received, removing frame format with source ID: %1 for source "
                                "definition: %2 (active formats: %3).")
                     .arg(removed.getSourceID())
                     .arg(quintptr(entry->sourceDefinition.get()))
                     .arg(entry->frameFormats.size()));
    }

    // Left undecoded: the pool decodes it once for all cameras, and only if it is still the
    // newest frame of its stream when a camera gets to it.
    if (entry->isCubeSource)
        m_lastFrames.insert(int(sourceId), frame);
    const int internalId = int(entry->internalId);
    const bool empty = entry->frameFormats.isEmpty();
    emit imageReceived(entry->publishedDefinition, frame);
    if (empty)
        eraseStruct(internalId);
}

void SourceFrameReceiverWorker::onSourceTimestampReceived(std::shared_ptr<SourceTimestamp> srcTimestamp)
{
    if (!srcTimestamp)
        return;
    const qint64 sourceId = srcTimestamp->getSourceID();
    const SourceDefinitionFrameFormatStruct *entry = findSourceDefinitionStructBySourceId(sourceId);
    if (!entry)
        return;
    const std::shared_ptr<CMClient::Frame> lastFrame = findLastSourceFrameBySourceId(sourceId);
    if (!lastFrame)
        return;
    emit imageReceived(entry->publishedDefinition, std::make_shared<CMClient::Frame>(*lastFrame, *srcTimestamp));
}

void SourceFrameReceiverWorker::sendFormat(const QString &cmd, const SourceFrameFormatDefinition &frameFormat)
{
    m_client->command(cmd, QVariant(frameFormat.valueMap()));
}

void SourceFrameReceiverWorker::requestFrames(SourceDefinitionFrameFormatStruct &entry, qint64 sourceId)
{
    for (FrameFormatStruct &element : entry.frameFormats) {
        element.frameFormat.setSourceID(uint(sourceId));
        element.timeRequested = false;
        sendFormat(kRequestFrames, element.frameFormat);
    }
}

SourceFrameReceiverWorker::SourceDefinitionFrameFormatStruct *
SourceFrameReceiverWorker::findSourceDefinitionStruct(const std::shared_ptr<SourceDefinition> &sourceDefinition)
{
    for (SourceDefinitionFrameFormatStruct &entry : m_sourceDefinitionStructs) {
        if (SourceMatch::sameDefinition(entry.sourceDefinition, sourceDefinition))
            return &entry;
    }
    return nullptr;
}

SourceFrameReceiverWorker::SourceDefinitionFrameFormatStruct *
SourceFrameReceiverWorker::findSourceDefinitionStructBySourceId(qint64 sourceId)
{
    const auto mapped = m_sourceIdToInternalId.constFind(int(sourceId));
    if (sourceId < 0 || mapped == m_sourceIdToInternalId.constEnd()) {
        LOG_ERR(QStringLiteral("Could not map source id (%1) to internal id!").arg(sourceId));
        return nullptr;
    }
    const auto entry = m_sourceDefinitionStructs.find(*mapped);
    if (entry == m_sourceDefinitionStructs.end()) {
        LOG_ERR(QStringLiteral("Could not find source definition frame format struct by internal id (%1)!")
                    .arg(*mapped));
        return nullptr;
    }
    return &*entry;
}

std::shared_ptr<CMClient::Frame> SourceFrameReceiverWorker::findLastSourceFrameBySourceId(qint64 sourceId) const
{
    const auto frame = m_lastFrames.constFind(int(sourceId));
    if (frame == m_lastFrames.constEnd()) {
        LOG_ERR(QStringLiteral("Could not map source id (%1) to internal id!").arg(sourceId));
        return nullptr;
    }
    return *frame;
}

void SourceFrameReceiverWorker::eraseStruct(int internalId)
{
    m_sourceDefinitionStructs.remove(internalId);
    m_pendingInternalIds.remove(internalId);
    // A mapping left behind would bring the id back as pending after every reconnection.
    for (const int sourceId : m_sourceIdToInternalId.keys(internalId)) {
        m_sourceIdToInternalId.remove(sourceId);
        m_lastFrames.remove(sourceId);
    }
}

} // namespace kvr::QMTClient
