#include "datamodel/definitions/ReferenceFrame.h"
#include "support/RecordTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace kvr::tracker::common;
using namespace recordtest;

namespace {

const QByteArray kImage = QByteArrayLiteral("\x89PNG\r\n\x1a\n-first-image");
const QByteArray kOtherImage = QByteArrayLiteral("\x89PNG\r\n\x1a\n-second, longer image");

QString imagePath(const QTemporaryDir &dir)
{
    return dir.filePath(QStringLiteral("ReferenceFrame/reference_frame.png"));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

ReferenceFrame frameWithImage(const QByteArray &image)
{
    const QByteArray text = R"({"image_signature": "sig", "image_data": ")" + image.toBase64() + "\"}";
    return readQuiet<ReferenceFrame>(text);
}

SourceDataWriteOptions fileMode(const QString &prefix)
{
    SourceDataWriteOptions options;
    options.writeMode = SourceDataWriteMode::HeavyDataToFile;
    options.heavyDataPathPrefix = prefix;
    return options;
}

} // namespace

class tst_ReferenceFrame : public QObject
{
    Q_OBJECT

private slots:
    void readWrite_data();
    void readWrite();
    void writeModes_data();
    void writeModes();
    void readHeavyData_data();
    void readHeavyData();
    void replaceCommittedImage();
    void writeFailuresKeepCommittedImage_data();
    void writeFailuresKeepCommittedImage();
    void shortWriteKeepsCommittedImage();
    void settersWarnAboutImageData();
    void validity_data();
    void validity();
    void compare_data();
    void compare();
};

void tst_ReferenceFrame::readWrite_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("signature");
    QTest::addColumn<qint64>("timestamp");
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QByteArray>("output");

    QTest::newRow("empty: defaults, nothing written")
        << QByteArray("{}") << QSize(-1, -1) << QString() << qint64(0) << QByteArray() << QByteArray("{}");
    QTest::newRow("all keys")
        << QByteArray(R"({"image_size": {"width": 1920, "height": 1080}, "image_signature": "abc",
                          "source_timestamp": {"data_ts_ms": 1234}, "image_data": "aGVsbG8="})")
        << QSize(1920, 1080) << QString("abc") << qint64(1234) << QByteArray("hello")
        << QByteArray(R"({"image_size": {"width": 1920, "height": 1080}, "image_signature": "abc",
                          "source_timestamp": {"data_ts_ms": 1234}, "image_data": "aGVsbG8="})");
    QTest::newRow("wrong types read as neutral values")
        << QByteArray(R"({"image_size": {"width": "7", "height": null}, "image_signature": 5, "image_data": 3})")
        << QSize(0, 0) << QString() << qint64(0) << QByteArray()
        << QByteArray(R"({"image_size": {"width": 0, "height": 0}, "image_signature": "", "image_data": ""})");
}

void tst_ReferenceFrame::readWrite()
{
    QFETCH(QByteArray, input);
    QFETCH(QSize, size);
    QFETCH(QString, signature);
    QFETCH(qint64, timestamp);
    QFETCH(QByteArray, image);
    QFETCH(QByteArray, output);

    const ReferenceFrame frame = readQuiet<ReferenceFrame>(input);
    QCOMPARE(frame.getImageSize(), size);
    QCOMPARE(frame.getImageSignature(), signature);
    QCOMPARE(frame.getImageTimestamp().getDataTimestampMS(), timestamp);
    QCOMPARE(frame.getImageData(), image);

    SourceDataWriteOptions flat;
    flat.flat = true;
    flat.noVersion = true;
    // The options reach the nested timestamp too, so it is written flat as well.
    QCOMPARE(frame.toJsonObject(flat), json(output));
}

void tst_ReferenceFrame::writeModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("inJson");
    QTest::addColumn<bool>("inFile");

    QTest::newRow("reduced") << int(SourceDataWriteMode::Reduced) << false << false;
    QTest::newRow("to JSON") << int(SourceDataWriteMode::HeavyDataToJson) << true << false;
    QTest::newRow("to file") << int(SourceDataWriteMode::HeavyDataToFile) << false << true;
}

void tst_ReferenceFrame::writeModes()
{
    QFETCH(int, mode);
    QFETCH(bool, inJson);
    QFETCH(bool, inFile);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const ReferenceFrame frame = frameWithImage(kImage);
    SourceDataWriteOptions options = fileMode(dir.path() + "/not/yet/there");
    options.writeMode = SourceDataWriteMode(mode);

    LogCapture capture;
    const QJsonObject out = frame.toJsonObject(options);
    QCOMPARE(logLines(capture), QStringList());
    const QJsonObject data = out.value("data").toObject();
    QCOMPARE(data.value("image_signature").toString(), QStringLiteral("sig"));
    QCOMPARE(data.contains("image_data"), inJson);
    const QString path = dir.path() + "/not/yet/there/ReferenceFrame/reference_frame.png";
    QCOMPARE(QFile::exists(path), inFile);

    // Whatever the mode, reading back with heavy data gives the image wherever it went.
    SourceDataReadOptions readOptions;
    readOptions.heavyData = true;
    readOptions.heavyDataPathPrefix = dir.path() + "/not/yet/there";
    ReferenceFrame back;
    back.read(out, readOptions);
    QCOMPARE(back.getImageData(), mode == int(SourceDataWriteMode::Reduced) ? QByteArray() : kImage);
    QCOMPARE(back.getImageSignature(), frame.getImageSignature());
}

void tst_ReferenceFrame::readHeavyData_data()
{
    QTest::addColumn<QByteArray>("jsonImage");
    QTest::addColumn<QByteArray>("fileImage"); // null: no file
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QStringList>("lines");

    const QString file = QStringLiteral("<dir>/ReferenceFrame/reference_frame.png");
    QTest::newRow("file only") << QByteArray() << kImage << kImage << QStringList();
    QTest::newRow("file wins over JSON")
        << kOtherImage << kImage << kImage
        << QStringList{"WRN ReferenceFrame::readImageFile: Heavy data loaded from json and file. Using data from file only."};
    QTest::newRow("empty file keeps the JSON image")
        << kOtherImage << QByteArray("") << kOtherImage
        << QStringList{"ERR ReferenceFrame::readImageFile: Heavy data from file are empty (" + file + ")!"};
    QTest::newRow("missing file keeps the JSON image")
        << kOtherImage << QByteArray() << kOtherImage
        << QStringList{"WRN ReferenceFrame::readImageFile: Could not open heavy data file (" + file + ")!"};
}

void tst_ReferenceFrame::readHeavyData()
{
    QFETCH(QByteArray, jsonImage);
    QFETCH(QByteArray, fileImage);
    QFETCH(QByteArray, image);
    QFETCH(QStringList, lines);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (!fileImage.isNull())
        writeFile(imagePath(dir), fileImage);

    QJsonObject object = json(R"({"image_signature": "sig"})");
    if (!jsonImage.isEmpty())
        object.insert("image_data", QString::fromLatin1(jsonImage.toBase64()));
    SourceDataReadOptions options;
    options.skipValidation = true;
    options.heavyData = true;
    options.heavyDataPathPrefix = dir.path();

    LogCapture capture;
    ReferenceFrame frame;
    frame.read(object, options);
    QCOMPARE(frame.getImageData(), image);
    QCOMPARE(logLines(capture).replaceInStrings(QDir(dir.path()).absolutePath(), "<dir>"), lines);

    // Without heavy data asked for, no file is looked at.
    LogCapture quiet;
    options.heavyData = false;
    frame.read(object, options);
    QCOMPARE(frame.getImageData(), jsonImage);
    QCOMPARE(logLines(quiet), QStringList());
}

void tst_ReferenceFrame::replaceCommittedImage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    LogCapture capture;
    frameWithImage(kImage).toJsonObject(fileMode(dir.path()));
    QCOMPARE(readFile(imagePath(dir)), kImage);
    frameWithImage(kOtherImage).toJsonObject(fileMode(dir.path()));
    QCOMPARE(readFile(imagePath(dir)), kOtherImage);
    QCOMPARE(QDir(dir.filePath("ReferenceFrame")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"reference_frame.png"});

    // Empty image data held: an empty image is committed, and reading it back says so.
    frameWithImage(QByteArray()).toJsonObject(fileMode(dir.path()));
    QCOMPARE(readFile(imagePath(dir)), QByteArray(""));
    QCOMPARE(logLines(capture), QStringList());
    SourceDataReadOptions options;
    options.skipValidation = true;
    options.heavyData = true;
    options.heavyDataPathPrefix = dir.path();
    ReferenceFrame().read(json("{}"), options);
    QVERIFY(capture.contains("Heavy data from file are empty ("));

    // A frame without image data leaves the committed file alone.
    writeFile(imagePath(dir), kImage);
    readQuiet<ReferenceFrame>(R"({"image_signature": "x"})").toJsonObject(fileMode(dir.path()));
    QCOMPARE(readFile(imagePath(dir)), kImage);
}

void tst_ReferenceFrame::writeFailuresKeepCommittedImage_data()
{
    QTest::addColumn<QString>("prefix");   // relative to the temporary directory; "-" for none
    QTest::addColumn<QString>("blocker");  // a path made a plain file or a directory first
    QTest::addColumn<bool>("blockerIsDir");
    QTest::addColumn<QString>("line");

    QTest::newRow("no directory")
        << "-" << QString() << false << "WRN ReferenceFrame::writeImageFile: Heavy data to file requested but no path specified!";
    QTest::newRow("directory cannot be made")
        << "file/sub" << "file" << false
        << "ERR ReferenceFrame::writeImageFile: Could not create the directory path for heavy data (<dir>/file/sub/ReferenceFrame)!";
    QTest::newRow("file cannot be opened")
        << "d" << "d/ReferenceFrame/reference_frame.png" << true
        << "ERR ReferenceFrame::writeImageFile: Could not open the heavy data file for writing (<dir>/d/ReferenceFrame/reference_frame.png)!";
}

void tst_ReferenceFrame::writeFailuresKeepCommittedImage()
{
    QFETCH(QString, prefix);
    QFETCH(QString, blocker);
    QFETCH(bool, blockerIsDir);
    QFETCH(QString, line);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = QDir(dir.path()).absolutePath();
    if (!blocker.isEmpty()) {
        if (blockerIsDir)
            QVERIFY(QDir().mkpath(dir.filePath(blocker)));
        else
            writeFile(dir.filePath(blocker), kImage);
    }

    SourceDataWriteOptions options = fileMode(prefix == "-" ? QString() : root + '/' + prefix);
    LogCapture capture;
    const QJsonObject out = frameWithImage(kOtherImage).toJsonObject(options);
    QVERIFY(!out.value("data").toObject().contains("image_data"));
    QStringList lines = logLines(capture).replaceInStrings(root, "<dir>");
    if (prefix == "-") // the base names the missing directory first
        QVERIFY(lines.size() == 2 && lines.takeFirst().contains("Both heavy data path prefix and heavy data path is empty!"));
    QCOMPARE(lines, QStringList{line});
    if (!blocker.isEmpty() && !blockerIsDir)
        QCOMPARE(readFile(dir.filePath(blocker)), kImage);
}

// A write cut short by the file-size limit must not touch the committed image.
void tst_ReferenceFrame::shortWriteKeepsCommittedImage()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    frameWithImage(kImage).toJsonObject(fileMode(dir.path()));
    QCOMPARE(readFile(imagePath(dir)), kImage);

    const QByteArray big(4096, 'x');
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 100;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    LogCapture capture;
    frameWithImage(big).toJsonObject(fileMode(dir.path()));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    const QString path = QDir(dir.path()).absoluteFilePath("ReferenceFrame/reference_frame.png");
    QCOMPARE(logLines(capture),
             QStringList{"ERR ReferenceFrame::writeImageFile: Failed to write all heavy data to file: " + path
                         + " (size: 4096, written: 100)!"});
    QCOMPARE(readFile(imagePath(dir)), kImage);
    QCOMPARE(QDir(dir.filePath("ReferenceFrame")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"reference_frame.png"});
#else
    QSKIP("needs a file-size limit");
#endif
}

void tst_ReferenceFrame::settersWarnAboutImageData()
{
    const QString warning = QStringLiteral("Image data not empty! New stab. image signature might invalidate existing stab. image data...");
    ReferenceFrame frame = frameWithImage(kImage);
    LogCapture capture;
    frame.setImageSignature("new");
    frame.setImageSize(QSize(2, 2));
    frame.setImageSignature("quiet", true);
    frame.setImageSize(QSize(3, 3), true);
    QCOMPARE(logLines(capture), (QStringList{"WRN ReferenceFrame::warnIfImageData: " + warning,
                                             "WRN ReferenceFrame::warnIfImageData: " + warning}));
    QCOMPARE(frame.getImageData(), kImage);
    QCOMPARE(frame.getImageSignature(), QStringLiteral("quiet"));

    capture.clear();
    ReferenceFrame empty;
    empty.setImageSignature("a");
    empty.setImageSize(QSize(1, 1));
    QCOMPARE(logLines(capture), QStringList());
}

void tst_ReferenceFrame::validity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("lines");

    const QString rf = QStringLiteral("ReferenceFrame::isValid_impl");
    QTest::newRow("full HD with signature")
        << QByteArray(R"({"image_size": {"width": 1920, "height": 1080}, "image_signature": "s", "source_timestamp": {"data_ts_ms": 1}})")
        << QStringList();
    QTest::newRow("no signature")
        << QByteArray(R"({"image_size": {"width": 1920, "height": 1080}})")
        << QStringList{condition(rf, "!getImageSignature().isEmpty()"), notValid("ReferenceFrame")};
    QTest::newRow("width 0")
        << QByteArray(R"({"image_size": {"width": 0, "height": 1080}, "image_signature": "s"})")
        << QStringList{condition(rf, "!getImageSize().isEmpty()"), notValid("ReferenceFrame")};
    QTest::newRow("no size at all")
        << QByteArray(R"({"image_signature": "s"})")
        << QStringList{condition(rf, "!getImageSize().isEmpty()"), notValid("ReferenceFrame")};
    QTest::newRow("disabled needs nothing") << QByteArray(R"({"enabled": false})") << QStringList();
}

void tst_ReferenceFrame::validity()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, lines);

    QStringList logged;
    QCOMPARE(validate(readQuiet<ReferenceFrame>(input), &logged), lines.isEmpty());
    QCOMPARE(logged, lines);
}

void tst_ReferenceFrame::compare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("allDifferences");
    QTest::addColumn<bool>("equal");
    QTest::addColumn<bool>("first");
    QTest::addColumn<QStringList>("lines");

    const QString rf = QStringLiteral("ReferenceFrame::compare_logic");
    const QByteArray base = R"({"image_size": {"width": 4, "height": 3}, "image_signature": "s", "image_data": "AAAA"})";
    QTest::newRow("image data is not compared")
        << base << QByteArray(R"({"image_size": {"width": 4, "height": 3}, "image_signature": "s", "image_data": "/w=="})")
        << false << true << false << QStringList();
    QTest::newRow("signature raises the first flag")
        << base << QByteArray(R"({"image_size": {"width": 4, "height": 3}, "image_signature": "t"})") << false << false
        << true << QStringList{condition(rf, "getImageSignature() == otherSD->getImageSignature()")};
    QTest::newRow("size alone leaves the first flag down")
        << base << QByteArray(R"({"image_size": {"width": 4, "height": 4}, "image_signature": "s"})") << false << false
        << false << QStringList{condition(rf, "getImageSize() == otherSD->getImageSize()")};
    QTest::newRow("timestamps")
        << QByteArray(R"({"image_size": {"width": 4, "height": 3}, "image_signature": "s", "source_timestamp": {"data_ts_ms": 1}})")
        << QByteArray(R"({"image_size": {"width": 4, "height": 3}, "image_signature": "s", "source_timestamp": {"data_ts_ms": 2}})")
        << false << false << false
        << QStringList{condition(rf, "getImageTimestamp().compare(otherSD->getImageTimestamp(), compareParams)")};
    QTest::newRow("all differences, flag kept")
        << base << QByteArray(R"({"image_size": {"width": 5, "height": 3}, "image_signature": "t", "source_timestamp": {"data_ts_ms": 2}})")
        << true << false << true
        << QStringList{condition(rf, "getImageSignature() == otherSD->getImageSignature()"),
                       condition(rf, "getImageSize() == otherSD->getImageSize()"),
                       condition(rf, "getImageTimestamp().compare(otherSD->getImageTimestamp(), compareParams)")};
    QTest::newRow("both disabled") << QByteArray(R"({"enabled": false, "image_signature": "a"})")
                                   << QByteArray(R"({"enabled": false, "image_signature": "b"})") << false << true
                                   << false << QStringList();
}

void tst_ReferenceFrame::compare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, allDifferences);
    QFETCH(bool, equal);
    QFETCH(bool, first);
    QFETCH(QStringList, lines);

    QStringList logged;
    const CompareResult result = compareLogic(readQuiet<ReferenceFrame>(a), readQuiet<ReferenceFrame>(b), allDifferences, &logged);
    QCOMPARE(result.equal, equal);
    QCOMPARE(result.first, first);
    QCOMPARE(logged, lines);
}

QTEST_GUILESS_MAIN(tst_ReferenceFrame)
#include "tst_ReferenceFrame.moc"
