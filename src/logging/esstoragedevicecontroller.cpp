#include "esstoragedevicecontroller.h"

ESStorageDeviceController::ESStorageDeviceController(QObject *parent, int checkIntervalMsecs)
    : StorageDeviceController(parent, checkIntervalMsecs)
{
    qRegisterMetaType<enum_LogToDevice>("enum_LogToDevice");
    connect(this, &StorageDeviceController::devicePresenceChanged, this,
            &ESStorageDeviceController::devicePresenceChangedSlot);
}

enum_LogToDevice ESStorageDeviceController::loggingTarget(StorageDevice dev)
{
    return dev == StorageSd ? LogToSd : LogToUsb;
}

void ESStorageDeviceController::devicePresenceChangedSlot(StorageDevice dev, bool present)
{
    emit esDevicePresenceChanged(loggingTarget(dev), present);
}
