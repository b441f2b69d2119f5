# Windows-only parts: drawing, the program and its resources.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)

add_library(lumox_draw STATIC
  draw/gdi_objects.cpp
  draw/back_buffer.cpp
  draw/board_drawing.cpp)
target_include_directories(lumox_draw PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(lumox_draw PUBLIC lumox_core gdi32 user32)
lumox_strict(lumox_draw)
lumox_program_code(lumox_draw)

# The results window: draws the table, knows nothing of the shell.
add_library(lumox_results_window STATIC results/results_window.cpp)
target_include_directories(lumox_results_window PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(lumox_results_window PUBLIC lumox_draw lumox_results_store user32 gdi32)
lumox_strict(lumox_results_window)
lumox_program_code(lumox_results_window)

# The shell: everything of the program but its entry point, so that tests
# can drive the real window procedures.
add_library(lumox_app STATIC
  app/app_state.cpp
  app/shell_hooks.cpp
  app/results_shell.cpp
  app/startup.cpp
  app/main_window.cpp
  app/commands.cpp
  app/dialogs.cpp
  app/game_over.cpp)
target_include_directories(lumox_app PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(lumox_app PUBLIC lumox_results_window lumox_draw lumox_results_store lumox_core user32 gdi32)
lumox_strict(lumox_app)
lumox_program_code(lumox_app)

# Resources: the menu, the dialogs and the icon (resources/lumox.ico, 32 x 32 in 16 colours).
add_library(lumox_resources OBJECT resources/lumox.rc)
target_include_directories(lumox_resources PRIVATE ${CMAKE_SOURCE_DIR}/resources)
set_source_files_properties(resources/lumox.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/lumox.ico;${CMAKE_SOURCE_DIR}/resources/resource.h")

add_executable(lumox WIN32 app/main.cpp app/heap.cpp $<TARGET_OBJECTS:lumox_resources>)
target_link_libraries(lumox PRIVATE lumox_app)
lumox_strict(lumox)
lumox_program_code(lumox)
target_link_options(lumox PRIVATE -s -Wl,--gc-sections)

# Benchmarks (run by tools/bench.sh, never by the tests).
add_executable(timer_only WIN32 bench/timer_only.cpp)
lumox_strict(timer_only)
target_link_options(timer_only PRIVATE -s)
add_executable(handling_bench bench/handling_bench.cpp $<TARGET_OBJECTS:lumox_resources>)
target_link_libraries(handling_bench PRIVATE lumox_app)
lumox_strict(handling_bench)
