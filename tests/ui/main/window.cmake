# The installer's window as a player meets it: the real program under Wine
# on the test display, driven by real pointer and keyboard input (xdotool),
# its pixels read from the screen. Installers of one prefix share one
# single-instance mutex, one desktop and its Quillmoor.lnk, hence the lock.
set(window_dir ${CMAKE_CURRENT_BINARY_DIR})
set(window_peers ${window_dir}/window-peers)
set(window_small_disk ${window_dir}/small-disk)
set(window_host 127.0.0.1:${LOBBY_LOCAL_PORT})

# Variants of the local installer: a download paced by nginx (128 KB/s), and
# one whose archive is missing until a test serves it, with three attempts
# per worker.
foreach(variant paced later)
    if(variant STREQUAL paced)
        set(path /paced/quillmoor.zip)
        set(attempts "")
    else()
        set(path /later.zip)
        set(attempts ATTEMPTS 3)
    endif()
    add_installer(window_installer_${variant}
        OUTPUT_NAME Download_kp_${variant} OUTPUT_DIR ${window_dir}
        CHANNEL_ID "${LOBBY_CHANNEL_ID}" DOWNLOAD_PATH ${path} OFFICIAL 0
        BANNER_URL "http://${window_host}/banner"
        UPDATE_HOST ${window_host} TEST_HOST ${window_host} STATS_HOST ${window_host}
        ${attempts})
endforeach()

# nginx on the local variant's fixed port, and the small disk.
add_test(NAME window_peers_up
    COMMAND ${CMAKE_SOURCE_DIR}/tests/net/peers.sh up ${window_peers} --port ${LOBBY_LOCAL_PORT} --nginx-only
        --slow-statistics)
add_test(NAME window_peers_down COMMAND ${CMAKE_SOURCE_DIR}/tests/net/peers.sh down ${window_peers})
set_tests_properties(window_peers_up PROPERTIES FIXTURES_SETUP window_peers TIMEOUT 60)
set_tests_properties(window_peers_down PROPERTIES FIXTURES_CLEANUP window_peers TIMEOUT 30)
add_test(NAME window_small_disk_up COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/window_small_disk.sh up ${window_small_disk})
add_test(NAME window_small_disk_down COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/window_small_disk.sh down ${window_small_disk})
set_tests_properties(window_small_disk_up PROPERTIES FIXTURES_SETUP window_small_disk TIMEOUT 30)
set_tests_properties(window_small_disk_down PROPERTIES FIXTURES_CLEANUP window_small_disk TIMEOUT 30)

# xdotool runs through this, beside the test program.
add_executable(window_unix_command ${CMAKE_SOURCE_DIR}/tests/support/unix_command.cpp)
target_link_libraries(window_unix_command PRIVATE lobby_base)
set_target_properties(window_unix_command PROPERTIES OUTPUT_NAME unix_command)

lobby_add_test(ui_window_tests RESOURCES
    SOURCES
        window_look.cpp
        window_session.cpp
        window_folder_dialog.cpp
        window_layout_test.cpp
        window_install_test.cpp
        window_pointer_test.cpp
        window_failure_test.cpp
        window_folder_test.cpp
        ${CMAKE_SOURCE_DIR}/tests/ui/kit/kit_test_support.cpp
        ${CMAKE_SOURCE_DIR}/tests/support/xdotool.cpp
        ${CMAKE_SOURCE_DIR}/tests/support/wine_drive.cpp
    LIBS lobby_ui_kit
    DEPENDS installer_local window_installer_paced window_installer_later install_data install_test_client
        window_unix_command stand_in_dll
    TIMEOUT 300
    ENV "LOBBY_WINDOW_PEERS=${window_peers};LOBBY_INSTALL_DATA=${CMAKE_BINARY_DIR}/tests/install/data;LOBBY_SMALL_DISK=${window_small_disk}")
set_tests_properties(ui_window_tests PROPERTIES
    FIXTURES_REQUIRED "testbed;window_peers;window_small_disk"
    RESOURCE_LOCK "installer_session;screen")

# The plain functions behind the progress displays and the install path,
# and the main window's own end, in the test program: it reads its string
# table like an installer (channel 0 writes no channel file).
lobby_write_string_table(${window_dir}/unit_strings.rc CHANNEL_ID 0 DOWNLOAD_PATH /none.zip OFFICIAL 0
    BANNER_URL "http://127.0.0.1:1/banner")
lobby_add_test(ui_window_unit_tests RESOURCES
    SOURCES window_progress_unit_test.cpp window_end_test.cpp ${window_dir}/unit_strings.rc
    LIBS lobby_ui_main)
set_tests_properties(ui_window_unit_tests PROPERTIES RESOURCE_LOCK screen)
