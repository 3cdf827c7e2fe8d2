# Host tests of the game rules: board, flow and points, queue and generator, and the flow's property test.
ondulor_host_test(host_game_tests
  host/game_board_test.cpp
  host/game_flow_test.cpp
  host/game_flow_property_test.cpp
  host/game_queue_test.cpp)
