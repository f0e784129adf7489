#pragma once

#include "observation/xdev/XDevObjectModel.h"

#include <QModelIndex>
#include <QObject>

#include <memory>

namespace restservice {
class BlockResponse;
}

// Turns a block's reply of external device states into the rows of its model. GUI thread only.
class XDevObjectManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(XDevObjectModel *model READ model CONSTANT)
    Q_PROPERTY(QModelIndex selectedIndex READ selectedIndex WRITE setSelectedIndex NOTIFY selectedIndexChanged)

public:
    // Ids in the model are the block's ids times this factor, so that they never meet cube ids.
    static constexpr qint64 kIdFactor = 1000000;

    explicit XDevObjectManager(QObject *parent = nullptr);

    XDevObjectModel *model() { return &m_model; }
    QModelIndex selectedIndex() const { return m_selectedIndex; }

    // The block offers no request for these states yet; replies arrive through the handler.
    Q_INVOKABLE void requestXDevObjectStates();

public slots:
    void setSelectedIndex(const QModelIndex &index);

signals:
    void selectedIndexChanged();
    void modelReset();

private slots:
    // Replaces every row with the reply's "states"; a reply without JSON keeps the rows.
    void handleXDevObjectStates(std::shared_ptr<restservice::BlockResponse> response);

private:
    XDevObjectModel m_model;
    QModelIndex m_selectedIndex;
};
