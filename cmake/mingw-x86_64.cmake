# Cross build for 64-bit Windows with the MinGW-w64 posix thread model compilers
# (the win32 model lacks std::mutex, which GoogleTest needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VESKO_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VESKO_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VESKO_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VESKO_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VESKO_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
