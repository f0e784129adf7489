#pragma once

// Checks shared by the record tests: every record is driven through the same read / write /
// validity / compare paths by tables of JSON cases. The runners take their case as arguments;
// the variants without arguments fetch the columns their add*Columns() declared.

#include "core/data/SourceData.h"
#include "core/log/LogMessage.h"
#include "support/LogCapture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QtTest>

namespace recordtest {

using kvr::tracker::common::CompareParams;
using kvr::tracker::common::SourceData;
using kvr::tracker::common::SourceDataReadOptions;

// How a captured line names its function: "kvr::tracker::common::Class::method" or "Class::method".
enum class FunctionNames { Qualified, Unqualified };

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

// "function|text" of every line of the given levels, in order; the value-map text after
// " is not valid! Data: " is cut so that rows need not spell it.
inline QStringList linesOf(const LogCapture &capture, FunctionNames names = FunctionNames::Qualified,
                           quint32 levels = kvr::log::WRN | kvr::log::ERR)
{
    static const QLatin1String notValid(" is not valid! Data: ");
    QStringList out;
    for (const auto &message : capture.messages()) {
        if (!(message.level() & levels))
            continue;
        QString function = message.function();
        if (names == FunctionNames::Unqualified)
            function.remove(QStringLiteral("kvr::tracker::common::"));
        QString text = message.text();
        const int at = text.indexOf(notValid);
        if (at >= 0)
            text.truncate(at + notValid.size());
        out << function + QLatin1Char('|') + text;
    }
    return out;
}

inline QString functionName(const char *function, FunctionNames names)
{
    return names == FunctionNames::Qualified ? QStringLiteral("kvr::tracker::common::") + QLatin1String(function)
                                             : QString(QLatin1String(function));
}

// "Condition is false: " under a class operation ("Class::method"), as a captured line.
inline QString conditionLine(const char *function, const char *text, FunctionNames names = FunctionNames::Qualified)
{
    return functionName(function, names) + QStringLiteral("|Condition is false: ") + QLatin1String(text);
}

// The line a record's isValid adds after its own conditions.
inline QString notValidLine(const char *className, FunctionNames names = FunctionNames::Qualified)
{
    return functionName("SourceData::isValid", names) + QLatin1Char('|') + QLatin1String(className)
        + QStringLiteral(" is not valid! Data: ");
}

// A record read without validation (validity has tests of its own).
template <class T>
T fromJson(const QJsonObject &object)
{
    SourceDataReadOptions options;
    options.skipValidation = true;
    T record;
    record.read(object, options);
    return record;
}

template <class T>
T fromJson(const QByteArray &text)
{
    return fromJson<T>(json(text));
}

// The class's own fields as written (the "data" object of the envelope).
inline QJsonObject writtenFields(const SourceData &record)
{
    return record.toJsonObject().value(QStringLiteral("data")).toObject();
}

// What `record` wrote as `object` reads back as the same keys and meaning, and writes the same.
template <class T>
void checkReadBack(const T &record, const QJsonObject &object)
{
    const T again = fromJson<T>(object);
    QCOMPARE(again.valueMap().keys(), record.valueMap().keys());
    QVERIFY(again.compare(record, CompareParams::logic(true, true)).equal);
    QVERIFY(again == record);
    QCOMPARE(again.toJsonObject(), object);
}

// Reads `input` (the lines logged on reading must be `lines`), checks the written fields against
// `written` (a JSON object text), then reads the written record back.
template <class T>
void checkRoundTrip(const QByteArray &input, const QByteArray &written, const QStringList &lines = QStringList(),
                    FunctionNames names = FunctionNames::Qualified)
{
    LogCapture capture;
    const T record = fromJson<T>(input);
    QCOMPARE(linesOf(capture, names), lines);
    const QJsonObject object = record.toJsonObject();
    QCOMPARE(object.value(QStringLiteral("data")).toObject(), json(written));
    checkReadBack(record, object);
}

// Validates a record read without validation: result and lines in order; silently no lines.
template <class T>
void checkValidity(const QByteArray &input, bool valid, const QStringList &lines,
                   FunctionNames names = FunctionNames::Qualified)
{
    const T record = fromJson<T>(input);
    {
        LogCapture capture;
        QCOMPARE(record.isValid(false), valid);
        QCOMPARE(linesOf(capture, names), lines);
    }
    LogCapture silent;
    QCOMPARE(record.isValid(true), valid);
    QCOMPARE(linesOf(silent, names), QStringList());
}

// Compares two records by logic: equality and the lines of a.compare(b), with or without going on
// after the first difference; silently (either way round) the same result and no lines, and
// operator== agreeing.
template <class T>
void checkCompare(const QByteArray &a, const QByteArray &b, bool allDifferences, bool equal,
                  const QStringList &lines, FunctionNames names = FunctionNames::Qualified)
{
    const T first = fromJson<T>(a);
    const T second = fromJson<T>(b);
    {
        LogCapture capture;
        QCOMPARE(first.compare(second, CompareParams::logic(false, allDifferences)).equal, equal);
        QCOMPARE(linesOf(capture, names), lines);
    }
    LogCapture silent;
    QCOMPARE(first.compare(second, CompareParams::logic(true, allDifferences)).equal, equal);
    QCOMPARE(second.compare(first, CompareParams::logic(true, allDifferences)).equal, equal);
    QCOMPARE(first == second, equal && first.getEnabled() == second.getEnabled());
    QCOMPARE(linesOf(silent, names), QStringList());
}

// --- The same checks over _data() columns ---

// Reading: input JSON -> the value map it stores.
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

// Writing: input JSON, read and written back -> the whole JSON object written.
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
    const QJsonObject object = record.toJsonObject();
    QCOMPARE(compact(object), compact(json(written)));
    checkReadBack(record, object);
}

// Validity: input JSON -> result and lines.
inline void addValidityColumns()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("lines");
}

template <class T>
void checkValidity(FunctionNames names = FunctionNames::Qualified)
{
    QFETCH(QByteArray, input);
    QFETCH(bool, valid);
    QFETCH(QStringList, lines);
    checkValidity<T>(input, valid, lines, names);
}

// Comparison by logic: two JSON records -> result and lines.
inline void addCompareColumns()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("allDifferences");
    QTest::addColumn<bool>("equal");
    QTest::addColumn<QStringList>("lines");
}

template <class T>
void checkCompare(FunctionNames names = FunctionNames::Qualified)
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, allDifferences);
    QFETCH(bool, equal);
    QFETCH(QStringList, lines);
    checkCompare<T>(a, b, allDifferences, equal, lines, names);
}

// Short-form helpers: log lines as "LEVEL Class::method: text" without the namespace.

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
