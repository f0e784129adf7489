#include "app/StartupProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QQuickWindow>

#include <chrono>

namespace {

// The bench reads the same clock before it starts the process.
qint64 nowNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

StartupProbe::StartupProbe()
    : m_path(qgetenv("ORVA_STARTUP_PROBE"))
    , m_mainNanoseconds(nowNanoseconds())
{
}

StartupProbe::~StartupProbe() = default;

void StartupProbe::applicationCreated()
{
    if (!isEnabled())
        return;
    m_applicationNanoseconds = nowNanoseconds();
    // Windows are made later, some of them inside the shell: the first exposure of a Qt Quick
    // window comes before its first frame, whoever made it.
    QCoreApplication::instance()->installEventFilter(this);
}

bool StartupProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && !m_watching) {
        if (auto *window = qobject_cast<QQuickWindow *>(watched))
            watch(window);
    }
    return QObject::eventFilter(watched, event);
}

void StartupProbe::watch(QQuickWindow *window)
{
    m_watching = true;
    // Direct: the stamp is taken in the render thread at the swap, not when the GUI thread
    // gets round to it.
    connect(window, &QQuickWindow::frameSwapped, window, [this]() {
        qint64 expected = 0;
        if (m_frameNanoseconds.compare_exchange_strong(expected, nowNanoseconds()))
            QMetaObject::invokeMethod(this, [this]() { finish(); }, Qt::QueuedConnection);
    }, Qt::DirectConnection);
}

void StartupProbe::finish()
{
    QFile file(QString::fromLocal8Bit(m_path));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write("main " + QByteArray::number(m_mainNanoseconds) + "\napplication "
                   + QByteArray::number(m_applicationNanoseconds) + "\nframe "
                   + QByteArray::number(m_frameNanoseconds.load()) + "\n");
    }
    QCoreApplication::quit();
}
