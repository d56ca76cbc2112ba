# Where the installer's DLLs come from.
#
# Windows maps a DLL on its KnownDLLs list from the system folder whatever the
# search order. Any other DLL is looked for in the program's own folder first,
# and the installer runs elevated from the player's Downloads folder. An
# ordinary import of such a DLL is resolved before the program's first line,
# so those are delay-loaded instead: resolved on their first call, from the
# system folder (app/dll_search.cpp), after the entry point has restricted
# the search.

# Imports that may stay ordinary: on the KnownDLLs list of every supported
# Windows, 7 to 11. The lists differ between versions (WININET is on Windows
# 7's and not on 10's, gdiplus the other way round): a name joins only when
# every version's list has it. The installer_imports test holds the import
# table to these.
set(LOBBY_KNOWN_DLLS kernel32 user32 gdi32 advapi32 msvcrt ole32 oleaut32 shell32)

# Every other DLL the installer may link, one word each. A name here that the
# installer does not link costs nothing.
set(LOBBY_DELAY_LOADED_DLLS wininet gdiplus comctl32 msimg32)

# The delay-import libraries, one per name, made from mingw-w64's import
# libraries (Debian ships no .def files) under the import libraries' own
# file names, in a folder that installers search before the toolchain's.
set(LOBBY_DELAY_IMPORT_DIR ${CMAKE_BINARY_DIR}/delay-import)
file(MAKE_DIRECTORY ${LOBBY_DELAY_IMPORT_DIR})
set(delay_libs "")
foreach(name ${LOBBY_DELAY_LOADED_DLLS})
    find_library(LOBBY_IMPORT_LIB_${name} NAMES lib${name}.a REQUIRED NO_CACHE)
    set(import_lib ${LOBBY_IMPORT_LIB_${name}})
    # The DLL's name as the import library spells it, as the table shows it.
    execute_process(COMMAND ${CMAKE_DLLTOOL} --identify ${import_lib}
        OUTPUT_VARIABLE dll_name OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set(lib lib${name}.a)
    # Made in its own folder: dlltool names symbols after the output's path,
    # and the build folder has no place in them.
    #
    # The objcopy step: ld drops the .text of an import-library member whose
    # function symbol nothing references, taking it for the jmp stub that a
    # dllimport call does without. In a delay-import library that section
    # also holds the thunk that the member's address-table slot points to,
    # so the slot would stay 0 and the first call would jump there. Renamed
    # and marked as data, the section is not taken for a stub and still lands
    # in the output's .text. (The installer_imports test checks the slots.)
    add_custom_command(OUTPUT ${LOBBY_DELAY_IMPORT_DIR}/${lib}
        COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/delay_import_def.py --prefix=${LOBBY_SYMBOL_PREFIX}
                ${CMAKE_OBJDUMP} ${import_lib} ${name}.def
        COMMAND ${CMAKE_DLLTOOL} --input-def ${name}.def --dllname ${dll_name} --output-delaylib ${lib}
                --temp-prefix ${name}
        COMMAND ${CMAKE_OBJCOPY} --rename-section .text=.text$delay,contents,alloc,load,readonly,data ${lib}
        DEPENDS ${CMAKE_SOURCE_DIR}/tools/delay_import_def.py ${import_lib}
        WORKING_DIRECTORY ${LOBBY_DELAY_IMPORT_DIR}
        COMMENT "Making the delay-import library of ${dll_name}"
        VERBATIM)
    list(APPEND delay_libs ${LOBBY_DELAY_IMPORT_DIR}/${lib})
endforeach()
add_custom_target(lobby_delay_imports DEPENDS ${delay_libs})
set(LOBBY_DELAY_IMPORT_LIBS ${delay_libs})

# lobby_use_delay_imports(<target>)
# `-lwininet` of the target then finds the delay-import library first.
function(lobby_use_delay_imports target)
    target_link_directories(${target} BEFORE PRIVATE ${LOBBY_DELAY_IMPORT_DIR})
    add_dependencies(${target} lobby_delay_imports)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${LOBBY_DELAY_IMPORT_LIBS})
endfunction()
