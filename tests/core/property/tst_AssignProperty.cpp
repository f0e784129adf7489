#include "core/property/AssignProperty.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

enum class Rule { Exact, FuzzyRelative, FuzzyShifted };

class Probe : public QObject
{
    Q_OBJECT

public:
    bool set(Rule rule, double value, bool carryValue)
    {
        if (!carryValue)
            return assign(value, &Probe::levelChanged, rule);
        return assign(value, &Probe::levelSet, rule);
    }

    double level = 0.0;

signals:
    void levelChanged();
    void levelSet(double level);

private:
    template <typename Signal>
    bool assign(double value, Signal changed, Rule rule)
    {
        switch (rule) {
        case Rule::Exact: return assignProperty(this, level, value, changed);
        case Rule::FuzzyRelative: return assignProperty(this, level, value, changed, fuzzyRelativeEqual);
        case Rule::FuzzyShifted: return assignProperty(this, level, value, changed, fuzzyShiftedEqual);
        }
        return false;
    }
};

} // namespace

Q_DECLARE_METATYPE(Rule)

class tst_AssignProperty : public QObject
{
    Q_OBJECT

private slots:
    void changeRule_data();
    void changeRule();
};

void tst_AssignProperty::changeRule_data()
{
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<double>("old");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("changed");

    QTest::newRow("exact: equal") << Rule::Exact << 0.5 << 0.5 << false;
    QTest::newRow("exact: 1e-15 of the value") << Rule::Exact << 1000.0 << 1000.0 * (1 + 1e-15) << true;
    QTest::newRow("relative: 1e-15 of the value")
        << Rule::FuzzyRelative << 1000.0 << 1000.0 * (1 + 1e-15) << false;
    QTest::newRow("relative: 1e-9 of the value")
        << Rule::FuzzyRelative << 1000.0 << 1000.0 * (1 + 1e-9) << true;
    // A scroll position leaving the top by a hair is a move: relative to 0 nothing is small.
    QTest::newRow("relative: tiny step from 0") << Rule::FuzzyRelative << 0.0 << 1e-14 << true;
    QTest::newRow("shifted: tiny step from 0") << Rule::FuzzyShifted << 0.0 << 1e-14 << false;
    QTest::newRow("shifted: 1e-9 from 0") << Rule::FuzzyShifted << 0.0 << 1e-9 << true;
    QTest::newRow("shifted: 1e-15 of the value")
        << Rule::FuzzyShifted << 1000.0 << 1000.0 * (1 + 1e-15) << false;
}

void tst_AssignProperty::changeRule()
{
    QFETCH(Rule, rule);
    QFETCH(double, old);
    QFETCH(double, value);
    QFETCH(bool, changed);

    for (const bool carryValue : {false, true}) {
        Probe probe;
        probe.level = old;
        QSignalSpy plain(&probe, &Probe::levelChanged);
        QSignalSpy carrying(&probe, &Probe::levelSet);
        QVERIFY(plain.isValid() && carrying.isValid());

        QCOMPARE(probe.set(rule, value, carryValue), changed);
        // QCOMPARE is fuzzy on doubles; the stored value must be exact. A change that does not
        // count keeps the old value, so jitter cannot creep in.
        QVERIFY(probe.level == (changed ? value : old));
        QCOMPARE(plain.count(), changed && !carryValue ? 1 : 0);
        QCOMPARE(carrying.count(), changed && carryValue ? 1 : 0);
        if (changed && carryValue)
            QVERIFY(carrying.first().first().toDouble() == value);
    }
}

QTEST_GUILESS_MAIN(tst_AssignProperty)
#include "tst_AssignProperty.moc"
