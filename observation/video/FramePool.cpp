#include "observation/video/FramePool.h"

#include <QThread>
#include <QThreadPool>

QThreadPool *FramePool::instance()
{
    // Waits for its last jobs when the process ends; they hold only frames and images.
    static QThreadPool pool;
    static const bool sized = [] {
        pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
        return true;
    }();
    Q_UNUSED(sized)
    return &pool;
}
