# The desktop tip: the real installer's icon search against a desktop of our
# own (desktop_helper), and the bubble it opens.
add_executable(desktop_helper desktop_helper.cpp)
target_link_libraries(desktop_helper PRIVATE comctl32)
set(desktop_helpers desktop_helper)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Under WOW64 the 32-bit program reads a 64-bit desktop: the same helper
    # built for x86_64.
    set(helper64 ${CMAKE_CURRENT_BINARY_DIR}/desktop_helper64.exe)
    add_custom_command(OUTPUT ${helper64}
        COMMAND x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -static -o ${helper64}
                ${CMAKE_CURRENT_SOURCE_DIR}/desktop_helper.cpp -lcomctl32
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/desktop_helper.cpp
        COMMENT "Building the 64-bit desktop helper")
    add_custom_target(desktop_helper64 DEPENDS ${helper64})
    list(APPEND desktop_helpers desktop_helper64)
endif()

lobby_add_test(ui_main_desktop_tip_tests RESOURCES
    SOURCES desktop_tip_test.cpp
    LIBS lobby_ui_main
    DEPENDS installer_local ${desktop_helpers}
    TIMEOUT 180)
# The installer is single-instance: a second one would end at once and hand
# over to the first.
set_tests_properties(ui_main_desktop_tip_tests PROPERTIES RESOURCE_LOCK installer_session)
