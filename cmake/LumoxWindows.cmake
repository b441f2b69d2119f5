# Windows-only parts: drawing, the program and its resources.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)

add_library(lumox_draw STATIC
  draw/gdi_objects.cpp
  draw/back_buffer.cpp
  draw/board_drawing.cpp)
target_include_directories(lumox_draw PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(lumox_draw PUBLIC lumox_core gdi32 user32)
lumox_strict(lumox_draw)
