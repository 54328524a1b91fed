#pragma once

#include "diskspacechecker.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A stand-in for the unit's file tree: KVE_ROOT points at a temporary folder holding the mount
// table, the media folders and /opt.
class StorageTree
{
public:
    StorageTree();
    ~StorageTree();

    QString root() const { return m_dir.path(); }
    QString path(const QString &absolute) const { return m_dir.path() + absolute; }

    // Rewrites the mount table; each mounted point gets its folder.
    void mount(const QStringList &mountPoints);
    // Drops a device from the mount table and deletes its folder, as pulling the stick does.
    void pull(const QString &mountPoint);

    static void writeFile(const QString &path, const QByteArray &content);
    static QByteArray readFile(const QString &path);
    // A measured volume of 8 GB with the given bytes free.
    static DiskSpace space(qint64 available);

private:
    QTemporaryDir m_dir;
    QStringList m_mounted;
};
