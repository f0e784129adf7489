#include "core/net/PacketDecoder.h"

#include <QIODevice>
#include <QtEndian>

#include <new>

namespace kvr::net {

namespace {

// Lets a QDataStream read one body and no further, without copying it first.
class BodyDevice : public QIODevice
{
public:
    BodyDevice(QIODevice *source, qint64 size)
        : m_source(source)
        , m_remaining(size)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_remaining + QIODevice::bytesAvailable(); }
    bool atEnd() const override { return m_remaining == 0; }
    qint64 remaining() const { return m_remaining; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 got = m_source->read(data, qMin(maxSize, m_remaining));
        if (got < 0)
            return -1;
        m_remaining -= got;
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice *m_source;
    qint64 m_remaining;
};

} // namespace

PacketDecoder::PacketDecoder(std::shared_ptr<const PacketReader> reader, quint32 maxBodySize)
    : m_reader(reader ? std::move(reader) : std::make_shared<PacketReader>())
    , m_maxBodySize(maxBodySize)
{
}

PacketDecoder::Result PacketDecoder::next(QIODevice &device, Packet &packet, QString &error) const
{
    if (device.bytesAvailable() < PacketFraming::HeaderSize)
        return Result::NeedMore;
    uchar raw[PacketFraming::HeaderSize];
    if (device.peek(reinterpret_cast<char *>(raw), PacketFraming::HeaderSize) != PacketFraming::HeaderSize)
        return Result::NeedMore;

    const quint16 magic = qFromBigEndian<quint16>(raw);
    const quint16 type = qFromBigEndian<quint16>(raw + 2);
    const quint32 length = qFromBigEndian<quint32>(raw + 4);
    if (magic != PacketFraming::Magic) {
        error = QStringLiteral("Packet header is not valid (magic 0x%1).").arg(magic, 4, 16, QLatin1Char('0'));
        return Result::Error;
    }
    if (length > m_maxBodySize) {
        error = QStringLiteral("Packet of type %1 announces %2 bytes, more than the maximum of %3.")
                    .arg(type).arg(length).arg(m_maxBodySize);
        return Result::Error;
    }
    const bool keepAlive = type == PacketFraming::KeepAliveType;
    if (!keepAlive && !m_reader->accepts(type)) {
        error = QStringLiteral("Unknown packet type %1.").arg(type);
        return Result::Error;
    }
    if (device.bytesAvailable() < PacketFraming::HeaderSize + qint64(length))
        return Result::NeedMore;

    device.skip(PacketFraming::HeaderSize);
    BodyDevice body(&device, length);
    QDataStream stream(&body);
    PacketFraming::prepare(stream);
    packet.type = type;
    packet.value = QVariant();
    bool ok = true;
    if (!keepAlive) {
        try {
            ok = m_reader->read(type, stream, packet.value);
        } catch (const std::bad_alloc &) {
            ok = false;
        }
    }
    // Fields added at the end by a newer peer are skipped.
    if (body.remaining() > 0)
        device.skip(body.remaining());
    if (!ok || stream.status() != QDataStream::Ok) {
        packet.value = QVariant();
        error = QStringLiteral("Packet of type %1 with %2 bytes does not decode.").arg(type).arg(length);
        return Result::Error;
    }
    return Result::Packet;
}

} // namespace kvr::net
