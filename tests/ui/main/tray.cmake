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
    LIBS lobby_ui_main comctl32
    UNMANAGED)
set_tests_properties(ui_main_tray_icon_tests PROPERTIES RESOURCE_LOCK "notification_area;screen")
