// Hooks for tests and fuzz targets only; the programs never call them.
#pragma once

namespace velmora {

// Puts matrix_status back to 1 and forgets that any report was written, so
// that one process can run several independent cases.
void reset_diagnostics();

} // namespace velmora
