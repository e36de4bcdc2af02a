# The Windows build's settings: no Qt, the libraries built by scripts/build-windows-libs,
# and GoogleTest built from Debian's copy of its source with the cross compiler.
set(PLUMET_BUILD_GUI OFF CACHE BOOL "" FORCE)
set(PLUMET_BUILD_BENCH OFF CACHE BOOL "" FORCE)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

set(PLUMET_WINDOWS_PREFIXES "" CACHE STRING
    "Install folders of zlib, utf8proc and TagLib for Windows (scripts/build-windows-libs)")
if(NOT PLUMET_WINDOWS_PREFIXES)
    message(FATAL_ERROR "set PLUMET_WINDOWS_PREFIXES to what scripts/build-windows-libs prints")
endif()
# pkg-config reads only their .pc files, and CMake looks for libraries only there and in
# the compiler's own folder.
list(APPEND CMAKE_FIND_ROOT_PATH ${PLUMET_WINDOWS_PREFIXES})
set(pkg_config_dirs)
foreach(prefix IN LISTS PLUMET_WINDOWS_PREFIXES)
    list(APPEND pkg_config_dirs ${prefix}/lib/pkgconfig)
endforeach()
string(REPLACE ";" ":" pkg_config_dirs "${pkg_config_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${pkg_config_dirs}")
set(ENV{PKG_CONFIG_PATH} "")
# Both are static libraries: their headers must not ask for DLL imports.
add_compile_definitions(UTF8PROC_STATIC TAGLIB_STATIC)

if(PLUMET_BUILD_TESTS)
    set(PLUMET_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source (Debian's googletest)")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(${PLUMET_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# Every test shares one Wine prefix: make it now rather than racing to make it in parallel.
if(CMAKE_CROSSCOMPILING_EMULATOR)
    execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} RESULT_VARIABLE wine_status)
    if(NOT wine_status EQUAL 0)
        message(FATAL_ERROR "could not make the Wine prefix: ${wine_status}")
    endif()
endif()
