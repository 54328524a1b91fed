#pragma once

#include "esenums.h"
#include "storagedevicecontroller.h"

// The echo sounder's view of the removable devices: device kinds become logging targets.
class ESStorageDeviceController : public StorageDeviceController
{
    Q_OBJECT
public:
    explicit ESStorageDeviceController(QObject *parent = nullptr,
                                       int checkIntervalMsecs = DefaultCheckIntervalMsecs);

    static enum_LogToDevice loggingTarget(StorageDevice dev);

public slots:
    void devicePresenceChangedSlot(StorageDevice dev, bool present);

signals:
    void esDevicePresenceChanged(enum_LogToDevice dev, bool present);
};

Q_DECLARE_METATYPE(enum_LogToDevice)
