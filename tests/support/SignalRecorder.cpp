#include "support/SignalRecorder.h"

#include <QMetaMethod>

#include <cmath>

namespace {

QString argumentText(const QVariant &value)
{
    switch (int(value.type())) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Float:
        return QString::number(double(value.toFloat()));
    case QMetaType::QStringList:
        return QLatin1Char('[') + value.toStringList().join(QLatin1Char(',')) + QLatin1Char(']');
    default:
        return QString::fromLatin1(value.typeName());
    }
}

} // namespace

void SignalRecorder::watch(QObject *object)
{
    const QMetaObject *meta = object->metaObject();
    const QMetaMethod recordSlot = metaObject()->method(metaObject()->indexOfSlot("record()"));
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod signal = meta->method(i);
        if (signal.methodType() != QMetaMethod::Signal)
            continue;
        // The spy is connected first, so it holds the arguments when record() runs.
        auto spy = std::make_unique<QSignalSpy>(object, signal);
        connect(object, signal, this, recordSlot);
        m_watched.push_back({object, signal.methodIndex(), std::move(spy)});
    }
}

void SignalRecorder::record()
{
    for (const Watched &watched : m_watched) {
        if (watched.object != sender() || watched.signalIndex != senderSignalIndex())
            continue;
        QStringList arguments;
        for (const QVariant &argument : watched.spy->last())
            arguments << argumentText(argument);
        const QMetaMethod signal = watched.object->metaObject()->method(watched.signalIndex);
        m_emissions << QString::fromLatin1(signal.name()) + QLatin1Char('(') + arguments.join(QStringLiteral(", "))
                + QLatin1Char(')');
        return;
    }
}
