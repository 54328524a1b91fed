#pragma once

class QThread;

// The one thread shared by all serial readers that poll their ports. It is started by the first
// reader that needs it, registered with the watchdog, and stopped when the last one lets go.
namespace SerialReaderThread {

QThread *acquire();
void release();

}
