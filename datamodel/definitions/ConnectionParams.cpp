#include "datamodel/definitions/ConnectionParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <cmath>

namespace kvr::tracker::common {

namespace {

const QString kAddress = QStringLiteral("address");
const QString kPort = QStringLiteral("port");

constexpr quint16 kDefaultPort = 5556;

// A number outside 1..65535 names no port; keeping its low 16 bits would silently connect to
// another one (70000 to 4464), so it is kept as 0, which the validation rejects.
quint16 portOrZero(qint64 number)
{
    return number >= 1 && number <= 65535 ? quint16(number) : quint16(0);
}

} // namespace

ConnectionParams::ConnectionParams()
    : SourceData(1)
{
    registerRecordComparator<ConnectionParams>(Q_FUNC_INFO);
}

QString ConnectionParams::getAddress() const { return valueAs<QString>(kAddress, QStringLiteral("127.0.0.1")); }
void ConnectionParams::setAddress(const QString &address) { setValue(kAddress, address); }

quint16 ConnectionParams::getPort() const
{
    const auto it = valueMap().constFind(kPort);
    if (it == valueMap().constEnd())
        return kDefaultPort;
    bool ok = false;
    const qint64 number = it->toLongLong(&ok);
    return ok ? portOrZero(number) : quint16(0);
}

void ConnectionParams::setPort(quint16 port) { setValue(kPort, uint(port)); }

bool ConnectionParams::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(!getAddress().isEmpty(), "!getAddress().isEmpty()")
        && v(getPort() > 0, "getPort() > 0");
}

void ConnectionParams::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    const auto address = data.constFind(kAddress);
    if (address != data.constEnd())
        setAddress(address.value().toString());
    const auto port = data.constFind(kPort);
    if (port != data.constEnd()) {
        // A text, a fraction or any other non-integer gives 0.
        const double number = port.value().toDouble(-1);
        const bool whole = port.value().isDouble() && std::fabs(number) < 1e15 && number == std::trunc(number);
        setPort(whole ? portOrZero(qint64(number)) : quint16(0));
    }
}

void ConnectionParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    if (contains(kAddress))
        data.insert(kAddress, getAddress());
    if (contains(kPort))
        data.insert(kPort, int(getPort()));
}

CompareResult ConnectionParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<ConnectionParams>(other);
    if (!otherSD)
        return c;
    c(getAddress() == otherSD->getAddress(), "getAddress() == otherSD->getAddress()")
        && c(getPort() == otherSD->getPort(), "getPort() == otherSD->getPort()");
    return c;
}

} // namespace kvr::tracker::common
