#include "core/tracker/FrameBufferAllocator.h"

#include <QDeadlineTimer>

#include <opencv2/core.hpp>

#include <sys/mman.h>

#include <iterator>
#include <utility>

namespace kvr::tracker::net {

namespace {

qint64 now()
{
    return QDeadlineTimer::current().deadline();
}

} // namespace

FrameBufferAllocator &FrameBufferAllocator::instance()
{
    // Never destroyed: a frame may outlive every static object.
    static auto *allocator = new FrameBufferAllocator;
    return *allocator;
}

FrameBufferAllocator::FrameBufferAllocator()
    : m_clock(now)
{
}

FrameBufferAllocator::FrameBufferAllocator(Clock clock)
    : m_clock(std::move(clock))
{
}

FrameBufferAllocator::~FrameBufferAllocator()
{
    releaseIdle();
}

void *FrameBufferAllocator::map(size_t size)
{
    void *data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return data == MAP_FAILED ? nullptr : data;
}

void FrameBufferAllocator::unmap(void *data, size_t size)
{
    munmap(data, size);
}

QImage FrameBufferAllocator::rgb32Image(const QSize &size)
{
    if (size.isEmpty())
        return QImage();
    auto *pixels = new cv::Mat;
    pixels->allocator = &instance();
    try {
        pixels->create(size.height(), size.width(), CV_8UC4);
    } catch (const cv::Exception &) {
        delete pixels;
        return QImage();
    }
    QImage image(
        pixels->data, pixels->cols, pixels->rows, int(pixels->step), QImage::Format_RGB32,
        [](void *info) { delete static_cast<cv::Mat *>(info); }, pixels);
    if (image.isNull())
        delete pixels;
    return image;
}

cv::UMatData *FrameBufferAllocator::allocate(int dims, const int *sizes, int type, void *data, size_t *step,
                                             cv::AccessFlag, cv::UMatUsageFlags) const
{
    // As OpenCV's standard allocator lays a matrix out.
    size_t total = CV_ELEM_SIZE(type);
    for (int i = dims - 1; i >= 0; --i) {
        if (step) {
            if (data && step[i] != cv::Mat::AUTO_STEP) {
                CV_Assert(total <= step[i]);
                total = step[i];
            } else {
                step[i] = total;
            }
        }
        total *= size_t(sizes[i]);
    }
    auto *u = new cv::UMatData(this);
    u->size = total;
    if (data) {
        u->data = u->origdata = static_cast<uchar *>(data);
        u->flags |= cv::UMatData::USER_ALLOCATED;
        return u;
    }
    void *buffer = nullptr;
    if (total >= MappedFrom) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            for (auto idle = m_idle.rbegin(); idle != m_idle.rend(); ++idle) {
                if (idle->size == total) {
                    buffer = idle->data;
                    m_idleBytes -= total;
                    m_idle.erase(std::next(idle).base());
                    break;
                }
            }
        }
        if (!buffer) {
            buffer = map(total);
            if (buffer) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_mapped += total;
            }
        }
    }
    if (!buffer) {
        buffer = cv::fastMalloc(total);
        u->userdata = buffer; // not a mapped one
    }
    u->data = u->origdata = static_cast<uchar *>(buffer);
    return u;
}

bool FrameBufferAllocator::allocate(cv::UMatData *data, cv::AccessFlag, cv::UMatUsageFlags) const
{
    return data != nullptr;
}

void FrameBufferAllocator::deallocate(cv::UMatData *u) const
{
    if (!u)
        return;
    CV_Assert(u->urefcount == 0);
    CV_Assert(u->refcount == 0);
    if (u->userdata) {
        cv::fastFree(u->userdata);
    } else if (!(u->flags & cv::UMatData::USER_ALLOCATED)) {
        std::vector<Idle> released;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const qint64 time = m_clock();
            if (u->size > MaxIdleBytes) {
                // Kept, it would push every other idle buffer out, then itself.
                released.push_back({u->origdata, u->size, time});
                m_mapped -= u->size;
            } else {
                m_idle.push_back({u->origdata, u->size, time});
                m_idleBytes += u->size;
            }
            // Oldest first: buffers of a size no stream decodes any more go by themselves.
            while (!m_idle.empty() && (m_idleBytes > MaxIdleBytes || m_idle.front().since < time - ForgottenAfter)) {
                released.push_back(m_idle.front());
                m_idleBytes -= m_idle.front().size;
                m_mapped -= m_idle.front().size;
                m_idle.erase(m_idle.begin());
            }
        }
        for (const Idle &idle : released)
            unmap(idle.data, idle.size);
    }
    delete u;
}

void FrameBufferAllocator::releaseIdle(qint64 idleMs)
{
    std::vector<Idle> released;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const qint64 before = m_clock() - idleMs;
        for (auto idle = m_idle.begin(); idle != m_idle.end();) {
            if (idle->since <= before) {
                released.push_back(*idle);
                m_idleBytes -= idle->size;
                m_mapped -= idle->size;
                idle = m_idle.erase(idle);
            } else {
                ++idle;
            }
        }
    }
    for (const Idle &idle : released)
        unmap(idle.data, idle.size);
}

size_t FrameBufferAllocator::mappedBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mapped;
}

size_t FrameBufferAllocator::idleBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_idleBytes;
}

} // namespace kvr::tracker::net
