// Hooks for tests and fuzz targets only; the programs never call them.
#pragma once

namespace velmora {

// Puts matrix_status back to 1 and forgets that any report was written, so
// that one process can run several independent cases.
void reset_diagnostics();

// Makes the k-th checked allocation from now fail (k >= 1), once; 0 turns it off.
void fail_allocation_after(long k);

// True while an armed failure has not yet happened.
bool allocation_failure_pending();

} // namespace velmora
