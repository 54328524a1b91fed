#pragma once

namespace kve {

// Whether this build serves its serial lines. The desktop build (identity platform "WINDOWS")
// leaves them idle; the unit's Linux platform, or a build with KVE_LINUX_SERIAL, reads and writes.
bool serialLinesServed();

}
