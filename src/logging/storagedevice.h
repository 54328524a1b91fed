#pragma once

#include <QMetaType>
#include <QString>

// The removable devices the unit can log to, and where the system mounts them.
enum StorageDevice { StorageUsb = 0, StorageSd = 1 };

namespace kve {
// Mount point of a device kind, below KVE_ROOT.
QString storageMountPoint(StorageDevice dev);
}

Q_DECLARE_METATYPE(StorageDevice)
