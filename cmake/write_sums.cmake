# cmake -P write_sums.cmake -- <dir> <file names...>
# Writes <dir>/SHA256SUMS for the files named (sorted, `sha256sum -c`
# format) and removes other executables in <dir>: those are left from rows
# that are gone from the channel table.
cmake_minimum_required(VERSION 3.25)
set(args "")
set(after_dashes FALSE)
foreach(i RANGE 1 ${CMAKE_ARGC})
    if(after_dashes AND DEFINED CMAKE_ARGV${i})
        list(APPEND args "${CMAKE_ARGV${i}}")
    elseif("${CMAKE_ARGV${i}}" STREQUAL "--")
        set(after_dashes TRUE)
    endif()
endforeach()
list(POP_FRONT args dir)
list(SORT args)

file(GLOB present RELATIVE ${dir} ${dir}/*.exe)
foreach(name IN LISTS present)
    if(NOT name IN_LIST args)
        message(STATUS "Removing ${dir}/${name}: not in the channel table")
        file(REMOVE ${dir}/${name})
    endif()
endforeach()

set(sums "")
foreach(name IN LISTS args)
    file(SHA256 ${dir}/${name} sum)
    string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${dir}/SHA256SUMS.tmp "${sums}")
file(RENAME ${dir}/SHA256SUMS.tmp ${dir}/SHA256SUMS)
