#pragma once

#include <QWidget>

class ESData;
class QLabel;
class QPushButton;
class SerializableClass;

// What the officer changes most, always at hand beside the echogram: range and gain of each
// channel (or the automatic functions), the shallow and deep alarm limits, and the way to the other
// screens. Every change goes through the setting's own validator and change path, like a change on
// a setup page.
class QuickControlBar : public QWidget
{
    Q_OBJECT
public:
    explicit QuickControlBar(ESData *data, QWidget *parent = nullptr);

    QString rangeText(int channel) const;
    QString gainText(int channel) const;
    QString shallowText() const;
    QString deepText() const;

    // One step of the range or gain choice of a channel, as its - and + buttons do; nothing while the
    // automatic functions choose them.
    void stepRange(int channel, int direction);
    void stepGain(int channel, int direction);

public slots:
    void toggleAuto();
    void setLightingName(const QString &name);

signals:
    void setupRequested();
    void historyRequested();
    void scopeRequested();
    void printRequested();
    void echogramRequested();
    void lightingRequested();
    // A setting that needs its full editor (the alarm limits on the numeric pad).
    void editRequested(SerializableClass *object, const QString &property);

private:
    void refresh();
    bool stepChoice(SerializableClass *object, const QString &property, int direction);
    QPushButton *addButton(const QString &text, const QString &name);

    ESData *m_data;
    QLabel *m_range[2];
    QLabel *m_gain[2];
    QPushButton *m_rangeStep[2][2];
    QPushButton *m_gainStep[2][2];
    QPushButton *m_auto;
    QPushButton *m_shallow;
    QPushButton *m_deep;
    QPushButton *m_lighting;
};
