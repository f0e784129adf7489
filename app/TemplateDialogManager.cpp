#include "app/TemplateDialogManager.h"

#include "core/property/AssignProperty.h"

TemplateDialogManager::TemplateDialogManager(QObject *parent)
    : QObject(parent)
{
}

void TemplateDialogManager::setDialogVisible(const QString &name, bool visible)
{
    QStringList dialogs = m_visibleDialogs;
    if (visible && !dialogs.contains(name))
        dialogs.append(name);
    else if (!visible)
        dialogs.removeAll(name);
    update(dialogs);
}

void TemplateDialogManager::closeAll()
{
    // The dialogs hide themselves and report back; the list is cleared here as well so that a
    // dialog destroyed without reporting cannot block the views for good.
    emit closeAllRequested();
    update({});
}

void TemplateDialogManager::update(const QStringList &dialogs)
{
    const bool wasEmpty = m_visibleDialogs.isEmpty();
    if (!assignProperty(this, m_visibleDialogs, dialogs, &TemplateDialogManager::visibleDialogsChanged))
        return;
    if (wasEmpty != m_visibleDialogs.isEmpty())
        emit noDialogVisibleChanged();
}
