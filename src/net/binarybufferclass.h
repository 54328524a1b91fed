#pragma once

#include <QObject>
#include <QTimer>

// Common base of the image buffers: a periodic tick that ages what they hold.
class BinaryBufferClass : public QObject
{
    Q_OBJECT
public:
    explicit BinaryBufferClass(int tick_interval_msecs, QObject *parent = nullptr);

protected:
    QTimer m_tickTimer;
};
