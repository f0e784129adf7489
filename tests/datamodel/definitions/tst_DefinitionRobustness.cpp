#include "DefinitionTestSupport.h"
#include "datamodel/definitions/SourceDefinition.h"
#include "support/LogCapture.h"

#include <QtTest>

#include <algorithm>

using namespace kvr::tracker::common;
using namespace definitiontest;

// A block's reply is a peer's data: whatever shape any value of a definition has, the factory
// builds a definition that validates, writes, reads back and compares without failing.
class tst_DefinitionRobustness : public QObject
{
    Q_OBJECT

private slots:
    void anyValueAnywhere_data();
    void anyValueAnywhere();
};

void tst_DefinitionRobustness::anyValueAnywhere_data()
{
    QTest::addColumn<QString>("fixtureName");
    QTest::addColumn<QJsonValue>("replacement");

    const QList<QPair<const char *, QJsonValue>> replacements{
        {"null", QJsonValue()},
        {"text", QJsonValue("x")},
        {"huge number", QJsonValue(1e300)},
        {"empty array", QJsonValue(QJsonArray())},
        {"empty object", QJsonValue(QJsonObject())},
        {"removed", QJsonValue(QJsonValue::Undefined)},
    };
    for (const char *name : {"camera_full.json", "cube_3_cameras.json", "camera_v0.json"}) {
        for (const auto &replacement : replacements)
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(name), QLatin1String(replacement.first))))
                << QString::fromLatin1(name) << replacement.second;
    }
}

void tst_DefinitionRobustness::anyValueAnywhere()
{
    QFETCH(QString, fixtureName);
    QFETCH(QJsonValue, replacement);

    const QJsonObject original = fixture(fixtureName);
    QStringList paths = allPaths(original);
    QVERIFY(paths.size() > 20);
    // Inside a cube, the cameras' own blocks are the camera fixture's business.
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [](const QString &path) {
                                   return path.contains(QLatin1String("/source_definition/data/"))
                                       && path.count(QLatin1Char('/')) > 10;
                               }),
                paths.end());

    LogCapture quiet(0); // the warnings of broken data are expected; only survival counts here
    for (const QString &path : paths) {
        const QJsonObject broken = patched(original, path, replacement);
        const auto definition = SourceDefinition::createFromJson(broken);
        QVERIFY(definition);
        definition->isValid(false);
        const QJsonObject written = definition->toJsonObject();
        // What was written reads back as the same class (a recording stays a QMT definition).
        const auto back = SourceDefinition::createFromJson(written);
        QVERIFY2(back->className() == definition->className(), qPrintable(path));
        back->compare(*definition, CompareParams::logic(false, true));
        definition->compare(*SourceDefinition::createFromQVariant(original.toVariantMap()), CompareParams::logic(false, true));
    }
}

QTEST_GUILESS_MAIN(tst_DefinitionRobustness)
#include "tst_DefinitionRobustness.moc"
