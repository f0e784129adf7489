#include "support/ModelTester.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex failuresMutex;
QStringList collectedFailures;
int activeTesters = 0;
QtMessageHandler previousHandler = nullptr;

bool isStandardRoleTypeCheck(const QString &text)
{
    return text.contains(QLatin1String("canConvert<")) || text.contains(QLatin1String("alignment"))
           || text.contains(QLatin1String("state == Qt::Unchecked"));
}

void collect(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (context.category && qstrcmp(context.category, "qt.modeltest") == 0) {
        if (!isStandardRoleTypeCheck(text)) {
            QMutexLocker lock(&failuresMutex);
            collectedFailures.append(text);
        }
        return;
    }
    if (previousHandler)
        previousHandler(type, context, text);
}

} // namespace

ModelTester::ModelTester(QAbstractItemModel *model)
{
    {
        QMutexLocker lock(&failuresMutex);
        if (activeTesters++ == 0)
            previousHandler = qInstallMessageHandler(collect);
        m_firstFailure = collectedFailures.size();
    }
    m_tester.reset(new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Warning));
}

ModelTester::~ModelTester()
{
    m_tester.reset();
    QMutexLocker lock(&failuresMutex);
    if (--activeTesters == 0) {
        qInstallMessageHandler(previousHandler);
        previousHandler = nullptr;
        collectedFailures.clear();
    }
}

QStringList ModelTester::failures() const
{
    QMutexLocker lock(&failuresMutex);
    return collectedFailures.mid(m_firstFailure);
}
