#include "rootpath.h"

#include <QDir>

namespace kve {

QString rootPath(const QString &absolutePath)
{
    const QString root = qEnvironmentVariable("KVE_ROOT");
    if (root.isEmpty())
        return absolutePath;
    return QDir::cleanPath(root + QLatin1Char('/') + absolutePath);
}

}
