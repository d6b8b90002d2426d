# The cross build: the five libraries as 32-bit platform DLLs from their own folders' lists, against the
# platform's SDK headers (the host's stand-ins in platform/sdk/ stay off the include path), each DLL in
# driver/ beside the others, as the spooler installs them; then the layout check and the program that
# loads the DLLs under the platform's loader.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/driver)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/driver)
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

# The DLLs this build makes and checks (export lists in platform/windows-checks/exports/). A library
# joins the cross build by its name here.
set(VELT_WINDOWS_DLLS VELTlog VELTrc VELT)

# "platform" is the platform itself: the one umbrella header and the system DLLs' import libraries.
# A library links only the import libraries of the functions it calls, so naming them all is free.
add_library(platform INTERFACE)
target_include_directories(platform INTERFACE ${PROJECT_SOURCE_DIR}/platform/include)
target_link_libraries(platform INTERFACE gdi32 winspool advapi32 user32 comctl32 shell32)

add_subdirectory(Common/owners)
add_subdirectory(log)
add_subdirectory(resources)
add_subdirectory(Common/UI/NTInf)
add_subdirectory(monitor)
add_subdirectory(render)
add_subdirectory(tests/layout)
add_subdirectory(tests/windows)

# Every listed DLL is built by default (a name no library folder makes fails the configuration).
add_custom_target(windows_dlls ALL)
add_dependencies(windows_dlls ${VELT_WINDOWS_DLLS})
# The list for scripts/build-windows.sh, which checks each DLL's tables and hands the names to Wine.
string(REPLACE ";" "\n" dll_lines "${VELT_WINDOWS_DLLS}")
file(WRITE ${CMAKE_BINARY_DIR}/dlls.txt "${dll_lines}\n")
