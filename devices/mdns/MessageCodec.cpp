#include "devices/mdns/MessageCodec.h"

#include "devices/mdns/DnsName.h"

#include <QHash>

namespace mdns {

namespace {

constexpr quint16 ClassIn = 1;
constexpr quint16 ClassAny = 255;
constexpr quint16 TopBit = 0x8000;     // QU in a question, cache-flush in a record
constexpr int MaxCompressionOffset = 0x3FFF;

class Reader
{
public:
    explicit Reader(const QByteArray &data)
        : m_data(reinterpret_cast<const quint8 *>(data.constData()))
        , m_size(data.size())
    {
    }

    int pos() const { return m_pos; }
    void setPos(int pos) { m_pos = pos; }
    bool has(int count) const { return count >= 0 && m_size - m_pos >= count; }

    bool read16(quint16 &value)
    {
        if (!has(2))
            return false;
        value = quint16((m_data[m_pos] << 8) | m_data[m_pos + 1]);
        m_pos += 2;
        return true;
    }

    bool read32(quint32 &value)
    {
        if (!has(4))
            return false;
        value = (quint32(m_data[m_pos]) << 24) | (quint32(m_data[m_pos + 1]) << 16)
            | (quint32(m_data[m_pos + 2]) << 8) | quint32(m_data[m_pos + 3]);
        m_pos += 4;
        return true;
    }

    bool readBytes(int count, QByteArray &out)
    {
        if (!has(count))
            return false;
        out = QByteArray(reinterpret_cast<const char *>(m_data + m_pos), count);
        m_pos += count;
        return true;
    }

    // Each compression pointer must point before the place where the current stretch of
    // labels began; the limit only ever falls, so a pointer chain always ends.
    bool readName(QByteArray &name)
    {
        QList<QByteArray> labels;
        int wireLength = 1;
        int p = m_pos;
        int limit = m_pos;
        bool jumped = false;
        for (;;) {
            if (p >= m_size)
                return false;
            const quint8 length = m_data[p];
            if ((length & 0xC0) == 0xC0) {
                if (p + 1 >= m_size)
                    return false;
                const int target = ((length & 0x3F) << 8) | m_data[p + 1];
                if (target >= limit)
                    return false;
                if (!jumped) {
                    m_pos = p + 2;
                    jumped = true;
                }
                limit = target;
                p = target;
                continue;
            }
            // 0x40 and 0x80 are the obsolete extended label types; labels stop at 63.
            if (length & 0xC0)
                return false;
            if (length == 0) {
                if (!jumped)
                    m_pos = p + 1;
                break;
            }
            if (m_size - (p + 1) < length)
                return false;
            wireLength += 1 + length;
            if (wireLength > DnsName::MaxWireLength)
                return false;
            labels.append(QByteArray(reinterpret_cast<const char *>(m_data + p + 1), length));
            p += 1 + length;
        }
        name = DnsName::join(labels);
        return true;
    }

    quint8 byteAt(int pos) const { return m_data[pos]; }

private:
    const quint8 *m_data;
    int m_size;
    int m_pos = 0;
};

bool readTxt(Reader &reader, int end, QMap<QByteArray, QByteArray> &attributes)
{
    while (reader.pos() < end) {
        const int length = reader.byteAt(reader.pos());
        reader.setPos(reader.pos() + 1);
        if (end - reader.pos() < length)
            return false;
        QByteArray entry;
        reader.readBytes(length, entry);
        if (entry.isEmpty())
            continue;   // the lone zero byte of an empty TXT record
        const int equals = entry.indexOf('=');
        const QByteArray key = equals < 0 ? entry : entry.left(equals);
        // RFC 6763 6.4: no key means ignore the string; a repeated key keeps the first.
        if (key.isEmpty() || attributes.contains(key))
            continue;
        attributes.insert(key, equals < 0 ? QByteArray() : entry.mid(equals + 1));
    }
    return true;
}

// Reads one record; keep is false for a record that was skipped.
bool readRecord(Reader &reader, Record &record, bool &keep)
{
    QByteArray name;
    quint16 type = 0;
    quint16 klass = 0;
    quint32 ttl = 0;
    quint16 length = 0;
    if (!reader.readName(name) || !reader.read16(type) || !reader.read16(klass) || !reader.read32(ttl)
        || !reader.read16(length) || !reader.has(length)) {
        return false;
    }
    const int end = reader.pos() + length;
    keep = (klass & ~TopBit) == ClassIn;
    record = Record(name, type, ttl);
    record.setFlushCache(klass & TopBit);
    if (keep) {
        switch (type) {
        case A: {
            quint32 ipv4 = 0;
            if (length != 4 || !reader.read32(ipv4))
                return false;
            record.setAddress(QHostAddress(ipv4));
            break;
        }
        case AAAA: {
            QByteArray bytes;
            if (length != 16 || !reader.readBytes(16, bytes))
                return false;
            record.setAddress(QHostAddress(reinterpret_cast<const quint8 *>(bytes.constData())));
            break;
        }
        case PTR: {
            QByteArray target;
            if (!reader.readName(target) || reader.pos() != end)
                return false;
            record.setTarget(target);
            break;
        }
        case SRV: {
            quint16 priority = 0;
            quint16 weight = 0;
            quint16 port = 0;
            QByteArray target;
            if (length < 7 || !reader.read16(priority) || !reader.read16(weight) || !reader.read16(port)
                || !reader.readName(target) || reader.pos() != end) {
                return false;
            }
            record.setPriority(priority);
            record.setWeight(weight);
            record.setPort(port);
            record.setTarget(target);
            break;
        }
        case TXT: {
            QMap<QByteArray, QByteArray> attributes;
            if (!readTxt(reader, end, attributes))
                return false;
            record.setAttributes(attributes);
            break;
        }
        default:
            keep = false;
            break;
        }
    }
    reader.setPos(end);
    return true;
}

bool readRecords(Reader &reader, int count, QList<Record> &records)
{
    for (int i = 0; i < count; ++i) {
        Record record;
        bool keep = false;
        if (!readRecord(reader, record, keep))
            return false;
        if (keep)
            records.append(record);
    }
    return true;
}

class Writer
{
public:
    QByteArray &data() { return m_data; }

    void write16(quint16 value)
    {
        m_data.append(char(value >> 8));
        m_data.append(char(value & 0xFF));
    }

    void write32(quint32 value)
    {
        write16(quint16(value >> 16));
        write16(quint16(value & 0xFFFF));
    }

    void patch16(int pos, quint16 value)
    {
        m_data[pos] = char(value >> 8);
        m_data[pos + 1] = char(value & 0xFF);
    }

    bool writeName(const QByteArray &name)
    {
        QList<QByteArray> labels;
        if (!DnsName::labels(name, labels))
            return false;
        for (int i = 0; i < labels.size(); ++i) {
            // Exact bytes, not case-folded: a pointer must give back the very same name.
            const QByteArray suffix = DnsName::join(labels.mid(i));
            const auto known = m_offsets.constFind(suffix);
            if (known != m_offsets.cend()) {
                write16(quint16(0xC000 | known.value()));
                return true;
            }
            if (m_data.size() <= MaxCompressionOffset)
                m_offsets.insert(suffix, m_data.size());
            m_data.append(char(labels.at(i).size()));
            m_data.append(labels.at(i));
        }
        m_data.append('\0');
        return true;
    }

private:
    QByteArray m_data;
    QHash<QByteArray, int> m_offsets;
};

bool writeTxt(Writer &writer, const QMap<QByteArray, QByteArray> &attributes)
{
    if (attributes.isEmpty()) {
        writer.data().append('\0');
        return true;
    }
    for (auto it = attributes.cbegin(); it != attributes.cend(); ++it) {
        QByteArray entry = it.key();
        if (entry.isEmpty() || entry.contains('='))
            return false;
        if (!it.value().isNull())
            entry += '=' + it.value();
        if (entry.size() > 255)
            return false;
        writer.data().append(char(entry.size()));
        writer.data().append(entry);
    }
    return true;
}

bool writeRecord(Writer &writer, const Record &record)
{
    if (!writer.writeName(record.name()))
        return false;
    writer.write16(record.type());
    writer.write16(quint16(ClassIn | (record.flushCache() ? TopBit : 0)));
    writer.write32(record.ttl());
    const int lengthPos = writer.data().size();
    writer.write16(0);
    switch (record.type()) {
    case A: {
        bool ok = false;
        const quint32 ipv4 = record.address().toIPv4Address(&ok);
        if (!ok)
            return false;
        writer.write32(ipv4);
        break;
    }
    case AAAA: {
        if (record.address().protocol() != QAbstractSocket::IPv6Protocol)
            return false;
        const Q_IPV6ADDR ipv6 = record.address().toIPv6Address();
        writer.data().append(reinterpret_cast<const char *>(ipv6.c), 16);
        break;
    }
    case PTR:
        if (!writer.writeName(record.target()))
            return false;
        break;
    case SRV:
        writer.write16(record.priority());
        writer.write16(record.weight());
        writer.write16(record.port());
        if (!writer.writeName(record.target()))
            return false;
        break;
    case TXT:
        if (!writeTxt(writer, record.attributes()))
            return false;
        break;
    default:
        return false;
    }
    const int length = writer.data().size() - lengthPos - 2;
    if (length > 0xFFFF)
        return false;
    writer.patch16(lengthPos, quint16(length));
    return true;
}

} // namespace

bool MessageCodec::decode(const QByteArray &datagram, Message &message)
{
    Reader reader(datagram);
    quint16 id = 0;
    quint16 flags = 0;
    quint16 counts[4] = {};
    if (!reader.read16(id) || !reader.read16(flags))
        return false;
    for (quint16 &count : counts) {
        if (!reader.read16(count))
            return false;
    }
    Message result;
    result.setTransactionId(id);
    result.setFlags(flags);
    QList<Query> queries;
    for (int i = 0; i < counts[0]; ++i) {
        QByteArray name;
        quint16 type = 0;
        quint16 klass = 0;
        if (!reader.readName(name) || !reader.read16(type) || !reader.read16(klass))
            return false;
        const quint16 plainClass = klass & ~TopBit;
        if (plainClass == ClassIn || plainClass == ClassAny)
            queries.append(Query(name, type, klass & TopBit));
    }
    QList<Record> answers;
    QList<Record> authority;
    QList<Record> additional;
    if (!readRecords(reader, counts[1], answers) || !readRecords(reader, counts[2], authority)
        || !readRecords(reader, counts[3], additional)) {
        return false;
    }
    result.setQueries(queries);
    result.setRecords(answers);
    result.setAuthorityRecords(authority);
    result.setAdditionalRecords(additional);
    result.setAddress(message.address());
    result.setPort(message.port());
    message = result;
    return true;
}

bool MessageCodec::encode(const Message &message, QByteArray &datagram)
{
    const QList<Query> queries = message.queries();
    const QList<Record> sections[3] = {message.records(), message.authorityRecords(),
                                       message.additionalRecords()};
    if (queries.size() > 0xFFFF || sections[0].size() > 0xFFFF || sections[1].size() > 0xFFFF
        || sections[2].size() > 0xFFFF) {
        return false;
    }
    Writer writer;
    writer.write16(message.transactionId());
    writer.write16(message.flags());
    writer.write16(quint16(queries.size()));
    for (const QList<Record> &section : sections)
        writer.write16(quint16(section.size()));
    for (const Query &query : queries) {
        if (!writer.writeName(query.name()))
            return false;
        writer.write16(query.type());
        writer.write16(quint16(ClassIn | (query.unicastResponse() ? TopBit : 0)));
    }
    for (const QList<Record> &section : sections) {
        for (const Record &record : section) {
            if (!writeRecord(writer, record))
                return false;
        }
    }
    datagram = writer.data();
    return true;
}

} // namespace mdns
