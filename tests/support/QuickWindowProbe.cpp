#include "support/QuickWindowProbe.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <memory>

namespace QuickWindowProbe {

QObject *findByName(QObject *from, const QString &name)
{
    if (from->objectName() == name)
        return from;
    if (auto *item = qobject_cast<QQuickItem *>(from)) {
        const auto childItems = item->childItems();
        for (QQuickItem *child : childItems) {
            if (QObject *found = findByName(child, name))
                return found;
        }
    }
    const auto children = from->children();
    for (QObject *child : children) {
        if (QObject *found = findByName(child, name))
            return found;
    }
    return nullptr;
}

int visibleItemsNamed(QObject *from, const QString &name)
{
    int count = 0;
    if (auto *item = qobject_cast<QQuickItem *>(from); item && from->objectName() == name && item->isVisible())
        ++count;
    if (auto *item = qobject_cast<QQuickItem *>(from)) {
        const auto childItems = item->childItems();
        for (QQuickItem *child : childItems)
            count += visibleItemsNamed(child, name);
        return count;
    }
    const auto children = from->children();
    for (QObject *child : children)
        count += visibleItemsNamed(child, name);
    return count;
}

bool waitForFrame(QQuickWindow *window)
{
    auto frames = std::make_shared<int>(0); // a queued call may come after the disconnect
    const auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, window, [frames]() { ++*frames; },
                                             Qt::QueuedConnection);
    window->update();
    const bool shown = QTest::qWaitFor([frames]() { return *frames > 0; }, 5000);
    QObject::disconnect(connection);
    return shown;
}

} // namespace QuickWindowProbe
