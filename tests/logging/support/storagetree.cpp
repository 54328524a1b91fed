#include "storagetree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

StorageTree::StorageTree()
{
    qputenv("KVE_ROOT", m_dir.path().toUtf8());
    mount({});
}

StorageTree::~StorageTree()
{
    qunsetenv("KVE_ROOT");
}

void StorageTree::mount(const QStringList &mountPoints)
{
    m_mounted = mountPoints;
    QByteArray table = "proc /proc proc rw,nosuid 0 0\n/dev/root / ext4 rw 0 0\n";
    for (const QString &point : mountPoints) {
        QDir().mkpath(path(point));
        table += "/dev/sdx1 " + point.toUtf8() + " vfat rw,relatime 0 0\n";
    }
    writeFile(path("/etc/mtab"), table);
}

void StorageTree::pull(const QString &mountPoint)
{
    QStringList rest = m_mounted;
    rest.removeAll(mountPoint);
    mount(rest);
    QDir(path(mountPoint)).removeRecursively();
}

void StorageTree::writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
}

QByteArray StorageTree::readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

DiskSpace StorageTree::space(qint64 available)
{
    return DiskSpace{true, 8000000000LL, available, available};
}
