#pragma once

#include <QString>

class QObject;
class QQuickItem;
class QQuickWindow;

// Looks into a shown QML window from a Qt Test: items by object name and the next frame.
namespace QuickWindowProbe {

// The first object of that name at or below `from`: the items, and the QObject children too
// (popups are not items and their contents live under the window's overlay).
QObject *findByName(QObject *from, const QString &name);

// Visible items of that name at or below `from`, searched as findByName searches.
int visibleItemsNamed(QObject *from, const QString &name);

// The next frame is on the screen: bindings, polish and layouts have run. False after 5 s.
bool waitForFrame(QQuickWindow *window);

} // namespace QuickWindowProbe
