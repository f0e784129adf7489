#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Starts the real launcher, waits for its first frame, takes a screenshot of the screen and
// checks that the interface came up without a warning or error.
class tst_LauncherExecutable : public QObject
{
    Q_OBJECT

private slots:
    void startsAndShowsWindow();
};

void tst_LauncherExecutable::startsAndShowsWindow()
{
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "needs an X display (run the tests under xvfb-run)");
    QTemporaryDir configHome;
    QVERIFY(configHome.isValid());

    QProcess launcher;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome.path());
    environment.insert(QStringLiteral("LIBGL_ALWAYS_SOFTWARE"), QStringLiteral("1"));
    launcher.setProcessEnvironment(environment);
    launcher.setProcessChannelMode(QProcess::MergedChannels);
    // Debug lines are on by default; the "-log" flags must turn them off.
    launcher.start(QStringLiteral(ORVA_LAUNCHER_EXE),
                   {QStringLiteral("--scale"), QStringLiteral("100"), QStringLiteral("-log"),
                    QStringLiteral("all=0,err=1,wrn=1,inf=1")});
    QVERIFY2(launcher.waitForStarted(10000), qPrintable(launcher.errorString()));

    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (!output.contains("[INFO] Main window shown.") && launcher.state() == QProcess::Running && timer.elapsed() < 30000) {
        launcher.waitForReadyRead(200);
        output += launcher.readAll();
    }
    QVERIFY2(output.contains("[INFO] Main window shown."), output.constData());

    const QString screenshot = QDir::current().filePath(QStringLiteral("launcher_screenshot.png"));
    QFile::remove(screenshot);
    const int importResult = QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), screenshot});

    launcher.waitForReadyRead(200);
    output += launcher.readAll();
    launcher.terminate();
    if (!launcher.waitForFinished(5000)) {
        launcher.kill();
        launcher.waitForFinished(5000);
    }
    output += launcher.readAll();

    QCOMPARE(importResult, 0);
    QImage image(screenshot);
    QVERIFY(!image.isNull());
    // Something was drawn: the header's dark blue, the page's light grey and more.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    }
    QVERIFY2(colours.size() > 20, qPrintable(QStringLiteral("only %1 colours on the screen").arg(colours.size())));
    QVERIFY(colours.contains(qRgb(0x1f, 0x2a, 0x3c)));

    const QList<QByteArray> lines = output.split('\n');
    QStringList problems;
    for (const QByteArray &line : lines) {
        const bool problem = line.contains(": WRN - ") || line.contains(": ERR - ") || line.contains("QML")
            || line.contains("qrc:/");
        // No favourites ship with the launcher: its first start says so.
        if (problem && !line.contains("Failed to create new connections file."))
            problems << QString::fromLocal8Bit(line);
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    QVERIFY(output.contains("[INFO] Vellorin Launcher 1.19.11 (API version 1.19.0)"));
    // Said once, however many frames the render thread had swapped before the line came out.
    QCOMPARE(output.count("[INFO] Main window shown."), 1);
    QVERIFY2(!output.contains(": DBG0 - "), output.constData());
}

QTEST_GUILESS_MAIN(tst_LauncherExecutable)
#include "tst_LauncherExecutable.moc"
