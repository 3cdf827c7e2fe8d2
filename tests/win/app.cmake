# Wine tests of the menu and its relabelling, the resources, the texts as LoadStringA gives them,
# the Win32 file routines, the settings file's replacement and the fatal error box.
ondulor_win_test(win_app_tests win/app_menu_test.cpp win/app_files_test.cpp)
