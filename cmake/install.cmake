# Installation of the programs, the library with its headers, the manual pages,
# a CMake package configuration (find_package(Velmora), target Velmora::velmora)
# and a pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VELMORA_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/velmora)
set(VELMORA_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Velmora)
# The headers a user of the library includes: the numbers, the containers and their text
# forms, the two reductions and the engine's entry points. What they include is installed
# with them (found below); the engine's other headers are internal.
set(VELMORA_PUBLIC_HEADERS
    bigint/big_int.hpp bigint/text.hpp rational/rational.hpp rational/text.hpp
    containers/vector.hpp containers/matrix.hpp containers/text.hpp
    reduce/reduced_echelon.hpp reduce/reduced_echelon_int.hpp engine/multimodular.hpp)

# Consumers include <velmora/bigint/big_int.hpp>; the headers include each
# other from their own root ("bigint/storage.hpp"), so installed consumers get
# both include and include/velmora. The source root is the include root only
# while building here.
set_property(TARGET velmora PROPERTY INTERFACE_INCLUDE_DIRECTORIES
             $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
set_property(TARGET velmora APPEND PROPERTY INTERFACE_COMPILE_FEATURES cxx_std_20)

# A library compiled with the sanitizers needs their run-time libraries in
# every program that links it, so an installed sanitized build says so.
if(VELMORA_SANITIZE)
  set(VELMORA_SANITIZE_LINK_FLAG -fsanitize=address,undefined)
  set_property(TARGET velmora APPEND PROPERTY INTERFACE_LINK_OPTIONS
               $<INSTALL_INTERFACE:${VELMORA_SANITIZE_LINK_FLAG}>)
endif()

install(TARGETS zerk zerkint RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS velmora EXPORT VelmoraTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${VELMORA_INSTALL_INCLUDEDIR} ${CMAKE_INSTALL_INCLUDEDIR})

# The public headers and every header they include, directly or through others (the
# library's headers include each other as "folder/header.hpp"). The list is made anew at
# each configuration, and a change to a header's includes configures again.
set(VELMORA_INSTALLED_HEADERS "")
set(pending ${VELMORA_PUBLIC_HEADERS})
while(pending)
  list(POP_FRONT pending header)
  if(header IN_LIST VELMORA_INSTALLED_HEADERS)
    continue()
  endif()
  list(APPEND VELMORA_INSTALLED_HEADERS ${header})
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${PROJECT_SOURCE_DIR}/${header})
  file(STRINGS ${PROJECT_SOURCE_DIR}/${header} lines REGEX "^#include \"[a-z_]+/[a-z_0-9]+\\.hpp\"")
  foreach(line ${lines})
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    list(APPEND pending ${included})
  endforeach()
endwhile()
list(SORT VELMORA_INSTALLED_HEADERS)
foreach(header ${VELMORA_INSTALLED_HEADERS})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${VELMORA_INSTALL_INCLUDEDIR}/${folder})
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/man/zerk.1 ${PROJECT_SOURCE_DIR}/man/zerkint.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(EXPORT VelmoraTargets NAMESPACE Velmora:: DESTINATION ${VELMORA_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VelmoraConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/VelmoraConfig.cmake
                              INSTALL_DESTINATION ${VELMORA_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VelmoraConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VelmoraConfig.cmake
              ${PROJECT_BINARY_DIR}/VelmoraConfigVersion.cmake
        DESTINATION ${VELMORA_INSTALL_CMAKEDIR})

# The pkg-config file finds its prefix from its own place, so the same file
# serves every prefix (cmake --install --prefix, the Debian package).
set(VELMORA_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH VELMORA_PKGCONFIG_TO_PREFIX /${VELMORA_PKGCONFIG_DIR} /)
string(REGEX REPLACE "/$" "" VELMORA_PKGCONFIG_TO_PREFIX "${VELMORA_PKGCONFIG_TO_PREFIX}")
# The library spreads the engine's work over threads, and it is static: programs that
# link it link GMP too when it runs on GMP's kernel.
set(VELMORA_PKGCONFIG_EXTRA_LIBS " -pthread")
if(VELMORA_KERNEL STREQUAL "gmp")
  string(APPEND VELMORA_PKGCONFIG_EXTRA_LIBS " -lgmp")
endif()
if(VELMORA_SANITIZE)
  string(APPEND VELMORA_PKGCONFIG_EXTRA_LIBS " ${VELMORA_SANITIZE_LINK_FLAG}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/velmora.pc.in ${PROJECT_BINARY_DIR}/velmora.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/velmora.pc DESTINATION ${VELMORA_PKGCONFIG_DIR})
