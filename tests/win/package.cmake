# Wine tests of what the packages carry: the version information of the real ondulor.exe, read back
# the way Windows' file properties read it. version.lib is the test's alone; the game does not link it.
ondulor_win_test(win_package_tests win/package_version_test.cpp)
target_link_libraries(win_package_tests PRIVATE version)
target_compile_definitions(win_package_tests PRIVATE ONDULOR_EXE_PATH="$<TARGET_FILE:ondulor>")
add_dependencies(win_package_tests ondulor)
