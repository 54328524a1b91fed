#include "processexit.h"

#include <cstdio>
#include <cstdlib>

namespace kve {

void terminateProcess(int exitCode)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

}
