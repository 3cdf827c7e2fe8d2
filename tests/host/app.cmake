# Host tests of texts, file and text routines, the score table and the settings file.
ondulor_host_test(host_app_tests
  host/app_texts_test.cpp
  host/app_file_util_test.cpp
  host/app_scores_test.cpp
  host/app_settings_test.cpp)
