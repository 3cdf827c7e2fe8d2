# Wine tests of the game window: start-up, window procedure, centring, loop, rendering, and the real
# ondulor.exe run as a child process.
ondulor_win_test(win_ui_tests win/ui_window_test.cpp win/ui_render_test.cpp win/ui_process_test.cpp)
target_compile_definitions(win_ui_tests PRIVATE ONDULOR_EXE_PATH="$<TARGET_FILE:ondulor>")
# The screen reader's side: the game itself loads these at run time and never links them.
target_link_libraries(win_ui_tests PRIVATE oleacc ole32 oleaut32)
add_dependencies(win_ui_tests ondulor)

include(${CMAKE_SOURCE_DIR}/bench/window.cmake OPTIONAL)
