#include "support/RecordTestSupport.h"

#include "datamodel/params/SourceDataMat.h"
#include "datamodel/params/SourceDefinitionCameraParams.h"

#include <cmath>
#include <functional>
#include <limits>

using namespace kvr::tracker::common;
using namespace recordtest;

// Lines name their functions without the namespace.
constexpr FunctionNames kNames = FunctionNames::Unqualified;

namespace {

cv::Mat mat3x3(double corner = 1.0, int type = CV_64FC1)
{
    cv::Mat mat = (cv::Mat_<double>(3, 3) << 0.5, 0, 0.5, 0, 0.5, 0.5, 0, 0, corner);
    mat.convertTo(mat, type);
    return mat;
}

cv::Mat normalised()
{
    return mat3x3();
}

// Same shape, type and elements.
bool sameMat(const cv::Mat &a, const cv::Mat &b)
{
    if (a.empty() || b.empty())
        return a.empty() && b.empty();
    if (a.size != b.size || a.type() != b.type())
        return false;
    return cv::norm(a.reshape(1, int(a.total())), b.reshape(1, int(b.total())), cv::NORM_INF) == 0;
}

SourceDataMat unreadable(const char *storageText)
{
    // Malformed storage text as a peer may send it inside "data".
    return fromJson<SourceDataMat>(QByteArray(R"({"data": {"data": )") + storageText + "}}");
}

using CameraSetup = std::function<void(SourceDefinitionCameraParams &)>;

SourceDefinitionCameraParams makeCamera(const CameraSetup &setup, bool enabled = true)
{
    SourceDefinitionCameraParams block;
    block.setEnabled(enabled);
    if (setup)
        setup(block);
    return block;
}

const char *const kCameraText =
    "tmpSrcMat.isValid(skipWrn) && tmpMat.size() == cv::Size(3,3) && tmpMat.type() == CV_64FC1";
const char *const kDistortionText =
    "tmpSrcMat.isValid(skipWrn) && tmpMat.size() == cv::Size(1,14) && tmpMat.type() == CV_64FC1";
const char *const kMatCompare =
    "thisMat.empty() || otherMat.empty() ? false : cv::countNonZero(getMat() != otherSD->getMat()) == 0";

QString cameraFails(const char *text)
{
    return conditionLine("SourceDefinitionCameraParams::isValid_impl", text, kNames);
}

QString cameraDiffers(const char *text)
{
    return conditionLine("SourceDefinitionCameraParams::compare_logic", text, kNames);
}

const QString kMatDiffers = conditionLine("SourceDataMat::compare_logic", kMatCompare, kNames);

} // namespace

Q_DECLARE_METATYPE(cv::Mat)
Q_DECLARE_METATYPE(CameraSetup)

class tst_MatrixRecords : public QObject
{
    Q_OBJECT

private slots:
    // Matrix record
    void matRoundTrip_data();
    void matRoundTrip();
    void matUnreadable_data();
    void matUnreadable();
    void matCompare_data();
    void matCompare();
    void matWithoutText();
    void matSpecialValues();

    // Camera parameters
    void cameraRead_data();
    void cameraRead();
    void cameraWrite_data();
    void cameraWrite();
    void cameraValidity_data();
    void cameraValidity();
    void cameraCompare_data();
    void cameraCompare();
};

// --- Matrix record ---

void tst_MatrixRecords::matRoundTrip_data()
{
    QTest::addColumn<cv::Mat>("mat");

    QTest::newRow("3x3 double") << mat3x3();
    QTest::newRow("14x1 zeros") << cv::Mat(cv::Mat::zeros(14, 1, CV_64FC1));
    QTest::newRow("1x14 float") << cv::Mat(cv::Mat::ones(1, 14, CV_32FC1));
    QTest::newRow("2x3 int with negatives") << cv::Mat((cv::Mat_<int>(2, 3) << -1, 0, 7, 2147483647, -2147483647, 3));
    QTest::newRow("three channels") << cv::Mat(2, 2, CV_8UC3, cv::Scalar(1, 2, 255));
    QTest::newRow("tiny and huge doubles") << cv::Mat((cv::Mat_<double>(1, 3) << 1e-300, -2.5e300, 0.1));
    QTest::newRow("empty") << cv::Mat();
}

void tst_MatrixRecords::matRoundTrip()
{
    QFETCH(cv::Mat, mat);

    LogCapture capture;
    const SourceDataMat record(mat);
    QVERIFY(sameMat(record.getMat(), mat));
    const QString text = record.valueMap().value(QStringLiteral("data")).toString();
    QVERIFY(!text.isEmpty());
    QVERIFY(!text.contains(QLatin1Char(' ')));
    QVERIFY(record.isValid(true)); // text is there, even for an empty matrix

    // JSON form {"data": {"data": ...}} and back: the same matrix.
    const QJsonObject object = record.toJsonObject();
    QVERIFY(object.value(QStringLiteral("data")).toObject().value(QStringLiteral("data")).isObject());
    SourceDataMat back;
    back.read(object);
    QVERIFY(sameMat(back.getMat(), mat));
    QCOMPARE(back.toJsonObject(), object);

    // Through a QVariant, as nested records travel.
    const SourceDataMat fromVariant(record.getQVariantData());
    QVERIFY(sameMat(fromVariant.getMat(), mat));
    QCOMPARE(linesOf(capture, kNames), QStringList());

    // An empty matrix never compares equal, even with itself.
    QCOMPARE(record.compare(back, CompareParams::logic(true)).equal, !mat.empty());
}

void tst_MatrixRecords::matUnreadable_data()
{
    QTest::addColumn<QByteArray>("storage");

    QTest::newRow("empty data object") << QByteArray(R"({"data": {}})");
    QTest::newRow("data shorter than rows x cols")
        << QByteArray(R"({"data": {"type_id": "opencv-matrix", "rows": 2, "cols": 2, "dt": "d", "data": [1, 2, 3]}})");
    QTest::newRow("data longer than rows x cols")
        << QByteArray(R"({"data": {"type_id": "opencv-matrix", "rows": 1, "cols": 1, "dt": "d", "data": [1, 2]}})");
    QTest::newRow("unknown element type")
        << QByteArray(R"({"data": {"type_id": "opencv-matrix", "rows": 1, "cols": 1, "dt": "q", "data": [1]}})");
    // Refused before OpenCV allocates what the header declares (80 GB here).
    QTest::newRow("declared size far beyond the data")
        << QByteArray(R"({"data": {"type_id": "opencv-matrix", "rows": 100000, "cols": 100000, "dt": "d", "data": [1]}})");
    QTest::newRow("declared size overflowing int")
        << QByteArray(R"({"data": {"type_id": "opencv-matrix", "rows": 65536, "cols": 65536, "dt": "4d", "data": []}})");
    QTest::newRow("negative rows")
        << QByteArray(R"({"data": {"type_id": "opencv-matrix", "rows": -1, "cols": -1, "dt": "d", "data": [1]}})");
    QTest::newRow("n-dimensional beyond the bound")
        << QByteArray(R"({"data": {"type_id": "opencv-nd-matrix", "sizes": [4096, 4096, 4096], "dt": "u", "data": [1]}})");
    QTest::newRow("data not a list")
        << QByteArray(R"({"data": {"type_id": "opencv-matrix", "rows": 1, "cols": 1, "dt": "d", "data": "$base64$AAAA"}})");
}

void tst_MatrixRecords::matUnreadable()
{
    QFETCH(QByteArray, storage);

    const SourceDataMat record = unreadable(storage.constData());
    QVERIFY(record.isValid(true)); // validity does not parse

    LogCapture capture;
    QVERIFY(record.getMat().empty());
    const QStringList lines = linesOf(capture, kNames);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().startsWith(QStringLiteral("SourceDataMat::getMat|Matrix could not be read: ")),
             qPrintable(lines.first()));
    QCOMPARE(capture.texts(kvr::log::ERR).size(), 1);

    // Comparing never throws either.
    QVERIFY(!record.compare(record, CompareParams::logic(true)).equal);
    QVERIFY(!record.compare(SourceDataMat(mat3x3()), CompareParams::logic(true)).equal);
}

void tst_MatrixRecords::matCompare_data()
{
    QTest::addColumn<cv::Mat>("a");
    QTest::addColumn<cv::Mat>("b");
    QTest::addColumn<bool>("equal");

    QTest::newRow("equal 3x3") << mat3x3() << mat3x3() << true;
    QTest::newRow("one element differs") << mat3x3() << mat3x3(2.0) << false;
    QTest::newRow("equal three channels") << cv::Mat(2, 2, CV_8UC3, cv::Scalar(1, 2, 3))
                                          << cv::Mat(2, 2, CV_8UC3, cv::Scalar(1, 2, 3)) << true;
    QTest::newRow("one channel differs") << cv::Mat(2, 2, CV_8UC3, cv::Scalar(1, 2, 3))
                                         << cv::Mat(2, 2, CV_8UC3, cv::Scalar(1, 2, 4)) << false;
    QTest::newRow("different size") << mat3x3() << cv::Mat(cv::Mat::zeros(14, 1, CV_64FC1)) << false;
    QTest::newRow("transposed shape") << cv::Mat(cv::Mat::zeros(1, 14, CV_64FC1))
                                      << cv::Mat(cv::Mat::zeros(14, 1, CV_64FC1)) << false;
    QTest::newRow("different type") << mat3x3() << mat3x3(1.0, CV_32FC1) << false;
    QTest::newRow("different channels") << cv::Mat(2, 2, CV_8UC1, cv::Scalar(1))
                                        << cv::Mat(2, 2, CV_8UC2, cv::Scalar(1, 1)) << false;
    QTest::newRow("one empty") << mat3x3() << cv::Mat() << false;
    QTest::newRow("both empty") << cv::Mat() << cv::Mat() << false;
}

void tst_MatrixRecords::matCompare()
{
    QFETCH(cv::Mat, a);
    QFETCH(cv::Mat, b);
    QFETCH(bool, equal);

    const SourceDataMat recordA(a);
    const SourceDataMat recordB(b);
    LogCapture capture;
    const CompareResult result = recordA.compare(recordB, CompareParams::logic(false, true));
    QCOMPARE(result.equal, equal);
    QVERIFY(!result.first);
    QCOMPARE(linesOf(capture, kNames), equal ? QStringList() : QStringList{kMatDiffers});
    QCOMPARE(recordB.compare(recordA, CompareParams::logic(true)).equal, equal);
}

void tst_MatrixRecords::matWithoutText()
{
    SourceDataMat record;
    QVERIFY(record.getMat().empty());
    QVERIFY(!record.isValid(true));

    LogCapture capture;
    const QJsonObject written = writtenFields(record);
    QVERIFY(written.isEmpty());
    const QStringList errors = capture.texts(kvr::log::ERR);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().startsWith(QStringLiteral("JSON Error: ")), qPrintable(errors.first()));

    // A member that is no object reads as the empty document: valid, but no matrix in it.
    const SourceDataMat notAnObject = fromJson<SourceDataMat>(R"({"data": 5})");
    QCOMPARE(notAnObject.valueMap().value(QStringLiteral("data")).toString(), QStringLiteral("{}"));
    QVERIFY(notAnObject.isValid(true));
    QVERIFY(notAnObject.getMat().empty());
    QCOMPARE(writtenFields(notAnObject), json(R"({"data": {}})"));

    // Text that is no storage document at all.
    SourceDataMat garbage;
    garbage.setValue(QStringLiteral("data"), QStringLiteral("not a matrix"));
    capture.clear();
    QVERIFY(garbage.getMat().empty());
    QCOMPARE(capture.texts(kvr::log::ERR).size(), 1);
}

// OpenCV writes NaN and infinities as words that are not JSON; they still read back.
void tst_MatrixRecords::matSpecialValues()
{
    const double inf = std::numeric_limits<double>::infinity();
    LogCapture capture;
    const cv::Mat mat = SourceDataMat(cv::Mat((cv::Mat_<double>(1, 3) << std::nan(""), inf, -inf))).getMat();
    QCOMPARE(linesOf(capture, kNames), QStringList());
    QCOMPARE(mat.cols, 3);
    QVERIFY(std::isnan(mat.at<double>(0)));
    QCOMPARE(mat.at<double>(1), inf);
    QCOMPARE(mat.at<double>(2), -inf);
}

// --- Camera parameters ---

void tst_MatrixRecords::cameraRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QSize>("frameSize");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("empty object") << QByteArray("{}") << QSize() << QByteArray("{}");
    QTest::newRow("full size") << QByteArray(R"({"frame_size": {"width": 1920, "height": 1080}})") << QSize(1920, 1080)
                               << QByteArray(R"({"frame_size": {"width": 1920, "height": 1080}})");
    QTest::newRow("width only") << QByteArray(R"({"frame_size": {"width": 1920}})") << QSize(1920, 0)
                                << QByteArray(R"({"frame_size": {"width": 1920, "height": 0}})");
    QTest::newRow("not an object") << QByteArray(R"({"frame_size": 5})") << QSize(0, 0)
                                   << QByteArray(R"({"frame_size": {"width": 0, "height": 0}})");
    QTest::newRow("numeric texts convert") << QByteArray(R"({"frame_size": {"width": "640", "height": "x"}})")
                                           << QSize(640, 0)
                                           << QByteArray(R"({"frame_size": {"width": 640, "height": 0}})");
}

void tst_MatrixRecords::cameraRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QSize, frameSize);
    QFETCH(QByteArray, written);

    checkRoundTrip<SourceDefinitionCameraParams>(input, written);
    const auto block = fromJson<SourceDefinitionCameraParams>(input);
    QCOMPARE(block.getFrameSize(), frameSize);
    // No matrices stored: the getters give the defaults.
    QVERIFY(sameMat(block.getCameraMat().getMat(), normalised()));
    QVERIFY(sameMat(block.getNewCameraMat().getMat(), normalised()));
    QVERIFY(sameMat(block.getDistortionCoefficients().getMat(), cv::Mat::zeros(14, 1, CV_64FC1)));
    QVERIFY(!block.getEnabled());
}

void tst_MatrixRecords::cameraWrite_data()
{
    QTest::addColumn<CameraSetup>("setup");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<cv::Mat>("camera");
    QTest::addColumn<cv::Mat>("newCamera");
    QTest::addColumn<cv::Mat>("distortion");

    const cv::Mat zeros = cv::Mat::zeros(14, 1, CV_64FC1);
    const cv::Mat coefficients = cv::Mat::ones(14, 1, CV_64FC1) * 0.01;

    QTest::newRow("all four keys")
        << CameraSetup([=](SourceDefinitionCameraParams &b) {
               b.setFrameSize(QSize(800, 600));
               b.setCameraMat(SourceDataMat(mat3x3(3.0)));
               b.setNewCameraMat(SourceDataMat(mat3x3(4.0)));
               b.setDistortionCoefficients(SourceDataMat(coefficients));
           })
        << QStringList{"camera_mat", "distortion_coeffs", "frame_size", "new_camera_mat"} << mat3x3(3.0)
        << mat3x3(4.0) << coefficients;
    QTest::newRow("new camera matrix falls back to the stored camera matrix")
        << CameraSetup([](SourceDefinitionCameraParams &b) { b.setCameraMat(SourceDataMat(mat3x3(3.0))); })
        << QStringList{"camera_mat"} << mat3x3(3.0) << mat3x3(3.0) << zeros;
    QTest::newRow("empty matrix record is written as the default")
        << CameraSetup([](SourceDefinitionCameraParams &b) { b.setCameraMat(SourceDataMat()); })
        << QStringList{"camera_mat"} << normalised() << normalised() << zeros;
}

void tst_MatrixRecords::cameraWrite()
{
    QFETCH(CameraSetup, setup);
    QFETCH(QStringList, keys);
    QFETCH(cv::Mat, camera);
    QFETCH(cv::Mat, newCamera);
    QFETCH(cv::Mat, distortion);

    const SourceDefinitionCameraParams block = makeCamera(setup);
    const QJsonObject object = block.toJsonObject();
    QCOMPARE(object.value(QStringLiteral("data")).toObject().keys(), keys);

    SourceDefinitionCameraParams back;
    back.read(object);
    QVERIFY(sameMat(back.getCameraMat().getMat(), camera));
    QVERIFY(sameMat(back.getNewCameraMat().getMat(), newCamera));
    QVERIFY(sameMat(back.getDistortionCoefficients().getMat(), distortion));
    QCOMPARE(back.getFrameSize(), block.getFrameSize());
    QCOMPARE(back.toJsonObject(), object);
    QVERIFY(back == block);
    // Nested matrices keep the base's envelope.
    const QJsonObject nested = object.value(QStringLiteral("data")).toObject().value(keys.first()).toObject();
    QCOMPARE(nested.value(QStringLiteral("version")).toInt(), 1);
}

void tst_MatrixRecords::cameraValidity_data()
{
    QTest::addColumn<CameraSetup>("setup");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("lines");

    const QString invalid = notValidLine("SourceDefinitionCameraParams", kNames);

    QTest::newRow("enabled without matrices") << CameraSetup() << true << true << QStringList();
    QTest::newRow("disabled with wrong shapes")
        << CameraSetup([](SourceDefinitionCameraParams &b) { b.setCameraMat(SourceDataMat(cv::Mat::eye(3, 4, CV_64FC1))); })
        << false << true << QStringList();
    QTest::newRow("camera matrix 3x4")
        << CameraSetup([](SourceDefinitionCameraParams &b) { b.setCameraMat(SourceDataMat(cv::Mat::eye(3, 4, CV_64FC1))); })
        << true << false << QStringList{cameraFails(kCameraText), invalid};
    QTest::newRow("camera matrix of floats")
        << CameraSetup([](SourceDefinitionCameraParams &b) { b.setCameraMat(SourceDataMat(mat3x3(1.0, CV_32FC1))); })
        << true << false << QStringList{cameraFails(kCameraText), invalid};
    QTest::newRow("new camera matrix wrong")
        << CameraSetup([](SourceDefinitionCameraParams &b) {
               b.setNewCameraMat(SourceDataMat(cv::Mat::eye(2, 2, CV_64FC1)));
               b.setDistortionCoefficients(SourceDataMat(cv::Mat::zeros(1, 14, CV_64FC1)));
           })
        << true << false << QStringList{cameraFails(kCameraText), invalid};
    QTest::newRow("distortion 1 row by 14 columns")
        << CameraSetup([](SourceDefinitionCameraParams &b) {
               b.setDistortionCoefficients(SourceDataMat(cv::Mat::zeros(1, 14, CV_64FC1)));
           })
        << true << false << QStringList{cameraFails(kDistortionText), invalid};
    QTest::newRow("empty matrix stored")
        << CameraSetup([](SourceDefinitionCameraParams &b) { b.setCameraMat(SourceDataMat(cv::Mat())); })
        << true << false << QStringList{cameraFails(kCameraText), invalid};
    QTest::newRow("unreadable matrix text")
        << CameraSetup([](SourceDefinitionCameraParams &b) { b.setCameraMat(unreadable(R"({"data": {}})")); })
        << true << false << QStringList{cameraFails(kCameraText), invalid};
}

void tst_MatrixRecords::cameraValidity()
{
    QFETCH(CameraSetup, setup);
    QFETCH(bool, enabled);
    QFETCH(bool, valid);
    QFETCH(QStringList, lines);

    const SourceDefinitionCameraParams block = makeCamera(setup, enabled);
    LogCapture capture;
    QCOMPARE(block.isValid(false), valid);
    QCOMPARE(linesOf(capture, kNames, kvr::log::WRN), lines);
    capture.clear();
    QCOMPARE(block.isValid(true), valid);
    QCOMPARE(linesOf(capture, kNames, kvr::log::WRN), QStringList());
}

void tst_MatrixRecords::cameraCompare_data()
{
    QTest::addColumn<CameraSetup>("setupA");
    QTest::addColumn<CameraSetup>("setupB");
    QTest::addColumn<bool>("allDifferences");
    QTest::addColumn<bool>("equal");
    QTest::addColumn<QStringList>("lines");

    const CameraSetup other = [](SourceDefinitionCameraParams &b) {
        b.setCameraMat(SourceDataMat(mat3x3(2.0)));
        b.setNewCameraMat(SourceDataMat(mat3x3(2.0)));
        b.setDistortionCoefficients(SourceDataMat(cv::Mat::ones(14, 1, CV_64FC1)));
    };

    QTest::newRow("no matrices") << CameraSetup() << CameraSetup() << false << true << QStringList();
    QTest::newRow("frame size takes no part")
        << CameraSetup([](SourceDefinitionCameraParams &b) { b.setFrameSize(QSize(1, 2)); }) << CameraSetup() << false
        << true << QStringList();
    QTest::newRow("stored default equals absent")
        << CameraSetup([](SourceDefinitionCameraParams &b) { b.setCameraMat(SourceDataMat(normalised())); })
        << CameraSetup() << false << true << QStringList();
    QTest::newRow("first difference only") << CameraSetup() << other << false << false
                                           << QStringList{kMatDiffers,
                                                          cameraDiffers("getCameraMat().compare(otherSD->getCameraMat(), compareParams)")};
    QTest::newRow("all differences")
        << CameraSetup() << other << true << false
        << QStringList{kMatDiffers, cameraDiffers("getCameraMat().compare(otherSD->getCameraMat(), compareParams)"),
                       kMatDiffers, cameraDiffers("getNewCameraMat().compare(otherSD->getNewCameraMat(), compareParams)"),
                       kMatDiffers,
                       cameraDiffers("getDistortionCoefficients().compare(otherSD->getDistortionCoefficients(), compareParams)")};
    QTest::newRow("distortion only")
        << CameraSetup() << CameraSetup([](SourceDefinitionCameraParams &b) {
               b.setDistortionCoefficients(SourceDataMat(cv::Mat::ones(14, 1, CV_64FC1)));
           })
        << true << false
        << QStringList{kMatDiffers,
                       cameraDiffers("getDistortionCoefficients().compare(otherSD->getDistortionCoefficients(), compareParams)")};
}

void tst_MatrixRecords::cameraCompare()
{
    QFETCH(CameraSetup, setupA);
    QFETCH(CameraSetup, setupB);
    QFETCH(bool, allDifferences);
    QFETCH(bool, equal);
    QFETCH(QStringList, lines);

    const SourceDefinitionCameraParams a = makeCamera(setupA);
    const SourceDefinitionCameraParams b = makeCamera(setupB);
    LogCapture capture;
    QCOMPARE(a.compare(b, CompareParams::logic(false, allDifferences)).equal, equal);
    QCOMPARE(linesOf(capture, kNames), lines);
    QCOMPARE(a == b, equal);

    // A disabled side holding values compares as a default block.
    const SourceDefinitionCameraParams disabledB = makeCamera(setupB, false);
    QCOMPARE(a.compare(disabledB, CompareParams::logic(true)).equal,
             a.compare(SourceDefinitionCameraParams(), CompareParams::logic(true)).equal);
    QCOMPARE(disabledB.compare(a, CompareParams::logic(true)).equal,
             SourceDefinitionCameraParams().compare(a, CompareParams::logic(true)).equal);
}

QTEST_GUILESS_MAIN(tst_MatrixRecords)
#include "tst_MatrixRecords.moc"
