// Every text form of vectors and matrices: plain (read and written),
// LaTeX-style (alone or in a complete document), and the framed side-by-side table.
#pragma once

#include "containers/framed_table.hpp"
#include "containers/latex_document.hpp"
#include "containers/latex_text.hpp"
#include "containers/plain_text.hpp"
