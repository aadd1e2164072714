# cpack: a Debian package of the programs, the library, its headers, the
# package configurations and the manual pages, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Velmora developers")
set(CPACK_PACKAGE_CONTACT "Velmora developers <velmora@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "exact reduced row echelon forms (zerk, zerkint) and their C++ library")
set(CPACK_PACKAGE_DESCRIPTION
    "zerk reads a rational matrix and prints its reduced row echelon form B, a matrix Q with B = Q * A, the rank, a determinant value and the pivot columns; zerkint does the same over the integers without fractions. The static library with its headers provides big integers, rationals, vectors, matrices and both reductions.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
# The run-time dependencies of the programs (the C and C++ run-time libraries,
# and the sanitizer ones in a sanitized build) are read from the binaries.
# On GMP's kernel that includes GMP's (libgmp10); programs built on the static library
# need GMP's development files to link, which the package recommends.
find_program(VELMORA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VELMORA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
  if(VELMORA_KERNEL STREQUAL "gmp")
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libgmp10")
  endif()
endif()
if(VELMORA_KERNEL STREQUAL "gmp")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgmp-dev")
endif()
# On OpenBLAS the programs load its serial library when they factor a large matrix, and
# run without it (slower) where it is missing.
if(VELMORA_BLAS STREQUAL "openblas")
  if(CPACK_DEBIAN_PACKAGE_RECOMMENDS)
    string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS ", libopenblas0-serial")
  else()
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libopenblas0-serial")
  endif()
endif()
include(CPack)
