# Timing of the game window under Wine (Windows build only, run by hand): full repaint and click.
add_executable(window_bench ${CMAKE_SOURCE_DIR}/bench/window_bench.cpp ${CMAKE_SOURCE_DIR}/res/ondulor.rc)
target_link_libraries(window_bench PRIVATE ondulor_win)
