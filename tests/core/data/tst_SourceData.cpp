#include "tst_SourceData_Records.h"

#include "support/LogCapture.h"

#include <QtTest>

using namespace kvr::tracker::common;
using demo::DemoItem;
using demo::DemoParams;

class tst_SourceData : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
};

void tst_SourceData::defaults()
{
    DemoParams params;
    QCOMPARE(params.getEnabled(), false);
    QCOMPARE(params.getThreshold(), 0.5);
    QVERIFY(params.isValid());
}

QTEST_GUILESS_MAIN(tst_SourceData)
#include "tst_SourceData.moc"
