#include "app/TemplateDialogManager.h"

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
    if (dialogs == m_visibleDialogs)
        return;
    const bool wasEmpty = m_visibleDialogs.isEmpty();
    m_visibleDialogs = dialogs;
    emit visibleDialogsChanged();
    if (wasEmpty != m_visibleDialogs.isEmpty())
        emit noDialogVisibleChanged();
}
