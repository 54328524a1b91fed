#pragma once

namespace kve {

// Ends the process at once with the given code. Used where the unit must stop even while other
// threads are stuck, so no static destructors or event loops are waited for.
[[noreturn]] void terminateProcess(int exitCode);

}
