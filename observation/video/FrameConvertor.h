#pragma once

#include "core/tracker/CMClient.h"

#include <QImage>
#include <QObject>
#include <QSize>

#include <memory>

// Turns a node frame into a 32-bit RGB image of the wanted size. Lives in its camera's
// "FrameConvertor" thread; convertImage is queued into it and newImage comes back queued.
class FrameConvertor : public QObject
{
    Q_OBJECT

public:
    explicit FrameConvertor(QObject *parent = nullptr);

    QSize resizeSize() const { return m_resizeSize; }

public slots:
    void convertImage(std::shared_ptr<kvr::tracker::net::CMClient::Frame> frame);
    // An empty size (a side below 1) keeps the decoded size.
    void setResizeSize(QSize size);

signals:
    // pts: the frame's data time stamp in ms, 0 when it has none.
    void newImage(QImage image, qulonglong pts);

private:
    QSize m_resizeSize;
};
