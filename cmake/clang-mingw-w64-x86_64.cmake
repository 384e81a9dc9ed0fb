# Cross-compiling for 64-bit Windows with clang on Linux: Debian's clang
# and LLVM tools (lld, llvm-windres) over the headers, CRT and libstdc++ of
# MinGW-w64 GCC (posix threads variant), the same runtime the GCC build uses.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(WENDLOCK_MINGW_ROOT /usr/${TOOLCHAIN_PREFIX})

find_program(WENDLOCK_CLANG_CXX NAMES clang++ clang++-14 REQUIRED)
set(CMAKE_CXX_COMPILER ${WENDLOCK_CLANG_CXX})
set(CMAKE_CXX_COMPILER_TARGET ${TOOLCHAIN_PREFIX})

# clang 14 looks for MinGW's GCC in lib/gcc/<triple>/<version> and skips a
# folder named like Debian's "12-posix", so it would find neither libstdc++
# nor libgcc (and would search the host's /usr/include instead). The posix
# GCC tells where its libraries are; its C++ headers lie below them.
find_program(WENDLOCK_MINGW_GXX NAMES ${TOOLCHAIN_PREFIX}-g++-posix ${TOOLCHAIN_PREFIX}-g++
             REQUIRED)
execute_process(
    COMMAND ${WENDLOCK_MINGW_GXX} -print-libgcc-file-name
    OUTPUT_VARIABLE WENDLOCK_MINGW_LIBGCC
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(WENDLOCK_MINGW_GCC_DIR ${WENDLOCK_MINGW_LIBGCC} DIRECTORY)
set(WENDLOCK_LIBSTDCXX_INCLUDE ${WENDLOCK_MINGW_GCC_DIR}/include/c++)
if(NOT EXISTS ${WENDLOCK_LIBSTDCXX_INCLUDE}/string)
    message(FATAL_ERROR "no libstdc++ headers in ${WENDLOCK_LIBSTDCXX_INCLUDE}")
endif()

string(JOIN " " CMAKE_CXX_FLAGS_INIT
    --sysroot=${WENDLOCK_MINGW_ROOT}
    -stdlib++-isystem ${WENDLOCK_LIBSTDCXX_INCLUDE}
    -stdlib++-isystem ${WENDLOCK_LIBSTDCXX_INCLUDE}/${TOOLCHAIN_PREFIX}
    -stdlib++-isystem ${WENDLOCK_LIBSTDCXX_INCLUDE}/backward)
# -pthread: libstdc++ of the posix variant needs winpthreads, which GCC links
# on its own and clang only when asked.
string(JOIN " " CMAKE_EXE_LINKER_FLAGS_INIT -fuse-ld=lld -pthread -L${WENDLOCK_MINGW_GCC_DIR})

# The LLVM tools beside the clang that compiles.
get_filename_component(WENDLOCK_LLVM_BIN ${WENDLOCK_CLANG_CXX} REALPATH)
get_filename_component(WENDLOCK_LLVM_BIN ${WENDLOCK_LLVM_BIN} DIRECTORY)
find_program(WENDLOCK_LLVM_WINDRES NAMES llvm-windres HINTS ${WENDLOCK_LLVM_BIN} NO_DEFAULT_PATH
             REQUIRED)
set(CMAKE_RC_COMPILER ${WENDLOCK_LLVM_WINDRES})
# Its preprocessor is this clang; it too must see MinGW's headers only.
set(CMAKE_RC_FLAGS_INIT --preprocessor-arg=--sysroot=${WENDLOCK_MINGW_ROOT})
find_program(WENDLOCK_LLVM_AR NAMES llvm-ar HINTS ${WENDLOCK_LLVM_BIN} NO_DEFAULT_PATH REQUIRED)
set(CMAKE_AR ${WENDLOCK_LLVM_AR})
find_program(WENDLOCK_LLVM_RANLIB NAMES llvm-ranlib HINTS ${WENDLOCK_LLVM_BIN} NO_DEFAULT_PATH
             REQUIRED)
set(CMAKE_RANLIB ${WENDLOCK_LLVM_RANLIB})

set(CMAKE_FIND_ROOT_PATH ${WENDLOCK_MINGW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
