#pragma once

#include <QObject>
#include <QStringList>

// Feed of the communication monitor: lines of traffic with what became of them (0 handled, 1 not
// known, not handled or ignored, 2 failed the check, 3 data not valid). Lines are gathered and
// handed on in batches; a line added with flush goes out at once with what was gathered before it.
// The monitor may be set to show input that the unit ignored (datagrams not meant for it).
class CommunicationForwardingController : public QObject
{
    Q_OBJECT
public:
    struct Line
    {
        QString text;
        int status = 0;
    };
    // Lines gathered but not yet handed on; beyond this the oldest go.
    static constexpr int kMaxPendingLines = 200;

    explicit CommunicationForwardingController(QObject *parent = nullptr);

    bool showsIgnoredInput() const { return m_showIgnoredInput; }
    void setShowIgnoredInput(bool show) { m_showIgnoredInput = show; }
    const QList<Line> &pendingLines() const { return m_pending; }

public slots:
    void addCommunicationInformation(QString info, int status, bool flush_immediately);
    // Input the unit did not take, when the monitor shows it: status 1, handed on at once.
    void addIgnoredInput(QString info);
    void flush();

signals:
    void communicationInformationReady(QList<CommunicationForwardingController::Line> lines);

private:
    QList<Line> m_pending;
    bool m_showIgnoredInput = true;
};
