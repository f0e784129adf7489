#pragma once

#include "devices/mdns/Query.h"
#include "devices/mdns/Record.h"

#include <QHostAddress>
#include <QList>
#include <QMetaType>

namespace mdns {

// One DNS message with the peer it came from. Crosses threads by value.
class Message
{
public:
    static constexpr quint16 ResponseFlag = 0x8000;
    static constexpr quint16 AuthoritativeFlag = 0x0400;
    static constexpr quint16 TruncatedFlag = 0x0200;

    QHostAddress address() const { return m_address; }
    void setAddress(const QHostAddress &address) { m_address = address; }
    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }

    quint16 transactionId() const { return m_transactionId; }
    void setTransactionId(quint16 id) { m_transactionId = id; }
    // The header's second word as sent.
    quint16 flags() const { return m_flags; }
    void setFlags(quint16 flags) { m_flags = flags; }
    bool isResponse() const { return (m_flags & ResponseFlag) != 0; }
    // A response sets QR and AA, as RFC 6762 18.4 asks.
    void setResponse(bool response);
    int opcode() const { return (m_flags >> 11) & 0xF; }
    int responseCode() const { return m_flags & 0xF; }

    QList<Query> queries() const { return m_queries; }
    void setQueries(const QList<Query> &queries) { m_queries = queries; }
    void addQuery(const Query &query) { m_queries.append(query); }
    QList<Record> records() const { return m_records; }
    void setRecords(const QList<Record> &records) { m_records = records; }
    void addRecord(const Record &record) { m_records.append(record); }
    QList<Record> authorityRecords() const { return m_authorityRecords; }
    void setAuthorityRecords(const QList<Record> &records) { m_authorityRecords = records; }
    QList<Record> additionalRecords() const { return m_additionalRecords; }
    void setAdditionalRecords(const QList<Record> &records) { m_additionalRecords = records; }
    void addAdditionalRecord(const Record &record) { m_additionalRecords.append(record); }

    // Header and sections; the peer is not compared.
    bool operator==(const Message &other) const;
    bool operator!=(const Message &other) const { return !(*this == other); }

private:
    QHostAddress m_address;
    quint16 m_port = 0;
    quint16 m_transactionId = 0;
    quint16 m_flags = 0;
    QList<Query> m_queries;
    QList<Record> m_records;
    QList<Record> m_authorityRecords;
    QList<Record> m_additionalRecords;
};

} // namespace mdns

Q_DECLARE_METATYPE(mdns::Message)
