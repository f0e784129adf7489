#include "devices/entries/PasswordCipher.h"

#include <QtTest>

class tst_PasswordCipher : public QObject
{
    Q_OBJECT

private slots:
    void fixedVectors_data();
    void fixedVectors();
    void roundTrip_data();
    void roundTrip();
    void damagedValues_data();
    void damagedValues();
    void storedTexts_data();
    void storedTexts();
};

void tst_PasswordCipher::fixedVectors_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("stored");

    // Files written by earlier installations hold exactly these texts (checked with openssl enc).
    QTest::newRow("secret") << QStringLiteral("secret") << QStringLiteral("CRkl26BGAPkfo83GtSFrZA==");
    QTest::newRow("empty is one padding block") << QString() << QStringLiteral("WyKW9X0W30W4HVH15uim4A==");
    QTest::newRow("16 bytes add a full padding block") << QStringLiteral("0123456789abcdef")
                                                       << QStringLiteral("j+NY9DUyCsirq0X03q88OADK/QCvwnwqe+C5qv88OYg=");
}

void tst_PasswordCipher::fixedVectors()
{
    QFETCH(QString, password);
    QFETCH(QString, stored);

    QCOMPARE(encodeStoredPassword(password), stored);
    QCOMPARE(decodeStoredPassword(stored), password);
}

void tst_PasswordCipher::roundTrip_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("cipherBytes");

    QTest::newRow("empty") << QString() << 16;
    QTest::newRow("15 bytes") << QString(15, QLatin1Char('x')) << 16;
    QTest::newRow("16 bytes") << QString(16, QLatin1Char('x')) << 32;
    QTest::newRow("17 bytes") << QString(17, QLatin1Char('x')) << 32;
    // 2 + 2 + 3 + 4 UTF-8 bytes: the length counts bytes, not characters.
    QTest::newRow("non-ASCII") << QString::fromUtf8("\xC3\xA9\xC5\xA1\xE2\x82\xAC\xF0\x9F\x94\x91") << 16;
    QTest::newRow("blanks kept") << QStringLiteral("  pass word  ") << 16;
}

void tst_PasswordCipher::roundTrip()
{
    QFETCH(QString, password);
    QFETCH(int, cipherBytes);

    const QByteArray cipher = encryptPassword(password.toUtf8());
    QCOMPARE(cipher.size(), cipherBytes);
    QCOMPARE(decryptPassword(cipher), password.toUtf8());

    const QString stored = encodeStoredPassword(password);
    QCOMPARE(encodeStoredPassword(password), stored);   // no random IV: equal in, equal out
    QCOMPARE(decodeStoredPassword(stored), password);
}

void tst_PasswordCipher::damagedValues_data()
{
    QTest::addColumn<QByteArray>("cipher");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray twoBlocks = encryptPassword(QByteArrayLiteral("0123456789abcdefXYZ"));
    QByteArray badLastPadding = twoBlocks;
    badLastPadding[31] = char(badLastPadding.at(31) ^ 0x5a);

    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("not whole blocks") << QByteArray(7, 'a') << QByteArray();
    QTest::newRow("one block, bad padding") << QByteArray(16, 'a') << QByteArray();
    // The first block deciphers before the last one fails: the front of the password remains.
    QTest::newRow("bad padding in the last block") << badLastPadding << QByteArrayLiteral("0123456789abcdef");
    // A length that is not whole blocks fails before anything is handed out.
    QTest::newRow("last block cut short") << twoBlocks.left(20) << QByteArray();
}

void tst_PasswordCipher::damagedValues()
{
    QFETCH(QByteArray, cipher);
    QFETCH(QByteArray, expected);

    QCOMPARE(decryptPassword(cipher), expected);
}

void tst_PasswordCipher::storedTexts_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("password");

    QTest::newRow("characters outside the alphabet skipped") << QStringLiteral("CRkl26BG APkf\no83G*tSFrZA==")
                                                             << QStringLiteral("secret");
    QTest::newRow("no padding characters") << QStringLiteral("CRkl26BGAPkfo83GtSFrZA") << QStringLiteral("secret");
    QTest::newRow("empty text") << QString() << QString();
    QTest::newRow("not Base64 at all") << QStringLiteral("%%%%") << QString();
    QTest::newRow("plain text left by hand") << QStringLiteral("hunter2") << QString();
    QTest::newRow("one character changed") << QStringLiteral("CRkl26BGAPkfo83GtSFrYA==") << QString();
}

void tst_PasswordCipher::storedTexts()
{
    QFETCH(QString, stored);
    QFETCH(QString, password);

    QCOMPARE(decodeStoredPassword(stored), password);
}

QTEST_GUILESS_MAIN(tst_PasswordCipher)
#include "tst_PasswordCipher.moc"
