# The host boundary check: the five libraries may call only the platform's own API.
#   cmake -DMANIFEST=<file> -P check_boundary.cmake
# The manifest (written at configure time, or given by a test as -D definitions instead) sets
#   testing_include_dir   the testing target's include folder (its host/*.h are the host-only headers)
#   private_source_dir    platform/src (its <component>/internal.h are the host's internals)
#   library_targets       every target of the library folders; for each T, T_links (the targets it links,
#                         directly or not) and T_includes (its include directories as the compiler gets them)
#   library_folders       the folders whose sources are read
# Fails, naming every breach, when a library target links platform_testing or sees either folder, or a
# library source includes a host-only header or an internal one, or calls a Host... function.
cmake_minimum_required(VERSION 3.25)

if(MANIFEST)
    include(${MANIFEST})
endif()

set(breaches "")

# Targets: what they link and which folders their compiler searches.
foreach(target IN LISTS library_targets)
    if("platform_testing" IN_LIST ${target}_links)
        list(APPEND breaches "${target} links platform_testing")
    endif()
    foreach(folder IN LISTS ${target}_includes)
        foreach(fenced IN ITEMS "${testing_include_dir}" "${private_source_dir}")
            string(FIND "${folder}/" "${fenced}/" at)
            if(at EQUAL 0)
                list(APPEND breaches "${target} has the include folder ${folder}")
            endif()
        endforeach()
    endforeach()
endforeach()

# The headers no library may include: the host-only ones, and each component's internals.
file(GLOB host_only RELATIVE ${testing_include_dir} ${testing_include_dir}/host/*.h)
file(GLOB internals RELATIVE ${private_source_dir} ${private_source_dir}/*/internal.h)
set(fenced_headers "")
foreach(header IN LISTS host_only internals)
    string(REPLACE "." "\\." pattern "${header}")
    list(APPEND fenced_headers "${pattern}")
endforeach()

# Sources: every file of the library folders, read whole.
foreach(folder IN LISTS library_folders)
    file(GLOB_RECURSE files ${folder}/*.c ${folder}/*.cpp ${folder}/*.cc ${folder}/*.h ${folder}/*.hpp ${folder}/*.inl)
    foreach(file IN LISTS files)
        file(READ ${file} text)
        foreach(pattern IN LISTS fenced_headers)
            if(text MATCHES "#[ \t]*include[ \t]*[<\"]${pattern}[\">]")
                string(REPLACE "\\." "." header "${pattern}")
                list(APPEND breaches "${file} includes ${header}")
            endif()
        endforeach()
        string(REGEX MATCHALL "(^|[^A-Za-z0-9_])Host[A-Z][A-Za-z0-9_]*[ \t\r\n]*\\(" calls "${text}")
        foreach(call IN LISTS calls)
            string(REGEX REPLACE "^.*(Host[A-Za-z0-9_]*).*$" "\\1" name "${call}")
            list(APPEND breaches "${file} calls ${name}")
        endforeach()
    endforeach()
endforeach()

if(breaches)
    list(REMOVE_DUPLICATES breaches)
    list(JOIN breaches "\n  " listed)
    message(FATAL_ERROR "The five libraries reach host-only API (platform_testing is for tests and tools):\n  ${listed}")
endif()
