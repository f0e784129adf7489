#include <QColor>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString kQmlRoot = QStringLiteral(ORVA_SOURCE_DIR "/qml");
const QString kStyleDocument = QStringLiteral("Style/Style.qml");
// Where the resource file places the modules (Orva.Controls is Orva/Controls).
const QString kModuleRoot = QStringLiteral(":/qt-project.org/imports/Orva/");

// The colours a document writes itself instead of naming them in the style, each as
// "line: literal". Strings and comments are told apart from code so that a colour in a comment
// or a translated text does not count; "transparent" is no colour of the look.
QStringList colourLiterals(const QString &source)
{
    static const QRegularExpression colourCall(QStringLiteral(R"(\bQt\.(rgba|hsla|hsva)\s*\()"));
    static const QRegularExpression translatedBefore(QStringLiteral(R"(\bqsTr(anslate)?\s*\(\s*$)"));
    QStringList found;
    QString code;   // the code of the current line, without strings and comments
    int line = 1;
    auto endLine = [&] {
        auto match = colourCall.globalMatch(code);
        while (match.hasNext())
            found << QStringLiteral("%1: Qt.%2").arg(line).arg(match.next().captured(1));
        code.clear();
        ++line;
    };
    for (int i = 0; i < source.size(); ++i) {
        const QChar c = source.at(i);
        if (c == QLatin1Char('\n')) {
            endLine();
        } else if (source.midRef(i, 2) == QLatin1String("//")) {
            while (i + 1 < source.size() && source.at(i + 1) != QLatin1Char('\n'))
                ++i;
        } else if (source.midRef(i, 2) == QLatin1String("/*")) {
            const int end = source.indexOf(QLatin1String("*/"), i + 2);
            const int stop = end < 0 ? source.size() : end + 2;
            for (; i < stop - 1; ++i) {
                if (source.at(i) == QLatin1Char('\n'))
                    endLine();
            }
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            QString text;
            int j = i + 1;
            for (; j < source.size() && source.at(j) != c && source.at(j) != QLatin1Char('\n'); ++j) {
                if (source.at(j) == QLatin1Char('\\') && j + 1 < source.size())
                    ++j;
                text += source.at(j);
            }
            const bool translated = translatedBefore.match(code).hasMatch();
            if (!translated && text != QLatin1String("transparent") && QColor::isValidColor(text))
                found << QStringLiteral("%1: %2").arg(line).arg(text);
            code += QLatin1String("\"\"");
            i = j;
        } else {
            code += c;
        }
    }
    endLine();
    return found;
}

QStringList documents()
{
    QStringList paths;
    QDirIterator it(kQmlRoot, {QStringLiteral("*.qml")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << QDir(kQmlRoot).relativeFilePath(it.next());
    paths.sort();
    return paths;
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

// The rules the interface's documents keep so that the next views keep them too: colours come
// from the style, and documents reach each other as modules by name.
class tst_QmlStyle : public QObject
{
    Q_OBJECT

private slots:
    void colourLiteralsFound_data();
    void colourLiteralsFound();
    void documentTakesColoursFromTheStyle_data();
    void documentTakesColoursFromTheStyle();
    void moduleOffersItsDocuments_data();
    void moduleOffersItsDocuments();
};

void tst_QmlStyle::colourLiteralsFound_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("found");

    QTest::newRow("hex colour") << "color: \"#ff0000\"" << QStringList{QStringLiteral("1: #ff0000")};
    QTest::newRow("name on the next line of a binding")
        << "Item {\n    color: busy\n           ? \"white\" : Style.panelColor\n}" << QStringList{QStringLiteral("3: white")};
    QTest::newRow("single quotes in a declaration") << "property color tint: '#80ff0000'" << QStringList{QStringLiteral("1: #80ff0000")};
    QTest::newRow("colour built from numbers") << "color: Qt.rgba(1, 0, 0, 0.5)" << QStringList{QStringLiteral("1: Qt.rgba")};
    QTest::newRow("after a comment on the line") << "x: 1 // red\ncolor: \"red\"" << QStringList{QStringLiteral("2: red")};
    QTest::newRow("style name") << "color: enabled ? Style.accentColor : Style.disabledColor" << QStringList{};
    QTest::newRow("transparent") << "color: \"transparent\"" << QStringList{};
    QTest::newRow("in a line comment") << "x: 1 // was \"#ff0000\"" << QStringList{};
    QTest::newRow("in a block comment") << "/* \"white\"\n  Qt.rgba(1, 1, 1, 1) */ y: 2" << QStringList{};
    QTest::newRow("translated text") << "text: qsTr(\"Red\")" << QStringList{};
    QTest::newRow("escaped quote inside a text") << "text: \"say \\\"red\\\"\"" << QStringList{};
    QTest::newRow("not a colour") << "objectName: \"pagingBar\"; text: \"#1\"" << QStringList{};
}

void tst_QmlStyle::colourLiteralsFound()
{
    QFETCH(QString, source);
    QFETCH(QStringList, found);
    QCOMPARE(colourLiterals(source), found);
}

void tst_QmlStyle::documentTakesColoursFromTheStyle_data()
{
    QTest::addColumn<QString>("document");
    for (const QString &document : documents()) {
        if (document != kStyleDocument)
            QTest::newRow(qPrintable(document)) << document;
    }
}

void tst_QmlStyle::documentTakesColoursFromTheStyle()
{
    QFETCH(QString, document);
    const QString source = readAll(kQmlRoot + QLatin1Char('/') + document);
    QVERIFY(!source.isEmpty());
    const QStringList found = colourLiterals(source);
    QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("colours outside the style, name them in %1:\n%2")
                                             .arg(kStyleDocument, found.join(QLatin1Char('\n')))));
    // A path import ("../Controls") bypasses the modules.
    static const QRegularExpression pathImport(QStringLiteral("^\\s*import\\s+[\"']"),
                                               QRegularExpression::MultilineOption);
    QVERIFY2(!pathImport.match(source).hasMatch(), "imports a folder by path; import its module by name");
}

void tst_QmlStyle::moduleOffersItsDocuments_data()
{
    QTest::addColumn<QString>("folder");
    const QStringList folders = QDir(kQmlRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &folder : folders) {
        const QDir dir(kQmlRoot + QLatin1Char('/') + folder);
        if (!dir.entryList({QStringLiteral("*.qml")}, QDir::Files).isEmpty())
            QTest::newRow(qPrintable(folder)) << folder;
    }
}

void tst_QmlStyle::moduleOffersItsDocuments()
{
    QFETCH(QString, folder);
    const QString qmldir = readAll(kQmlRoot + QLatin1Char('/') + folder + QStringLiteral("/qmldir"));
    QVERIFY2(qmldir.contains(QStringLiteral("module Orva.") + folder + QLatin1Char('\n')),
             "a folder of documents needs a qmldir naming its module Orva.<folder>");
    QVERIFY2(readAll(kModuleRoot + folder + QStringLiteral("/qmldir")) == qmldir, "the qmldir is missing in qml.qrc");

    const QStringList files = QDir(kQmlRoot + QLatin1Char('/') + folder).entryList({QStringLiteral("*.qml")}, QDir::Files);
    for (const QString &file : files) {
        const QString type = file.chopped(4);
        const QRegularExpression entry(QStringLiteral(R"(^(singleton\s+)?%1\s+1\.0\s+%2$)")
                                           .arg(type, QRegularExpression::escape(file)),
                                       QRegularExpression::MultilineOption);
        QVERIFY2(entry.match(qmldir).hasMatch(), qPrintable(file + QStringLiteral(" is not declared in the qmldir")));
        QVERIFY2(QFile::exists(kModuleRoot + folder + QLatin1Char('/') + file),
                 qPrintable(file + QStringLiteral(" is missing under the module's path in qml.qrc")));
    }
}

QTEST_GUILESS_MAIN(tst_QmlStyle)
#include "tst_QmlStyle.moc"
