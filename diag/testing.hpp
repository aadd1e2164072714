// Hooks for tests and fuzz targets only; the programs never call them.
#pragma once

namespace velmora {

// Puts matrix_status back to 1 and forgets that any report was written, so
// that one process can run several independent cases.
void reset_diagnostics();

// Called after a fatal report is written, before the process exits with status 1.
// A fuzz target sets one that throws, so that a specified fatal report is told
// apart from a crash and the next input can run. Null restores the plain exit.
using fatal_handler = void (*)();
void set_fatal_handler(fatal_handler handler);

// Makes the k-th checked allocation from now fail (k >= 1), once; 0 turns it off.
void fail_allocation_after(long k);

// True while an armed failure has not yet happened.
bool allocation_failure_pending();

// Checked allocations still to go before the armed failure (0 when none is armed);
// arming a large k and reading this afterwards counts the allocations made.
long allocations_before_failure();

} // namespace velmora
