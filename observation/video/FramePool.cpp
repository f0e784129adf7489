#include "observation/video/FramePool.h"

#include "core/memory/ProcessHeap.h"
#include "core/tracker/FrameBufferAllocator.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

QThreadPool *FramePool::instance()
{
    // Waits for its last jobs when the process ends; they hold only frames and images.
    static QThreadPool pool;
    static const bool sized = [] {
        pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
        // Frames still in the pool when the application object goes would be converted
        // against a torn-down Qt: they are dropped and waited for first.
        qAddPostRoutine([] {
            pool.clear();
            pool.waitForDone();
        });
        return true;
    }();
    Q_UNUSED(sized)
    return &pool;
}

void FramePool::releaseIdleMemory()
{
    static int calls = 0;
    const int call = ++calls;
    QTimer::singleShot(ReleaseDelay, QCoreApplication::instance(), [call] {
        if (call != calls)
            return;
        kvr::tracker::net::FrameBufferAllocator::instance().releaseIdle();
        // The tiles, packets and textures that went with the streams leave free pages amid
        // live memory in the arenas.
        kvr::ProcessHeap::releaseFreePages();
    });
}
