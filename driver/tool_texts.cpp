#include "driver/tool_texts.hpp"

namespace velmora {

const tool_texts zerk_texts = {
    "zerk",
    "Zerk",
    "***            Z E R K             ***\n",
    "Reduced row echelon form\n",
    " -a or -A:\t outputs A (input matrix)\n",
    " -d or --det:\t outputs value of the max size "
    " left upper corner minor of A\n",
    " is the r-by-r identity matrix\n",
};

const tool_texts zerkint_texts = {
    "zerkint",
    "Zerkint",
    "***        Z E R K I N T           ***\n",
    "Reduced row echelon form for integral matrices\n",
    " -a or -A:\t outputs A (input integer matrix)\n",
    " -d or --det:\t outputs the value of the max sizes left upper"
    " corner minor of B\n",
    " is the r-by-r diagonal matrix\n",
};

} // namespace velmora
