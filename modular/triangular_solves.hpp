// Triangular solves modulo a prime below 2^22 on centered residues in doubles, blocked so
// that no unreduced value grows with their size: the solves of the blocked elimination
// (blocked_lu.hpp) and of the reduced forms made from it.
#pragma once

#include "modular/float_products.hpp"

#include <cstddef>

namespace velmora {

// T := L^-1 T modulo f.p for the r-by-w block T at t (row stride ldt), L the unit lower
// triangle whose strict part is the r-by-r block at l (row stride ldl; its diagonal and
// upper part are not read). Every entry a centered residue on entry, T's on return.
void solve_unit_lower(const double* l, std::size_t ldl, double* t, std::size_t ldt, int r, int w,
                      const float_modulus& f);

// T := U^-1 T modulo f.p for the r-by-w block T at t (row stride ldt), U the upper triangle
// of the r-by-r block at u (row stride ldu; its strict lower part is not read), whose
// diagonal entries have the inverses inverses[0 .. r-1]. Every entry a centered residue on
// entry, T's on return.
void solve_upper(const double* u, std::size_t ldu, const double* inverses, double* t, std::size_t ldt, int r, int w,
                 const float_modulus& f);

} // namespace velmora
