# Cross build for Windows with the MinGW-w64 posix thread model compilers (the
# win32 model lacks std::mutex, which GoogleTest needs). The target is chosen
# with -DVESKO_ARCH=x86_64 (the default) or -DVESKO_ARCH=i686.
if(NOT VESKO_ARCH)
    set(VESKO_ARCH x86_64)
endif()
if(NOT VESKO_ARCH MATCHES "^(x86_64|i686)$")
    message(FATAL_ERROR "VESKO_ARCH must be x86_64 or i686, not '${VESKO_ARCH}'")
endif()
# try_compile projects read this file again and need the same choice.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VESKO_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VESKO_ARCH})
set(VESKO_TRIPLET ${VESKO_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${VESKO_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VESKO_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VESKO_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VESKO_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
