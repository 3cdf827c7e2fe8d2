# Wine tests of the dialog boxes and of the main window's game messages, on the real main window.
ondulor_win_test(win_dialog_tests
  win/dialogs_script.cpp
  win/dialogs_boxes_test.cpp
  win/dialogs_settings_test.cpp
  win/events_game_test.cpp
  win/events_soak_test.cpp)
