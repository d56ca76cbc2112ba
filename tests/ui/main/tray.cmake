# The notification-area icon: the class on windows of the test itself, and
# the installer's close button, icon clicks and menu.
set(tray_support ${CMAKE_SOURCE_DIR}/tests/support/notification_area.cpp)

lobby_add_test(ui_main_tray_window_tests
    SOURCES tray_window_test.cpp ${tray_support}
    LIBS shell32
    DEPENDS installer_local)
# Icons are told apart by when they appear: no other test may add one
# meanwhile.
set_tests_properties(ui_main_tray_window_tests PROPERTIES
    RESOURCE_LOCK "installer_session;notification_area")

lobby_add_test(ui_main_tray_icon_tests RESOURCES
    SOURCES tray_icon_test.cpp ${tray_support}
    LIBS lobby_ui_main)
set_tests_properties(ui_main_tray_icon_tests PROPERTIES RESOURCE_LOCK "notification_area;screen")

# Hiding an activated window waits two seconds for a window manager unless
# the window is unmanaged.
add_test(NAME ui_main_tray_unmanaged_windows
    COMMAND ${CMAKE_SOURCE_DIR}/tests/bed/wine-run reg add
        "HKCU\\Software\\Wine\\AppDefaults\\ui_main_tray_icon_tests.exe\\X11 Driver" /v Managed /d N /f)
set_tests_properties(ui_main_tray_unmanaged_windows PROPERTIES
    FIXTURES_REQUIRED testbed FIXTURES_SETUP ui_main_tray_bed
    ENVIRONMENT "LOBBY_TESTBED=${LOBBY_TESTBED}")
set_tests_properties(ui_main_tray_icon_tests PROPERTIES FIXTURES_REQUIRED "testbed;ui_main_tray_bed")
