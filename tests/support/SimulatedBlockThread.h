#pragma once

#include "support/SimulatedBlock.h"

#include <QObject>
#include <QSet>
#include <QThread>

#include <functional>
#include <memory>

// A SimulatedBlock on a thread of its own, so that it goes on sending while the test's thread is
// busy. Everything that touches the block goes through call(), which waits for it. The block
// goes, on its thread, with this object, also when a failed check leaves the test early.
class SimulatedBlockThread
{
public:
    SimulatedBlockThread();
    ~SimulatedBlockThread();

    // Listens on a port none of `avoid` (ports an earlier block had).
    bool listen(const QSet<quint16> &avoid = {});
    quint16 port() const { return m_port; }
    void call(const std::function<void(SimulatedBlock &)> &function);

private:
    QThread m_thread;
    QObject m_context;
    std::unique_ptr<SimulatedBlock> m_block;
    quint16 m_port = 0;
};
