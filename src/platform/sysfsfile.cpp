#include "sysfsfile.h"

#include <QFile>

namespace kve::sysfs {

QString readValue(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // Device files report a size of 4096 or 0; a value is never longer than a short line.
    return QString::fromLatin1(file.read(64)).trimmed();
}

bool writeValue(const QString &path, const QString &value)
{
    // Device attributes are written in place, never through a temporary file.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = value.toLatin1();
    return file.write(bytes) == bytes.size();
}

}
