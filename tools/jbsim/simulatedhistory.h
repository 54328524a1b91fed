#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>

class HistoryHttpServer;
class HistoryLoggerContainer;

// The junction box's depth history: every tenth display record of a channel goes through the
// unit's own history intake into that channel's history file, and the files are offered by a
// small web server on loopback under their published names. Now and then, for each channel whose
// file grew, fileReady() tells the box to announce a new file to the display.
class SimulatedHistory : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRecordsPerPoint = 10;

    // directory holds the files.
    SimulatedHistory(const QString &directory, int announce_interval_s, QObject *parent = nullptr);

    // Port 0 takes any free port.
    bool listen(quint16 port);
    quint16 port() const;
    QString directory() const { return m_directory; }
    int points(int channel) const;

public slots:
    // The values of a display record (date, time, depths, range, ...).
    void addDisplayRecord(int channel, const QString &values);

signals:
    void fileReady(int channel);

private:
    void announce();

    QString m_directory;
    HistoryLoggerContainer *m_history;
    std::array<int, 2> m_records{{0, 0}};
    std::array<bool, 2> m_grown{{false, false}};
    HistoryHttpServer *m_server;
    QTimer m_announceTimer;
};
