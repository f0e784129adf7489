#include "observation/settings/SourceSettingsManager.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace kvr::QMTClient;

namespace {

struct Entry
{
    SourceSettingsSection section;
    const char *name;
    bool enabled;
};

// Language, Versions, an enabled and a disabled help entry, the host keys.
void fill(SourceSettingsManager &manager)
{
    const Entry entries[] = {
        {LanguageSettingsSection, "Language", true},  {VersionsSection, "Installed versions", true},
        {HelpSection, "About", false},                {HelpSection, "Help and support", true},
        {HostKeySettingsSection, "Map data - API Key (supported providers)", true},
    };
    for (const Entry &entry : entries)
        manager.addSourceSettings(entry.section, QString::fromUtf8(entry.name), entry.enabled);
}

} // namespace

Q_DECLARE_METATYPE(QList<kvr::QMTClient::SourceSettingsSection>)

class tst_SourceSettingsManager : public QObject
{
    Q_OBJECT

private slots:
    void addIgnoresUnnamedOrUnknown();
    void sectionNameFilter_data();
    void sectionNameFilter();
    void filteredSections_data();
    void filteredSections();
    void sectionTabIndex();
};

void tst_SourceSettingsManager::addIgnoresUnnamedOrUnknown()
{
    SourceSettingsManager manager;
    QAbstractItemModelTester tester(manager.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    manager.addSourceSettings(UnknownSection, QStringLiteral("Language"), true);
    manager.addSourceSettings(LanguageSettingsSection, QString(), true);
    QCOMPARE(manager.model()->rowCount(), 0);
    fill(manager);
    QCOMPARE(manager.model()->rowCount(), 5);
    QCOMPARE(manager.model()->index(2, 0).data(SourceSettingsProxyModel::NameRole).toString(), QStringLiteral("About"));
    QVERIFY(!manager.model()->index(2, 0).data(Qt::UserRole).isValid());
    QCOMPARE(manager.model()->roleNames().value(SourceSettingsProxyModel::NameRole), QByteArray("NameRole"));
}

void tst_SourceSettingsManager::sectionNameFilter_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");

    QTest::newRow("case ignored") << int(LanguageSettingsSection) << QStringLiteral("LANG") << true;
    QTest::newRow("disabled entry never matches") << int(HelpSection) << QStringLiteral("ab") << false;
    QTest::newRow("enabled entry of the same section") << int(HelpSection) << QStringLiteral("support") << true;
    QTest::newRow("another section's entry") << int(VersionsSection) << QStringLiteral("Language") << false;
    QTest::newRow("empty text") << int(HelpSection) << QString() << true;
    QTest::newRow("unknown section") << int(UnknownSection) << QStringLiteral("zzz") << true;
    QTest::newRow("section without entries") << int(VersionSection) << QStringLiteral("a") << false;
}

void tst_SourceSettingsManager::sectionNameFilter()
{
    QFETCH(int, section);
    QFETCH(QString, text);
    QFETCH(bool, matches);

    SourceSettingsManager manager;
    fill(manager);
    manager.setFilteredString(QStringLiteral("other text the filter must not use"));
    QCOMPARE(manager.sectionNameFilter(SourceSettingsSection(section), text), matches);
}

void tst_SourceSettingsManager::filteredSections_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<SourceSettingsSection>>("sections");
    QTest::addColumn<int>("first");

    QTest::newRow("empty text: every enabled entry")
        << QString() << QList<SourceSettingsSection>{LanguageSettingsSection, VersionsSection, HelpSection, HostKeySettingsSection}
        << int(LanguageSettingsSection);
    // The first match opens, not the last: a search must not jump past the first section it found.
    QTest::newRow("several matches: the first")
        << QStringLiteral("sup") << QList<SourceSettingsSection>{HelpSection, HostKeySettingsSection}
        << int(HelpSection);
    QTest::newRow("disabled entry left out") << QStringLiteral("about") << QList<SourceSettingsSection>() << int(UnknownSection);
    QTest::newRow("nothing matches") << QStringLiteral("qqq") << QList<SourceSettingsSection>() << int(UnknownSection);
}

void tst_SourceSettingsManager::filteredSections()
{
    QFETCH(QString, text);
    QFETCH(QList<SourceSettingsSection>, sections);
    QFETCH(int, first);

    SourceSettingsManager manager;
    fill(manager);
    manager.setFilteredString(QStringLiteral("previous"));

    QStringList order;
    connect(&manager, &SourceSettingsManager::filteredSectionsChanged, this, [&] { order << QStringLiteral("sections"); });
    connect(&manager, &SourceSettingsManager::filteredStringChanged, this, [&] { order << QStringLiteral("string"); });
    manager.setFilteredString(text);
    QCOMPARE(order, (QStringList{QStringLiteral("sections"), QStringLiteral("string")}));
    QCOMPARE(manager.filteredSections(), sections);
    QCOMPARE(int(manager.firstFilteredSection()), first);
    QCOMPARE(manager.property("firstFilteredSection").toInt(), first);

    order.clear();
    manager.setFilteredString(text);
    QVERIFY(order.isEmpty());
}

void tst_SourceSettingsManager::sectionTabIndex()
{
    SourceSettingsManager manager;
    QSignalSpy typeChanged(&manager, &SourceSettingsManager::sourceSettingsTypeChanged);
    QVERIFY(typeChanged.isValid());
    QCOMPARE(manager.sectionTabIndex(VersionsSection), -1);
    manager.setSourceSettingsType(LauncherSettingsType);
    manager.setSourceSettingsType(LauncherSettingsType);
    QCOMPARE(typeChanged.count(), 1);
    QCOMPARE(manager.sectionTabIndex(VersionsSection), 0);
    QCOMPARE(manager.sectionTabIndex(VersionSection), 0);
    QCOMPARE(manager.sectionTabIndex(UnknownSection), -1);
    QCOMPARE(manager.sectionTabIndex(SourceSettingsSection(42)), -1);
}

QTEST_GUILESS_MAIN(tst_SourceSettingsManager)
#include "tst_SourceSettingsManager.moc"
