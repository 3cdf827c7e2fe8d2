# Art tests: the committed tiles, icon and click parse and follow the style rules, and regenerating gives the
# same bytes, the icon's PNG the same pixels (decoded with libpng).
find_package(PNG REQUIRED)
ondulor_host_test(host_art_tests host/art_tiles_test.cpp host/art_files_test.cpp)
target_link_libraries(host_art_tests PRIVATE ondulor_art PNG::PNG)
target_compile_definitions(host_art_tests PRIVATE ONDULOR_ART_DIR="${CMAKE_SOURCE_DIR}/res/art")
