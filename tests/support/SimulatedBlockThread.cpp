#include "support/SimulatedBlockThread.h"

#include <vector>

SimulatedBlockThread::SimulatedBlockThread()
{
    m_context.moveToThread(&m_thread);
    m_thread.start();
}

SimulatedBlockThread::~SimulatedBlockThread()
{
    QMetaObject::invokeMethod(&m_context, [this]() { m_block.reset(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

bool SimulatedBlockThread::listen(const QSet<quint16> &avoid)
{
    QMetaObject::invokeMethod(&m_context, [this, &avoid]() {
        // The ports taken meanwhile stay taken until one is new.
        std::vector<std::unique_ptr<SimulatedBlock>> taken;
        do {
            taken.push_back(std::make_unique<SimulatedBlock>());
            if (!taken.back()->listen())
                return;
        } while (avoid.contains(taken.back()->port()));
        m_block = std::move(taken.back());
        m_port = m_block->port();
    }, Qt::BlockingQueuedConnection);
    return m_block != nullptr;
}

void SimulatedBlockThread::call(const std::function<void(SimulatedBlock &)> &function)
{
    QMetaObject::invokeMethod(&m_context, [this, &function]() { function(*m_block); }, Qt::BlockingQueuedConnection);
}
