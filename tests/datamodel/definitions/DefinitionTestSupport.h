#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QtGlobal>
#include <QtTest>

// Fixtures of the definition tests and edits of them by path.
namespace definitiontest {

inline QJsonObject fixture(const QString &name)
{
    QFile file(QStringLiteral(ORVA_TEST_DATA_DIR "/definitions/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("Missing fixture %s", qPrintable(name));
    return QJsonDocument::fromJson(file.readAll()).object();
}

QJsonValue patchedValue(const QJsonValue &node, const QStringList &path, const QJsonValue &value);

// `node` with the value at `path` replaced; an undefined value removes an object's key.
// A path segment that is a number indexes an array.
inline QJsonValue patchedValue(const QJsonValue &node, const QStringList &path, const QJsonValue &value)
{
    if (path.isEmpty())
        return value;
    bool isIndex = false;
    const int index = path.first().toInt(&isIndex);
    if (isIndex && node.isArray()) {
        QJsonArray array = node.toArray();
        array[index] = patchedValue(array.at(index), path.mid(1), value);
        return array;
    }
    QJsonObject object = node.toObject();
    if (path.size() == 1 && value.isUndefined())
        object.remove(path.first());
    else
        object.insert(path.first(), patchedValue(object.value(path.first()), path.mid(1), value));
    return object;
}

// `root` with the value at a "/"-separated path replaced; an empty path changes nothing.
inline QJsonObject patched(const QJsonObject &root, const QString &path, const QJsonValue &value)
{
    return path.isEmpty() ? root : patchedValue(root, path.split(QLatin1Char('/')), value).toObject();
}

// Every path of the document in the form patched() takes, objects and arrays included.
inline void collectPaths(const QJsonValue &node, const QString &prefix, QStringList &paths)
{
    if (node.isObject()) {
        const QJsonObject object = node.toObject();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            const QString path = prefix.isEmpty() ? it.key() : prefix + QLatin1Char('/') + it.key();
            paths << path;
            collectPaths(it.value(), path, paths);
        }
    } else if (node.isArray()) {
        const QJsonArray array = node.toArray();
        for (int i = 0; i < array.size(); ++i) {
            const QString path = prefix + QLatin1Char('/') + QString::number(i);
            paths << path;
            collectPaths(array.at(i), path, paths);
        }
    }
}

// The column "replacement" with the values a peer may put anywhere ("removed" drops the key).
inline void addAnyValueRows()
{
    QTest::addColumn<QJsonValue>("replacement");
    QTest::newRow("null") << QJsonValue();
    QTest::newRow("text") << QJsonValue(QStringLiteral("x"));
    QTest::newRow("huge number") << QJsonValue(1e300);
    QTest::newRow("negative number") << QJsonValue(-1);
    QTest::newRow("empty array") << QJsonValue(QJsonArray());
    QTest::newRow("empty object") << QJsonValue(QJsonObject());
    QTest::newRow("removed") << QJsonValue(QJsonValue::Undefined);
}

inline QStringList allPaths(const QJsonObject &root)
{
    QStringList paths;
    collectPaths(root, QString(), paths);
    return paths;
}

} // namespace definitiontest
