#pragma once

// Table-driven checks shared by the frame-format record tests: each test function adds the
// columns of one kind of check in its _data() and runs it over its rows for one record class.

#include "core/data/SourceData.h"
#include "support/LogCapture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace frametest {

using kvr::tracker::common::CompareParams;
using kvr::tracker::common::CompareResult;
using kvr::tracker::common::SourceDataReadOptions;

inline QJsonObject json(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad JSON in a test row: %s: %s", text.constData(), qPrintable(error.errorString()));
    return document.object();
}

inline QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// "function|text" of every warning and error line, in order; the value-map text after
// " is not valid! Data: " is cut so that rows need not spell it.
inline QStringList linesOf(const LogCapture &capture)
{
    static const QLatin1String notValid(" is not valid! Data: ");
    QStringList out;
    for (const auto &message : capture.messages()) {
        if (!(message.level() & (kvr::log::WRN | kvr::log::ERR)))
            continue;
        QString line = message.function() + QLatin1Char('|') + message.text();
        const int at = line.indexOf(notValid);
        if (at >= 0)
            line.truncate(at + notValid.size());
        out << line;
    }
    return out;
}

// The line a record's isValid adds after its own conditions.
inline QString notValidLine(const char *className)
{
    return QStringLiteral("kvr::tracker::common::SourceData::isValid|") + QLatin1String(className)
        + QStringLiteral(" is not valid! Data: ");
}

// "Condition is false: " under a class operation, as a captured line.
inline QString conditionLine(const char *function, const char *text)
{
    return QStringLiteral("kvr::tracker::common::") + QLatin1String(function)
        + QStringLiteral("|Condition is false: ") + QLatin1String(text);
}

template <class T>
T fromJson(const QByteArray &text)
{
    SourceDataReadOptions options;
    options.skipValidation = true; // validity has tests of its own
    T record;
    record.read(json(text), options);
    return record;
}

// --- Reading: input JSON -> the value map it stores ---

inline void addReadColumns()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QVariantMap>("expected");
}

template <class T>
void checkRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QVariantMap, expected);
    const T record = fromJson<T>(input);
    if (record.valueMap() != expected) {
        qWarning() << "stored:" << record.valueMap();
        qWarning() << "expected:" << expected;
    }
    QCOMPARE(record.valueMap(), expected);
}

// --- Writing: input JSON, read and written back -> the JSON written ---

inline void addWriteColumns()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("written");
}

template <class T>
void checkWrite()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, written);
    const T record = fromJson<T>(input);
    const QJsonObject out = record.toJsonObject();
    QCOMPARE(compact(out), compact(json(written)));
    // What was written reads back as the same meaning.
    const T back = fromJson<T>(compact(out));
    QVERIFY(back == record);
}

// --- Validity: input JSON -> result and log lines ---

inline void addValidityColumns()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("lines");
}

template <class T>
void checkValidity()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, valid);
    QFETCH(QStringList, lines);
    const T record = fromJson<T>(input);
    {
        LogCapture capture;
        QCOMPARE(record.isValid(false), valid);
        QCOMPARE(linesOf(capture), lines);
    }
    LogCapture silent;
    QCOMPARE(record.isValid(true), valid);
    QCOMPARE(linesOf(silent), QStringList());
}

// --- Comparison by logic: two JSON records -> result and log lines ---

inline void addCompareColumns()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("allDifferences");
    QTest::addColumn<bool>("equal");
    QTest::addColumn<QStringList>("lines");
}

template <class T>
void checkCompare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, allDifferences);
    QFETCH(bool, equal);
    QFETCH(QStringList, lines);
    const T first = fromJson<T>(a);
    const T second = fromJson<T>(b);
    {
        LogCapture capture;
        QCOMPARE(first.compare(second, CompareParams::logic(false, allDifferences)).equal, equal);
        QCOMPARE(linesOf(capture), lines);
    }
    LogCapture silent;
    QCOMPARE(first.compare(second, CompareParams::logic(true, allDifferences)).equal, equal);
    QCOMPARE(linesOf(silent), QStringList());
}

} // namespace frametest
