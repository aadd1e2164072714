# Installation of the programs, the library with its headers, the manual pages,
# a CMake package configuration (find_package(Velmora), target Velmora::velmora)
# and a pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VELMORA_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/velmora)
set(VELMORA_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Velmora)
set(VELMORA_LIBRARY_FOLDERS diag bigint rational containers reduce)

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

# Every header of the library folders; a header added to a folder is found
# again at the next build.
foreach(folder ${VELMORA_LIBRARY_FOLDERS})
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.hpp)
  install(FILES ${headers} DESTINATION ${VELMORA_INSTALL_INCLUDEDIR}/${folder})
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
