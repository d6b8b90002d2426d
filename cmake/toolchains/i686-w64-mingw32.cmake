# Cross build of the libraries as 32-bit platform DLLs with Debian's mingw-w64 (GCC, win32 thread
# model) against the mingw-w64 SDK headers, plus the completion headers of platform/sdk-compat/.
#   cmake -S <project> -B build/windows -G Ninja --toolchain cmake/toolchains/i686-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(VELT_CROSS_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VELT_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${VELT_CROSS_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${VELT_CROSS_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${VELT_CROSS_TRIPLE}-objdump)
set(CMAKE_DLLTOOL ${VELT_CROSS_TRIPLE}-dlltool)

# No -msse2: the 32-bit platform runs on processors without SSE2, so the raster code takes its plain
# paths here (the same bytes; the host's tests hold both paths to the same results), and no floating
# point reaches a byte stream, so x87 arithmetic changes nothing.

# Headers and libraries come from the cross sysroot only; programs (llvm-rc, wine) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VELT_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The completion headers sit before the SDK: winddiui.h there includes the SDK's own and adds what
# Debian's copy lacks; ddrawint.h and d3dnthal.h stand in for the display-driver headers it lacks.
get_filename_component(VELT_SDK_COMPAT ${CMAKE_CURRENT_LIST_DIR}/../../platform/sdk-compat ABSOLUTE)
set(CMAKE_C_FLAGS_INIT "-isystem ${VELT_SDK_COMPAT} -Wall -Wextra -Werror")
set(CMAKE_CXX_FLAGS_INIT "-isystem ${VELT_SDK_COMPAT} -Wall -Wextra -Werror")

# The DLLs need only system DLLs (and VELTlog.dll): the C++ runtime and libgcc are linked in.
# --kill-at: exports carry their plain names (the .def files name them with their stdcall sizes);
# --exclude-all-symbols: nothing but the .def file's names is exported; no time stamp, so that
# the same sources give the same bytes.
set(CMAKE_SHARED_LINKER_FLAGS_INIT
    "-static-libgcc -static-libstdc++ -Wl,--kill-at -Wl,--exclude-all-symbols -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
