#pragma once

#include <QByteArray>
#include <QSet>
#include <QSocketNotifier>
#include <QString>
#include <QThread>
#include <QtTest>

#include <fcntl.h>
#include <memory>
#include <stdlib.h>
#include <unistd.h>

// Serial lines for tests: a pseudo-terminal whose slave side the unit opens as its port, and a
// loopback plug on the far end.

// A pseudo-terminal: the reader opens the slave side as its port, the test is the far end on the master side.
struct Pty
{
    Pty() : master(posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
            slave = QString::fromLocal8Bit(ptsname(master));
            fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty() { ::close(master); }
    bool isValid() const { return master >= 0 && !slave.isEmpty(); }
    void write(const QByteArray &bytes) const
    {
        for (qint64 done = 0; done < bytes.size();) {
            const ssize_t n = ::write(master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else
                QThread::msleep(1);
        }
    }
    // Everything the reader wrote within the time given.
    QByteArray readFor(int msecs) const
    {
        QTest::qWait(msecs);
        QByteArray got;
        char buf[512];
        for (ssize_t n; (n = ::read(master, buf, sizeof buf)) > 0;)
            got.append(buf, int(n));
        return got;
    }
    const int master;
    QString slave;
};

// A loopback plug: echoes every line written to the port except the test sentences (from 1) listed as lost.
inline std::unique_ptr<QSocketNotifier> loopbackPlug(const Pty &pty, const QSet<int> &lost = {})
{
    auto plug = std::make_unique<QSocketNotifier>(pty.master, QSocketNotifier::Read);
    QObject::connect(plug.get(), &QSocketNotifier::activated, [&pty, lost, pending = QByteArray(), count = 0]() mutable {
        char buf[512];
        for (ssize_t n; (n = ::read(pty.master, buf, sizeof buf)) > 0;)
            pending.append(buf, int(n));
        for (int end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
            if (!lost.contains(++count))
                pty.write(pending.left(end + 1));
        }
    });
    return plug;
}
