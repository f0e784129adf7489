#include "devices/entries/FavoriteDevice.h"
#include "devices/models/ListModelBase.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// The smallest concrete model: names as the display role.
class NameModel : public ListModelBase<FavoriteDevice>
{
public:
    using ListModelBase::ListModelBase;

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!isRow(index) || role != Qt::DisplayRole)
            return QVariant();
        return m_items.at(index.row()).name();
    }
    QHash<int, QByteArray> roleNames() const override { return {{Qt::DisplayRole, "name"}}; }
};

FavoriteDevice named(const QString &name)
{
    FavoriteDevice device(name + QStringLiteral(".local"));
    device.setName(name);
    return device;
}

class SharedModel : public ListModelBase<std::shared_ptr<int>>
{
public:
    QVariant data(const QModelIndex &index, int) const override { return isRow(index) ? *m_items.at(index.row()) : QVariant(); }
    QHash<int, QByteArray> roleNames() const override { return {}; }
};

} // namespace

class tst_ListModelBase : public QObject
{
    Q_OBJECT

private slots:
    void appendAndRemove();
    void guardedAccess_data();
    void guardedAccess();
    void resets();
    void findIndex();
    void sharedElements();
};

void tst_ListModelBase::appendAndRemove()
{
    NameModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);

    model.append(named(QStringLiteral("a")));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 0);
    QCOMPARE(inserted.at(0).at(2).toInt(), 0);
    model.append(named(QStringLiteral("b")));
    model.append(named(QStringLiteral("b")));   // no duplicate check
    QCOMPARE(model.rowCount(), 3);

    QVERIFY(!model.remove(QModelIndex()));
    QCOMPARE(removed.count(), 0);

    QVERIFY(model.remove(model.index(0, 0)));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.at(model.index(0, 0)).name(), QStringLiteral("b"));

    QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("x"), Qt::DisplayRole));
    QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("b"));
}

void tst_ListModelBase::guardedAccess_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("foreign");
    QTest::addColumn<QString>("name");

    QTest::newRow("first row") << 0 << 0 << false << "a";
    QTest::newRow("last row") << 1 << 0 << false << "b";
    QTest::newRow("invalid index") << -1 << -1 << false << "";
    // An index of a longer model, handed over by mistake, must not reach past the vector.
    QTest::newRow("row beyond the end") << 5 << 0 << true << "";
    // Nor name whatever row of ours has the same number (a proxy's index passed unmapped).
    QTest::newRow("row of another model") << 1 << 0 << true << "";
}

void tst_ListModelBase::guardedAccess()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, foreign);
    QFETCH(QString, name);

    NameModel model;
    model.append(named(QStringLiteral("a")));
    model.append(named(QStringLiteral("b")));
    NameModel longer;
    for (int i = 0; i < 10; ++i)
        longer.append(named(QString::number(i)));
    const QModelIndex index = row < 0 ? QModelIndex() : (foreign ? longer.index(row, column) : model.index(row, column));

    const FavoriteDevice device = model.at(index);
    QCOMPARE(device.name(), name);
    if (name.isEmpty()) {
        QCOMPARE(device, FavoriteDevice());
        QCOMPARE(device.id(), -1);
        QVERIFY(!model.remove(index));
        QCOMPARE(model.rowCount(), 2);
    }
}

void tst_ListModelBase::resets()
{
    NameModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.append(named(QStringLiteral("a")));
    model.append(named(QStringLiteral("b")));
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);

    // A flat list: rows have no children.
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);

    model.clear();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(model.rowCount(), 0);

    const QVector<FavoriteDevice> items{named(QStringLiteral("x")), named(QStringLiteral("y"))};
    model.resetItems(items);
    QCOMPARE(reset.count(), 2);
    QCOMPARE(model.items(), items);

    model.resetItems(model.items());   // same data: signals all the same
    QCOMPARE(reset.count(), 3);
    QCOMPARE(model.rowCount(), 2);
}

void tst_ListModelBase::findIndex()
{
    NameModel model;
    for (const char *name : {"a", "b", "b"})
        model.append(named(QString::fromLatin1(name)));

    auto byName = [](const QString &name) { return [name](const FavoriteDevice &d) { return d.name() == name; }; };
    QCOMPARE(model.findIndex(byName(QStringLiteral("b"))), model.index(1, 0));
    QVERIFY(!model.findIndex(byName(QStringLiteral("c"))).isValid());
}

void tst_ListModelBase::sharedElements()
{
    auto value = std::make_shared<int>(42);
    {
        SharedModel model;
        model.append(value);
        QCOMPARE(value.use_count(), 2);
        QVERIFY(model.remove(model.index(0, 0)));
        QCOMPARE(value.use_count(), 1);
        model.append(value);
    }
    QCOMPARE(value.use_count(), 1);   // destroying the model drops its reference
}

QTEST_GUILESS_MAIN(tst_ListModelBase)
#include "tst_ListModelBase.moc"
