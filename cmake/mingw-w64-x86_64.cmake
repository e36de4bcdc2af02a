# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix thread model, which
# std::thread needs). The programs link the compiler's runtime statically, so they run
# without its DLLs; the tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PLUMET_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PLUMET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLUMET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PLUMET_MINGW_TRIPLE}-windres)
set(CMAKE_STRIP ${PLUMET_MINGW_TRIPLE}-strip CACHE FILEPATH "")
set(CMAKE_AR ${PLUMET_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${PLUMET_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)

# winpthread too: -static covers it, the -static-lib* flags only the compiler's own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${PLUMET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A private Wine prefix per build folder, made once before the first test runs.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${CMAKE_BINARY_DIR}/wine)
