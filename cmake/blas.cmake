# The matrix product under the per-prime kernel in doubles (modular/float_gemm.hpp):
# OpenBLAS's serial library ("openblas"), any CBLAS that CMake's FindBLAS finds ("blas"),
# or our own loops ("own"). The default is openblas where its serial library is found,
# else own. The serial library starts no threads of its own: the engine's threads split
# the products. The library is not linked: the kernel loads it when a product first needs
# it, and where it cannot be loaded our own loops serve with the same values. Sets
# VELMORA_BLAS and adds the kernel's sources to velmora.
set(VELMORA_BLAS "" CACHE STRING "Matrix product of the per-prime kernel: openblas, blas or own (empty: openblas where found)")
set_property(CACHE VELMORA_BLAS PROPERTY STRINGS openblas blas own)
set(requested_blas "${VELMORA_BLAS}")
if(NOT requested_blas MATCHES "^(|openblas|blas|own)$")
  message(FATAL_ERROR "VELMORA_BLAS is '${requested_blas}': choose openblas, blas or own")
endif()

set(blas_library "")
set(blas_note "")
if(requested_blas STREQUAL "" OR requested_blas STREQUAL "openblas")
  # Debian's serial variant, in a folder of its own beside the threaded one.
  find_library(VELMORA_OPENBLAS_SERIAL_LIBRARY openblas
               PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/openblas-serial NO_DEFAULT_PATH)
  if(VELMORA_OPENBLAS_SERIAL_LIBRARY)
    set(blas_library ${VELMORA_OPENBLAS_SERIAL_LIBRARY})
    set(blas_chosen openblas)
  else()
    set(blas_note "OpenBLAS's serial library (libopenblas-serial-dev) not found")
    if(requested_blas STREQUAL "openblas")
      message(FATAL_ERROR "VELMORA_BLAS=openblas, but ${blas_note}. Install it with: "
                          "apt-get install libopenblas-serial-dev, or choose -DVELMORA_BLAS=blas|own")
    endif()
  endif()
elseif(requested_blas STREQUAL "blas")
  find_package(BLAS)
  if(NOT BLAS_FOUND)
    message(FATAL_ERROR "VELMORA_BLAS=blas, but no BLAS was found; choose -DVELMORA_BLAS=openblas|own")
  endif()
  set(blas_library ${BLAS_LIBRARIES})
  set(blas_chosen blas)
endif()

target_sources(velmora PRIVATE ${PROJECT_SOURCE_DIR}/modular/float_gemm_own.cpp)
if(blas_library)
  # The file to load: the run-time name (soname) beside the development link where there
  # is one, so that the programs need only the run-time package.
  list(GET blas_library 0 blas_file)
  get_filename_component(blas_dir ${blas_file} DIRECTORY)
  get_filename_component(blas_name ${blas_file} NAME)
  if(EXISTS ${blas_dir}/${blas_name}.0)
    set(blas_file ${blas_dir}/${blas_name}.0)
  elseif(EXISTS ${blas_dir}/${blas_name}.3)
    set(blas_file ${blas_dir}/${blas_name}.3)
  endif()
  set(VELMORA_BLAS ${blas_chosen})
  set(VELMORA_BLAS_FILE ${blas_file})
  target_sources(velmora PRIVATE ${PROJECT_SOURCE_DIR}/modular/float_gemm_blas.cpp)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/modular/float_gemm_blas.cpp PROPERTIES
                              COMPILE_DEFINITIONS "VELMORA_BLAS_NAME=\"${blas_chosen}\";VELMORA_BLAS_FILE=\"${blas_file}\"")
  target_link_libraries(velmora PUBLIC ${CMAKE_DL_LIBS})
  message(NOTICE "Velmora products: ${blas_chosen} (${blas_file}, loaded when first needed); choose with -DVELMORA_BLAS=openblas|blas|own")
else()
  set(VELMORA_BLAS own)
  target_sources(velmora PRIVATE ${PROJECT_SOURCE_DIR}/modular/float_gemm_plain.cpp)
  if(blas_note STREQUAL "")
    message(NOTICE "Velmora products: own; choose with -DVELMORA_BLAS=openblas|blas|own")
  else()
    message(NOTICE "Velmora products: own (${blas_note}); choose with -DVELMORA_BLAS=openblas|blas|own")
  endif()
endif()
