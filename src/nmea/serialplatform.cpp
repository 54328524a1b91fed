#include "serialplatform.h"

#include "systeminformation.h"

namespace kve {

bool serialLinesServed()
{
#if defined(KVE_LINUX_SERIAL) && KVE_LINUX_SERIAL
    return true;
#else
    return SystemInformation::instance().isPlatformLinux();
#endif
}

}
