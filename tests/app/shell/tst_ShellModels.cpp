#include "app/LanguageModel.h"
#include "app/TemplateDialogManager.h"
#include "app/VersionBranchModel.h"
#include "app/VersionInfoModel.h"

#include <QAbstractItemModelTester>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// The language and version lists and the dialog counter that QML reads.
class tst_ShellModels : public QObject
{
    Q_OBJECT

private slots:
    void defaultElements();
    void languageSelection_data();
    void languageSelection();
    void languageStoredInSettings();
    void versionIds_data();
    void versionIds();
    void versionModels();
    void dialogVisibility_data();
    void dialogVisibility();
};

void tst_ShellModels::defaultElements()
{
    const LanguageSettings language = LanguageModel().at(QModelIndex());
    QCOMPARE(language.language(), QStringLiteral("English"));
    QCOMPARE(language.country(), QStringLiteral("United States"));
    QCOMPARE(language.code(), QStringLiteral("en-US"));
    QVERIFY(language.translationFile().isEmpty());
    QVERIFY(!language.isSelected());
    QVERIFY(language.alternativeCodes().isEmpty());
    QVERIFY(language.isBuiltIn());

    const VersionBranch branch = VersionBranchModel().at(QModelIndex());
    QCOMPARE(branch.id(), -1);
    QVERIFY(branch.name().isEmpty());
    QVERIFY(branch.versions());
    QCOMPARE(branch.versions()->rowCount(), 0);
    // Every default branch owns a model of its own.
    QVERIFY(VersionBranch().versions() != branch.versions());

    const VersionInfo version = VersionInfoModel().at(QModelIndex());
    QCOMPARE(version.id(), -1);
    QVERIFY(version.name().isEmpty());
    QVERIFY(version.downloadLinks().isEmpty());
    QVERIFY(!version.isDownloaded());
}

void tst_ShellModels::languageSelection_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("built-in code") << "en-US" << true;
    QTest::newRow("case and underscore") << "EN_us" << true;
    QTest::newRow("unknown code") << "xx-YY" << false;
    QTest::newRow("empty") << "" << false;
}

void tst_ShellModels::languageSelection()
{
    QFETCH(QString, code);
    QFETCH(bool, accepted);

    LanguageModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.data(model.index(0, 0), LanguageModel::SelectedRole).toBool(), true);
    QCOMPARE(model.selectLanguage(code), accepted);
    QCOMPARE(model.currentCode(), QStringLiteral("en-US"));
    QCOMPARE(model.currentIndex(), 0);
}

void tst_ShellModels::languageStoredInSettings()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    LanguageModel model;
    model.setSettingsPath(path);

    QVERIFY(!model.selectLanguage(QStringLiteral("fr-FR")));
    QVERIFY(!QFile::exists(path));

    QVERIFY(model.selectLanguage(QStringLiteral("en_us")));
    QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("LanguageSettings/language")).toString(), QStringLiteral("en-US"));
}

void tst_ShellModels::versionIds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("id");

    QTest::newRow("empty") << "" << -1;
    QTest::newRow("no numbers") << "latest" << -1;
    QTest::newRow("three parts") << "1.19.11" << 1019011;
    QTest::newRow("two parts") << "2.3" << 2003000;
    QTest::newRow("one part") << "7" << 7000000;
    QTest::newRow("with suffix") << "1.19.11-rc2" << 1019011;
    QTest::newRow("with v") << "v1.2.3" << 1002003;
}

void tst_ShellModels::versionIds()
{
    QFETCH(QString, name);
    QFETCH(int, id);
    QCOMPARE(VersionInfo(name, {}, false).id(), id);
}

void tst_ShellModels::versionModels()
{
    auto versions = std::make_shared<VersionInfoModel>();
    QAbstractItemModelTester versionTester(versions.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy countSpy(versions.get(), &VersionInfoModel::countChanged);
    versions->resetItems({VersionInfo(QStringLiteral("1.19.11"), {QUrl(QStringLiteral("https://downloads.example/a.zip"))}, true),
                          VersionInfo(QStringLiteral("1.18.2"), {}, false)});
    QCOMPARE(versions->count(), 2);
    QCOMPARE(countSpy.count(), 1);
    QCOMPARE(versions->rowOf(QStringLiteral("1.18.2")), 1);
    QCOMPARE(versions->rowOf(QStringLiteral("9.9")), -1);
    const QModelIndex first = versions->index(0, 0);
    QCOMPARE(versions->data(first, VersionInfoModel::IdRole).toInt(), 1019011);
    QCOMPARE(versions->data(first, VersionInfoModel::DownloadedRole).toBool(), true);
    QCOMPARE(versions->data(first, VersionInfoModel::DownloadLinksRole).toList().size(), 1);

    VersionBranchModel branches;
    QAbstractItemModelTester branchTester(&branches, QAbstractItemModelTester::FailureReportingMode::QtTest);
    branches.append(VersionBranch(3, QStringLiteral("stable"), versions));
    branches.append(VersionBranch(5, QStringLiteral("beta")));
    QCOMPARE(branches.rowOf(5), 1);
    QCOMPARE(branches.rowOf(4), -1);
    QCOMPARE(branches.versionsAt(0), versions.get());
    QCOMPARE(qvariant_cast<QObject *>(branches.data(branches.index(0, 0), VersionBranchModel::VersionsRole)), versions.get());
    QVERIFY(branches.versionsAt(1));
    QVERIFY(!branches.versionsAt(2));
    QVERIFY(!branches.versionsAt(-1));
    // A branch row keeps its versions alive after the caller lets go.
    QVERIFY(branches.remove(branches.index(1, 0)));
    QPointer<VersionInfoModel> kept(versions.get());
    versions.reset();
    QVERIFY(kept);
    QCOMPARE(kept->count(), 2);
}

void tst_ShellModels::dialogVisibility_data()
{
    QTest::addColumn<QStringList>("steps"); // "+name" shown, "-name" hidden, "*" close all
    QTest::addColumn<bool>("noDialogVisible");
    QTest::addColumn<int>("changes");

    QTest::newRow("none") << QStringList{} << true << 0;
    QTest::newRow("one shown") << QStringList{"+quit"} << false << 1;
    QTest::newRow("shown and hidden") << QStringList{"+quit", "-quit"} << true << 2;
    QTest::newRow("shown twice counts once") << QStringList{"+quit", "+quit", "-quit"} << true << 2;
    QTest::newRow("two dialogs, one hidden") << QStringList{"+quit", "+settings", "-quit"} << false << 1;
    QTest::newRow("unknown hidden is ignored") << QStringList{"-quit"} << true << 0;
    QTest::newRow("close all") << QStringList{"+quit", "+settings", "*"} << true << 2;
}

void tst_ShellModels::dialogVisibility()
{
    QFETCH(QStringList, steps);
    QFETCH(bool, noDialogVisible);
    QFETCH(int, changes);

    TemplateDialogManager manager;
    QSignalSpy spy(&manager, &TemplateDialogManager::noDialogVisibleChanged);
    for (const QString &step : steps) {
        if (step == QLatin1String("*"))
            manager.closeAll();
        else
            manager.setDialogVisible(step.mid(1), step.startsWith(QLatin1Char('+')));
    }
    QCOMPARE(manager.noDialogVisible(), noDialogVisible);
    QCOMPARE(spy.count(), changes);
}

QTEST_MAIN(tst_ShellModels)
#include "tst_ShellModels.moc"
