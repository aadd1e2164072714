# The kernel under big_int's magnitudes: GMP's mpn layer ("gmp") or our own word
# arithmetic ("own"). The default is gmp where GMP is found and its limb is our
# 64-bit word, else own. Sets VELMORA_KERNEL and adds the kernel's sources to velmora.
set(VELMORA_KERNEL "" CACHE STRING "Magnitude kernel of big_int: gmp or own (empty: gmp where found)")
set_property(CACHE VELMORA_KERNEL PROPERTY STRINGS gmp own)
set(requested_kernel "${VELMORA_KERNEL}")
if(NOT requested_kernel STREQUAL "" AND NOT requested_kernel MATCHES "^(gmp|own)$")
  message(FATAL_ERROR "VELMORA_KERNEL is '${requested_kernel}': choose gmp or own")
endif()

set(kernel_note "")
if(NOT requested_kernel STREQUAL "own")
  find_library(GMP_LIBRARY gmp)
  find_path(GMP_C_INCLUDE_DIR gmp.h)
  if(GMP_LIBRARY AND GMP_C_INCLUDE_DIR)
    # GMP's limbs must be our words, whole (no nail bits), for its mpn functions to
    # work on our arrays in place.
    include(CheckCXXSourceCompiles)
    set(CMAKE_REQUIRED_INCLUDES ${GMP_C_INCLUDE_DIR})
    set(CMAKE_REQUIRED_LIBRARIES ${GMP_LIBRARY})
    set(CMAKE_REQUIRED_QUIET ON)
    check_cxx_source_compiles("
      #include <gmp.h>
      #include <cstdint>
      static_assert(GMP_LIMB_BITS == 64 && GMP_NAIL_BITS == 0 && sizeof(mp_limb_t) == sizeof(std::uint64_t));
      int main() { mp_limb_t a = 1, r[2]; mpn_mul(r, &a, 1, &a, 1); return int(r[0] - 1); }"
      VELMORA_GMP_LIMB_IS_WORD)
    unset(CMAKE_REQUIRED_INCLUDES)
    unset(CMAKE_REQUIRED_LIBRARIES)
    unset(CMAKE_REQUIRED_QUIET)
    if(VELMORA_GMP_LIMB_IS_WORD)
      set(gmp_usable ON)
    else()
      set(kernel_note "GMP's limb is not a 64-bit word")
    endif()
  else()
    set(kernel_note "GMP (libgmp-dev) not found")
  endif()
  if(requested_kernel STREQUAL "gmp" AND NOT gmp_usable)
    message(FATAL_ERROR "VELMORA_KERNEL=gmp, but ${kernel_note}. Install it with: "
                        "apt-get install libgmp-dev, or choose -DVELMORA_KERNEL=own")
  endif()
endif()

if(gmp_usable)
  set(VELMORA_KERNEL gmp)
  # An imported target, so that the exported package names GMP instead of a path.
  add_library(Velmora::gmp UNKNOWN IMPORTED)
  set_target_properties(Velmora::gmp PROPERTIES IMPORTED_LOCATION ${GMP_LIBRARY}
                        INTERFACE_INCLUDE_DIRECTORIES ${GMP_C_INCLUDE_DIR})
  target_link_libraries(velmora PRIVATE Velmora::gmp)
  target_sources(velmora PRIVATE ${PROJECT_SOURCE_DIR}/bigint/kernel_gmp.cpp)
  message(NOTICE "Velmora kernel: gmp (${GMP_LIBRARY}); choose with -DVELMORA_KERNEL=gmp|own")
else()
  set(VELMORA_KERNEL own)
  target_sources(velmora PRIVATE ${PROJECT_SOURCE_DIR}/bigint/kernel_own.cpp)
  if(kernel_note STREQUAL "")
    message(NOTICE "Velmora kernel: own; choose with -DVELMORA_KERNEL=gmp|own")
  else()
    message(NOTICE "Velmora kernel: own (${kernel_note}); choose with -DVELMORA_KERNEL=gmp|own")
  endif()
endif()
target_compile_definitions(velmora PRIVATE VELMORA_KERNEL_NAME="${VELMORA_KERNEL}")
