#pragma once

#include <QString>

namespace kve {

// The unit's fixed absolute paths (mount table, removable media, /opt, sysfs) are resolved below the
// folder named by the environment variable KVE_ROOT, so a desktop or a test can stand in for the unit.
QString rootPath(const QString &absolutePath);

}
