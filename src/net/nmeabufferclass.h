#pragma once

#include <QObject>
#include <QTimer>

// Common base of the sentence-group buffers: a timer at a fixed interval that ages the groups.
class NmeaBufferClass : public QObject
{
    Q_OBJECT
public:
    explicit NmeaBufferClass(int interval_ms, QObject *parent = nullptr);
    int interval() const { return m_timer.interval(); }

protected:
    QTimer m_timer;
};
