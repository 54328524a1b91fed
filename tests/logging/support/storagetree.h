#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

// A stand-in for the unit's file tree: KVE_ROOT points at a temporary folder holding the mount
// table, the media folders and /opt.
class StorageTree
{
public:
    StorageTree() { qputenv("KVE_ROOT", m_dir.path().toUtf8()); mount({}); }
    ~StorageTree() { qunsetenv("KVE_ROOT"); }

    QString path(const QString &absolute) const { return m_dir.path() + absolute; }

    // Rewrites the mount table; each mounted point gets its folder.
    void mount(const QStringList &mountPoints)
    {
        m_mounted = mountPoints;
        QByteArray table = "proc /proc proc rw,nosuid 0 0\n/dev/root / ext4 rw 0 0\n";
        for (const QString &point : mountPoints) {
            QDir().mkpath(path(point));
            table += "/dev/sdx1 " + point.toUtf8() + " vfat rw,relatime 0 0\n";
        }
        writeFile(path("/etc/mtab"), table);
    }
    // Drops a device from the mount table and deletes its folder, as pulling the stick does.
    void pull(const QString &mountPoint)
    {
        m_mounted.removeAll(mountPoint);
        mount(m_mounted);
        QDir(path(mountPoint)).removeRecursively();
    }

    static void writeFile(const QString &path, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(content);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    QStringList m_mounted;
};
