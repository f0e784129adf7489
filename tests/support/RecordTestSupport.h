#pragma once

#include "core/data/SourceData.h"
#include "core/log/LogMessage.h"
#include "support/LogCapture.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QtTest>

// Helpers of the record tests: JSON fixtures, quiet reads and log lines in a short, exact form.
namespace recordtest {

// A fixture that is no JSON object is a fault of the test itself.
inline QJsonObject json(const QByteArray &text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        qFatal("Bad JSON fixture: %s", text.constData());
    return document.object();
}

// Read without the validation after reading, so that a test sees only what it asks for.
template <class T>
T readQuiet(const QByteArray &text, kvr::tracker::common::SourceDataReadOptions options = {})
{
    options.skipValidation = true;
    T record;
    record.read(json(text), options);
    return record;
}

// "WRN Class::method: text", the namespace left out; the base's dump of an invalid record's
// values is cut after "is not valid!" so that the rows need not spell the map out.
inline QStringList logLines(const LogCapture &capture)
{
    static const QString ns = QStringLiteral("kvr::tracker::common::");
    static const QString dump = QStringLiteral(" is not valid! Data: ");
    QStringList lines;
    for (const auto &message : capture.messages()) {
        QString function = message.function();
        if (function.startsWith(ns))
            function.remove(0, ns.size());
        QString text = message.text();
        const int cut = text.indexOf(dump);
        if (cut >= 0)
            text = text.left(cut) + QStringLiteral(" is not valid!");
        lines << QString::fromLatin1(kvr::log::levelName(message.level())) + QLatin1Char(' ') + function
                + QStringLiteral(": ") + text;
    }
    return lines;
}

// The line a failed condition of `function` ("Class::method") logs.
inline QString condition(const QString &function, const QString &text)
{
    return QStringLiteral("WRN ") + function + QStringLiteral(": Condition is false: ") + text;
}

// The base's line after a failed validation of `className`.
inline QString notValid(const QString &className)
{
    return QStringLiteral("WRN SourceData::isValid: ") + className + QStringLiteral(" is not valid!");
}

// Validates with warnings on and returns the result; `lines` gets what was logged.
template <class T>
bool validate(const T &record, QStringList *lines)
{
    LogCapture capture;
    const bool valid = record.isValid(false);
    *lines = logLines(capture);
    return valid;
}

// Compares by logic with warnings on; `lines` gets what was logged.
template <class T>
kvr::tracker::common::CompareResult compareLogic(const T &a, const T &b, bool allDifferences, QStringList *lines)
{
    LogCapture capture;
    const auto result = a.compare(b, kvr::tracker::common::CompareParams::logic(false, allDifferences));
    *lines = logLines(capture);
    return result;
}

// Written with heavy data in the JSON, without the envelope's "version".
inline QJsonObject written(const kvr::tracker::common::SourceData &record,
                           kvr::tracker::common::SourceDataWriteOptions options = {})
{
    QJsonObject object = record.toJsonObject(options);
    object.remove(QStringLiteral("version"));
    return object;
}

} // namespace recordtest
