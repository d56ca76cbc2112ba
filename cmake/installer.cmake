# add_installer(<target> OUTPUT_NAME <name> CHANNEL_ID .. DOWNLOAD_PATH ..
#               OFFICIAL .. BANNER_URL .. UPDATE_HOST .. TEST_HOST .. STATS_HOST ..
#               [ARCHIVE_KEYS <keys>] [ATTEMPTS <n>] [STALL_SECONDS <n>] [OMIT_STRINGS <ids...>]
#               [OUTPUT_DIR <dir>])
# Builds one installer executable. Everything per channel is a value here, so
# test builds that point at 127.0.0.1 need no code change. ARCHIVE_KEYS: the
# minisign public keys (one, or two separated by a space) the client archive
# must be signed with; none means the channel takes unsigned archives.
function(add_installer target)
    # PARSE_ARGV keeps a value's semicolons (a banner query may hold them).
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "OUTPUT_NAME;CHANNEL_ID;DOWNLOAD_PATH;OFFICIAL;BANNER_URL;UPDATE_HOST;TEST_HOST;STATS_HOST;ARCHIVE_KEYS;ATTEMPTS;STALL_SECONDS;OUTPUT_DIR"
        "OMIT_STRINGS")
    # A public key is base64 of 42 bytes beginning with "Ed": "RW", one of
    # Q to T, 53 more. A bad one would make the installer refuse every
    # archive, so it stops the configure instead.
    string(REPEAT "[A-Za-z0-9+/]" 53 rest)
    set(key "RW[QRST]${rest}")
    if(NOT "${ARG_ARCHIVE_KEYS}" MATCHES "^(${key}( ${key})?)?$")
        message(FATAL_ERROR "${target}: ARCHIVE_KEYS \"${ARG_ARCHIVE_KEYS}\" is not one minisign public key "
            "or two separated by one space")
    endif()
    set(gen ${CMAKE_BINARY_DIR}/variants/${target})

    lobby_write_string_table(${gen}/strings.rc
        CHANNEL_ID "${ARG_CHANNEL_ID}" DOWNLOAD_PATH "${ARG_DOWNLOAD_PATH}"
        OFFICIAL "${ARG_OFFICIAL}" BANNER_URL "${ARG_BANNER_URL}" OMIT_STRINGS ${ARG_OMIT_STRINGS})

    set(LOBBY_UPDATE_HOST_VALUE "${ARG_UPDATE_HOST}")
    set(LOBBY_TEST_HOST_VALUE "${ARG_TEST_HOST}")
    set(LOBBY_STATS_HOST_VALUE "${ARG_STATS_HOST}")
    if(NOT ARG_ATTEMPTS)
        set(ARG_ATTEMPTS ${LOBBY_DOWNLOAD_ATTEMPTS})
    endif()
    set(LOBBY_ATTEMPTS_VALUE "${ARG_ATTEMPTS}")
    if(NOT ARG_STALL_SECONDS)
        set(ARG_STALL_SECONDS ${LOBBY_DOWNLOAD_STALL_SECONDS})
    endif()
    set(LOBBY_STALL_SECONDS_VALUE "${ARG_STALL_SECONDS}")
    set(LOBBY_ARCHIVE_KEYS_VALUE "${ARG_ARCHIVE_KEYS}")
    configure_file(${CMAKE_SOURCE_DIR}/app/build_values.cpp.in ${gen}/build_values.cpp @ONLY)

    add_executable(${target} WIN32
        ${CMAKE_SOURCE_DIR}/entry/winmain.cpp
        ${gen}/build_values.cpp
        ${gen}/strings.rc
        $<TARGET_OBJECTS:lobby_resources>)
    get_property(libs GLOBAL PROPERTY LOBBY_LIBRARIES)
    target_link_libraries(${target} PRIVATE ${libs})
    # DLLs that are not KnownDLLs are delay-loaded (cmake/delay_load.cmake),
    # and GDI+ is one: the entry point starts the toolkit itself, after it has
    # restricted the DLL search, not before main.
    lobby_use_delay_imports(${target})
    set_target_properties(${target} PROPERTIES LOBBY_STARTS_TOOLKIT ON)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME "${ARG_OUTPUT_NAME}")
    if(ARG_OUTPUT_DIR)
        set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIR}")
    endif()
endfunction()

# Subsystem libraries register themselves here, in link order (users first).
function(lobby_register_library lib)
    set_property(GLOBAL APPEND PROPERTY LOBBY_LIBRARIES ${lib})
endfunction()

# lobby_write_string_table(<file.rc> CHANNEL_ID .. DOWNLOAD_PATH .. OFFICIAL ..
#                          BANNER_URL .. [OMIT_STRINGS <ids...>])
# The channel's string table (ids 20001-20004), leaving out the ids named.
function(lobby_write_string_table file)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "CHANNEL_ID;DOWNLOAD_PATH;OFFICIAL;BANNER_URL" "OMIT_STRINGS")
    set(ids 20001 20002 20003 20004)
    set(fields CHANNEL_ID DOWNLOAD_PATH OFFICIAL BANNER_URL)
    set(rows "")
    foreach(id field IN ZIP_LISTS ids fields)
        if(NOT id IN_LIST ARG_OMIT_STRINGS)
            # The resource compiler reads a backslash as an escape and a
            # doubled quote as one quote.
            string(REPLACE "\\" "\\\\" value "${ARG_${field}}")
            string(REPLACE "\"" "\"\"" value "${value}")
            string(APPEND rows "    ${id} \"${value}\"\n")
        endif()
    endforeach()
    # A resource script needs at least one resource.
    set(LOBBY_STRING_TABLE "20000 RCDATA { 0 }\n")
    if(rows)
        set(LOBBY_STRING_TABLE "STRINGTABLE\nBEGIN\n${rows}END\n")
    endif()
    configure_file(${CMAKE_SOURCE_DIR}/res/strings.rc.in ${file} @ONLY)
endfunction()
