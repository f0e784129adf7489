#include "core/log/MessageHandler.h"
#include "support/LogCapture.h"

#include <QtTest>

using namespace kvr::log;

// Qt's own messages reach the logger at the level its flags allow, with their text unchanged.
class tst_MessageHandler : public QObject
{
    Q_OBJECT

private slots:
    void messageHandler_data();
    void messageHandler();
};

void tst_MessageHandler::messageHandler_data()
{
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("level"); // 0: nothing logged
    QTest::newRow("debug with dbg0") << quint32(DBG0) << int(QtDebugMsg) << int(DBG0);
    QTest::newRow("info with all") << quint32(ALL) << int(QtInfoMsg) << int(DBG0);
    QTest::newRow("debug without flags") << quint32(ERR | WRN) << int(QtDebugMsg) << 0;
    QTest::newRow("debug not by without-debug") << quint32(WITHOUT_DEBUG) << int(QtDebugMsg) << 0;
    QTest::newRow("warning by without-debug") << quint32(WITHOUT_DEBUG) << int(QtWarningMsg) << int(WRN);
    QTest::newRow("warning filtered") << quint32(ERR) << int(QtWarningMsg) << 0;
    QTest::newRow("critical by error flag") << quint32(ERR) << int(QtCriticalMsg) << int(ERR);
    QTest::newRow("critical filtered") << quint32(WRN | INF) << int(QtCriticalMsg) << 0;
}

void tst_MessageHandler::messageHandler()
{
    QFETCH(quint32, flags);
    QFETCH(int, type);
    QFETCH(int, level);
    LogCapture capture(flags);
    // The text already carries its tag and signature, as the code's qWarning() lines write it;
    // a second tag in front ("[Warning]  [ERROR] ...") was the fault.
    const QString text = QStringLiteral("[ERROR] void Foo::bar(int) qt says");
    const QMessageLogContext context("file.cpp", 10, "void Foo::bar(int)", "default");
    customMessageHandler(QtMsgType(type), context, text);
    const auto messages = capture.messages();
    if (level == 0) {
        QVERIFY(messages.empty());
        return;
    }
    QCOMPARE(int(messages.size()), 1);
    QCOMPARE(int(messages[0].level()), level);
    QCOMPARE(messages[0].function(), QStringLiteral("customMessageHandler"));
    QCOMPARE(messages[0].text(), text);
}

QTEST_GUILESS_MAIN(tst_MessageHandler)
#include "tst_MessageHandler.moc"
