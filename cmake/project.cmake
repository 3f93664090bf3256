# Compiler settings, backend selection and dependencies shared by every target.

add_compile_options(-Wall -Wextra)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Wno-missing-field-initializers)
endif()

if(ENABLE_SANITIZERS)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # Turns on the checks that only a debugging build pays for (the GUI's
  # thread check).
  add_compile_definitions(ENABLE_SANITIZERS)
endif()

# Backend files: "stem_win32.cpp" on Windows, "stem_posix.cpp" elsewhere.
if(WIN32)
  set(BACKEND win32)
else()
  set(BACKEND posix)
endif()

# Adds the backend file of each stem to a target.
function(target_backend_sources target)
  foreach(stem IN LISTS ARGN)
    target_sources(${target} PRIVATE ${stem}_${BACKEND}.cpp)
  endforeach()
endfunction()

if(WIN32)
  # Static runtime: the program runs from a disc on a bare system, so no
  # libstdc++, libgcc or winpthread DLLs may be needed.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # Reproducible programs: the same commit gives the same bytes in any folder.
  # The linker leaves the PE header's time stamp at zero, and whatever the
  # compiler records of a file's path (__FILE__, debug information) is made
  # relative to the source or build folder.
  add_link_options(LINKER:--no-insert-timestamp)
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)

  # Windows-side libraries built once by scripts/bootstrap, outside the tree.
  if(DEFINED ENV{SETUP_CACHE})
    set(_cache "$ENV{SETUP_CACHE}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(_cache "$ENV{XDG_CACHE_HOME}/demodisc")
  else()
    set(_cache "$ENV{HOME}/.cache/demodisc")
  endif()
  set(DEPS_PREFIX "${_cache}/${TOOLCHAIN_PREFIX}" CACHE PATH "Windows-side libraries")
  if(NOT EXISTS "${DEPS_PREFIX}/lib/libjpeg.a" OR NOT EXISTS "${DEPS_PREFIX}/lib/libzstd.a")
    message(FATAL_ERROR "No Windows libraries in ${DEPS_PREFIX}: run scripts/bootstrap")
  endif()
  add_library(deps_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(deps_jpeg PROPERTIES IMPORTED_LOCATION "${DEPS_PREFIX}/lib/libjpeg.a"
                                             INTERFACE_INCLUDE_DIRECTORIES "${DEPS_PREFIX}/include")
  add_library(deps_gtest STATIC IMPORTED GLOBAL)
  set_target_properties(deps_gtest PROPERTIES IMPORTED_LOCATION "${DEPS_PREFIX}/lib/libgtest.a"
                                              INTERFACE_INCLUDE_DIRECTORIES "${DEPS_PREFIX}/include")
  add_library(deps_gtest_main STATIC IMPORTED GLOBAL)
  set_target_properties(deps_gtest_main PROPERTIES IMPORTED_LOCATION "${DEPS_PREFIX}/lib/libgtest_main.a"
                                                   INTERFACE_LINK_LIBRARIES deps_gtest)
  add_library(deps_zstd STATIC IMPORTED GLOBAL)
  set_target_properties(deps_zstd PROPERTIES IMPORTED_LOCATION "${DEPS_PREFIX}/lib/libzstd.a"
                                             INTERFACE_INCLUDE_DIRECTORIES "${DEPS_PREFIX}/include")
  add_library(JPEG::JPEG ALIAS deps_jpeg)
  add_library(GTest::gtest ALIAS deps_gtest)
  add_library(GTest::gtest_main ALIAS deps_gtest_main)
else()
  find_package(Threads REQUIRED)
  link_libraries(Threads::Threads)
  find_package(JPEG REQUIRED)
  find_library(ZSTD_LIBRARY zstd REQUIRED)
  find_path(ZSTD_INCLUDE_DIR zstd.h REQUIRED)
  add_library(deps_zstd UNKNOWN IMPORTED GLOBAL)
  set_target_properties(deps_zstd PROPERTIES IMPORTED_LOCATION "${ZSTD_LIBRARY}"
                                             INTERFACE_INCLUDE_DIRECTORIES "${ZSTD_INCLUDE_DIR}")
  if(BUILD_TESTING)
    find_package(GTest REQUIRED)
  endif()
  find_package(PNG REQUIRED)
  find_package(Freetype)
  find_package(PkgConfig)
  if(PkgConfig_FOUND)
    pkg_check_modules(FONTCONFIG IMPORTED_TARGET fontconfig)
  endif()
endif()
