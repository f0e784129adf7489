#pragma once

#include <QObject>
#include <QStringList>

// Keeps track of the template dialogs that are open, so that views can ignore keys and clicks
// meant for a dialog (`noDialogVisible`). Dialogs report themselves by name; GUI thread.
class TemplateDialogManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool noDialogVisible READ noDialogVisible NOTIFY noDialogVisibleChanged)
    Q_PROPERTY(QStringList visibleDialogs READ visibleDialogs NOTIFY visibleDialogsChanged)

public:
    explicit TemplateDialogManager(QObject *parent = nullptr);

    bool noDialogVisible() const { return m_visibleDialogs.isEmpty(); }
    QStringList visibleDialogs() const { return m_visibleDialogs; }

    // A name reported visible twice counts once; an unknown name reported hidden is ignored.
    Q_INVOKABLE void setDialogVisible(const QString &name, bool visible);
    Q_INVOKABLE void closeAll();

signals:
    void noDialogVisibleChanged();
    void visibleDialogsChanged();
    void closeAllRequested();

private:
    void update(const QStringList &dialogs);

    QStringList m_visibleDialogs;
};
