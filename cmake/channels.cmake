# lobby_add_channels(<table.csv> OUTPUT_DIR <dir> UPDATE_HOST .. TEST_HOST ..
#                    STATS_HOST .. [TARGET_PREFIX <p>] [TARGETS_VAR <var>])
# One installer per row of a channel table (see channels.csv), all with the
# same hosts. The table is checked first: one bad row stops the configure
# with every problem named, so nothing is built from a half-good table.
function(lobby_add_channels table)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "OUTPUT_DIR;UPDATE_HOST;TEST_HOST;STATS_HOST;TARGET_PREFIX;TARGETS_VAR" "")
    get_filename_component(table "${table}" ABSOLUTE)
    set(checker ${CMAKE_SOURCE_DIR}/tools/channel_table.py)
    string(MAKE_C_IDENTIFIER "${ARG_TARGET_PREFIX}channels" rows_name)
    set(rows ${CMAKE_CURRENT_BINARY_DIR}/${rows_name}.cmake)
    # An edited table or checker configures again on the next build.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table} ${checker})

    file(REMOVE ${rows})
    execute_process(COMMAND ${PYTHON3} ${checker} ${table} ${rows} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "Channel table ${table} refused (see above); nothing is built from it.")
    endif()
    include(${rows})

    set(targets "")
    foreach(i RANGE 1 ${LOBBY_CHANNEL_COUNT})
        set(target ${ARG_TARGET_PREFIX}${LOBBY_CHANNEL_${i}_OUTPUT_NAME})
        add_installer(${target}
            OUTPUT_NAME "${LOBBY_CHANNEL_${i}_OUTPUT_NAME}"
            OUTPUT_DIR "${ARG_OUTPUT_DIR}"
            CHANNEL_ID "${LOBBY_CHANNEL_${i}_CHANNEL_ID}"
            DOWNLOAD_PATH "${LOBBY_CHANNEL_${i}_DOWNLOAD_PATH}"
            OFFICIAL "${LOBBY_CHANNEL_${i}_OFFICIAL}"
            BANNER_URL "${LOBBY_CHANNEL_${i}_BANNER_URL}"
            ARCHIVE_KEYS "${LOBBY_CHANNEL_${i}_ARCHIVE_KEYS}"
            UPDATE_HOST "${ARG_UPDATE_HOST}"
            TEST_HOST "${ARG_TEST_HOST}"
            STATS_HOST "${ARG_STATS_HOST}")
        list(APPEND targets ${target})
    endforeach()
    if(ARG_TARGETS_VAR)
        set(${ARG_TARGETS_VAR} ${targets} PARENT_SCOPE)
    endif()
endfunction()

# lobby_add_channel_sums(<target> <dir> <table.csv> <installer targets...>)
# <target> (part of "all") writes <dir>/SHA256SUMS for the installers, in
# the format `sha256sum -c` reads, and removes executables in <dir> that are
# no longer rows of the table, so no stale one passes as released.
function(lobby_add_channel_sums target dir table)
    set(names "")
    foreach(installer IN LISTS ARGN)
        get_target_property(name ${installer} OUTPUT_NAME)
        list(APPEND names ${name}.exe)
    endforeach()
    set(script ${CMAKE_SOURCE_DIR}/cmake/write_sums.cmake)
    add_custom_command(OUTPUT ${dir}/SHA256SUMS
        COMMAND ${CMAKE_COMMAND} -P ${script} -- ${dir} ${names}
        DEPENDS ${ARGN} ${table} ${script}
        COMMENT "Writing ${dir}/SHA256SUMS"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${dir}/SHA256SUMS)
endfunction()
