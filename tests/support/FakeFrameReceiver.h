#pragma once

#include "observation/video/FrameReceiver.h"
#include "observation/video/FrameReceiverFactory.h"
#include "observation/video/FrameReceiverKey.h"

#include <QHostAddress>
#include <QSize>
#include <QStringList>
#include <QVector>

#include <map>
#include <memory>

// A node's receiver without a node: records what cameras ask of it ("start", "stop", "resize")
// and hands them frames on demand. connect() succeeds at once. Header-only: it adds no signal.
class FakeFrameReceiver : public kvr::QMTClient::FrameReceiver
{
public:
    struct Call
    {
        QString name;
        std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition;
        QSize shownSize; // for "resize" the new size
    };

    void connect() override
    {
        ++connects;
        emit connected();
    }
    void startRequest(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                      kvr::tracker::common::SourceFrameFormatDefinition, QSize shownSize = QSize()) override
    {
        calls.append({QStringLiteral("start"), sourceDefinition, shownSize});
    }
    void stopRequest(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                     kvr::tracker::common::SourceFrameFormatDefinition, QSize shownSize = QSize()) override
    {
        calls.append({QStringLiteral("stop"), sourceDefinition, shownSize});
    }
    void changeShownSize(std::shared_ptr<kvr::tracker::common::SourceDefinition> sourceDefinition,
                         kvr::tracker::common::SourceFrameFormatDefinition, QSize, QSize to) override
    {
        calls.append({QStringLiteral("resize"), sourceDefinition, to});
    }

    QStringList callNames() const
    {
        QStringList names;
        for (const Call &call : calls)
            names << call.name;
        return names;
    }
    int count(const QString &name) const { return callNames().count(name); }

    // As the real receiver hands out a node's frame: to every camera on the node.
    void deliver(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &sourceDefinition,
                 const std::shared_ptr<kvr::tracker::net::CMClient::Frame> &frame)
    {
        emit imageReceived(sourceDefinition, frame);
    }

    QVector<Call> calls;
    int connects = 0;
};

// Installed for its lifetime: every camera then gets a fake, one per node address and port.
class FakeFrameReceiverFactory : public kvr::QMTClient::FrameReceiverFactory
{
public:
    FakeFrameReceiverFactory() { install(this); }
    ~FakeFrameReceiverFactory() override { install(nullptr); }

    kvr::QMTClient::FrameReceiver *receiver(const QHostAddress &address, quint16 port) override
    {
        std::unique_ptr<FakeFrameReceiver> &receiver = m_receivers[FrameReceiverKey{address, port}];
        if (!receiver)
            receiver = std::make_unique<FakeFrameReceiver>();
        return receiver.get();
    }

    // Null when no camera asked for that node.
    FakeFrameReceiver *at(const QHostAddress &address, quint16 port) const
    {
        const auto found = m_receivers.find(FrameReceiverKey{address, port});
        return found == m_receivers.end() ? nullptr : found->second.get();
    }

private:
    std::map<FrameReceiverKey, std::unique_ptr<FakeFrameReceiver>> m_receivers;
};
