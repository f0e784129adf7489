#pragma once

// Shared checks of the processing-parameter record tests: every record is driven through the
// same read/write/validity/compare paths by tables of JSON cases.

#include "core/data/SourceData.h"
#include "support/LogCapture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QtTest>

namespace paramstest {

using namespace kvr::tracker::common;

inline QJsonObject json(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "bad test JSON" << text << error.errorString();
    return document.object();
}

// "Class::method|text" of every warning and error, the value-map text after "Data: " dropped.
inline QStringList linesOf(const LogCapture &capture, quint32 levels = kvr::log::WRN | kvr::log::ERR)
{
    static const QLatin1String kData(" is not valid! Data: ");
    QStringList out;
    for (const auto &message : capture.messages()) {
        if (!(message.level() & levels))
            continue;
        QString text = message.text();
        const int at = text.indexOf(kData);
        if (at >= 0)
            text.truncate(at + kData.size());
        out << QString(message.function()).remove(QStringLiteral("kvr::tracker::common::")) + QLatin1Char('|') + text;
    }
    return out;
}

// The expected line of a failed condition of `function` ("Class::method").
inline QString cond(const char *function, const char *text)
{
    return QString::fromLatin1(function) + QStringLiteral("|Condition is false: ") + QString::fromLatin1(text);
}

// The base's line after a failed validity test.
inline QString notValid(const char *className)
{
    return QStringLiteral("SourceData::isValid|") + QString::fromLatin1(className)
        + QStringLiteral(" is not valid! Data: ");
}

template <class T>
T readRecord(const QByteArray &text)
{
    SourceDataReadOptions options;
    options.skipValidation = true;
    T record;
    record.read(json(text), options);
    return record;
}

// The class's own fields as written (the "data" object of the envelope).
inline QJsonObject writtenFields(const SourceData &record)
{
    return record.toJsonObject().value(QStringLiteral("data")).toObject();
}

// Reads `input`, checks the written fields against `written` (a JSON object text) and the lines
// logged on reading against `lines`, then reads the written record back and checks it equal.
template <class T>
void checkRoundTrip(const QByteArray &input, const QByteArray &written, const QStringList &lines = QStringList())
{
    LogCapture capture;
    const T record = readRecord<T>(input);
    QCOMPARE(linesOf(capture), lines);
    const QJsonObject object = record.toJsonObject();
    QCOMPARE(object.value(QStringLiteral("data")).toObject(), json(written));

    SourceDataReadOptions options;
    options.skipValidation = true;
    T again;
    again.read(object, options);
    QCOMPARE(again.valueMap().keys(), record.valueMap().keys());
    QVERIFY(again.compare(record, CompareParams::logic(true, true)).equal);
    QCOMPARE(again.toJsonObject(), object);
}

// Reads `input` without validation, then validates it: result and warnings in order.
template <class T>
void checkValidity(const QByteArray &input, bool valid, const QStringList &lines)
{
    const T record = readRecord<T>(input);
    LogCapture capture;
    QCOMPARE(record.isValid(false), valid);
    QCOMPARE(linesOf(capture), lines);
    LogCapture silent;
    QCOMPARE(record.isValid(true), valid);
    QVERIFY(linesOf(silent).isEmpty());
}

// Compares two records read from JSON both ways round where the result is symmetric: equality and
// the warnings of a.compare(b), with or without going on after the first difference.
template <class T>
void checkCompare(const QByteArray &a, const QByteArray &b, bool allDifferences, bool equal, const QStringList &lines)
{
    const T recordA = readRecord<T>(a);
    const T recordB = readRecord<T>(b);
    LogCapture capture;
    QCOMPARE(recordA.compare(recordB, CompareParams::logic(false, allDifferences)).equal, equal);
    QCOMPARE(linesOf(capture), lines);
    LogCapture silent;
    QCOMPARE(recordB.compare(recordA, CompareParams::logic(true, allDifferences)).equal, equal);
    QCOMPARE(recordA == recordB, equal && recordA.getEnabled() == recordB.getEnabled());
    QVERIFY(linesOf(silent).isEmpty());
}

} // namespace paramstest
