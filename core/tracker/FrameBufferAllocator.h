#pragma once

#include <QImage>
#include <QSize>
#include <QtGlobal>

#include <opencv2/core/mat.hpp>

#include <functional>
#include <mutex>
#include <vector>

namespace kvr::tracker::net {

// Pixel memory of decoded frames. Buffers of a megabyte and more are mapped straight from the
// system and kept for reuse while frames of that size keep coming, so a stream decodes into the
// same few buffers without page faults; releaseIdle() hands the unused ones back. malloc would
// keep such blocks in per-thread arenas that its trimming never reaches, and a stopped stream's
// memory would stay with the process. Smaller buffers come from OpenCV's own allocator.
// Thread-safe: frames are decoded in one thread and let go in another.
class FrameBufferAllocator : public cv::MatAllocator
{
public:
    // A tile's picture (640x360 RGB32 is 900 KB) is mapped too: below glibc's mapping
    // threshold, its blocks would stay in the arenas of the threads that convert frames.
    static constexpr size_t MappedFrom = 256 * 1024;
    // Idle buffers beyond this are handed back at once, the oldest first. A larger buffer goes
    // back as soon as it is let go of and leaves the others be.
    static constexpr size_t MaxIdleBytes = 64 * 1024 * 1024;
    // ms an idle buffer is kept while other buffers come and go.
    static constexpr qint64 ForgottenAfter = 5000;

    // ms on a steady clock.
    using Clock = std::function<qint64()>;

    static FrameBufferAllocator &instance();
    // An RGB32 image whose pixels come from this allocator and go back to it when the image
    // and all its shallow copies are gone. Null when the size is empty or memory runs out.
    static QImage rgb32Image(const QSize &size);

    FrameBufferAllocator();
    // Idle buffers age by `clock` (tests).
    explicit FrameBufferAllocator(Clock clock);
    FrameBufferAllocator(const FrameBufferAllocator &) = delete;
    FrameBufferAllocator &operator=(const FrameBufferAllocator &) = delete;
    ~FrameBufferAllocator() override;

    cv::UMatData *allocate(int dims, const int *sizes, int type, void *data, size_t *step, cv::AccessFlag flags,
                           cv::UMatUsageFlags usageFlags) const override;
    bool allocate(cv::UMatData *data, cv::AccessFlag accessFlags, cv::UMatUsageFlags usageFlags) const override;
    void deallocate(cv::UMatData *data) const override;

    // Hands back the buffers that nobody took for `idleMs` milliseconds.
    void releaseIdle(qint64 idleMs = 0);
    // Mapped bytes, in use or idle, and idle ones alone.
    size_t mappedBytes() const;
    size_t idleBytes() const;

private:
    struct Idle
    {
        void *data;
        size_t size;
        qint64 since; // ms, steady clock
    };

    static void *map(size_t size);
    static void unmap(void *data, size_t size);

    const Clock m_clock;
    mutable std::mutex m_mutex;
    mutable std::vector<Idle> m_idle;
    mutable size_t m_mapped = 0;
    mutable size_t m_idleBytes = 0;
};

} // namespace kvr::tracker::net
