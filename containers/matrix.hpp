// matrix<T> with all its members and free functions (and vector<T>).
#pragma once

#include "containers/matrix_arith.hpp"
#include "containers/matrix_cols.hpp"
#include "containers/matrix_core.hpp"
#include "containers/matrix_rows.hpp"
#include "containers/vector.hpp"
