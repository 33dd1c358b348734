# The Windows build's tests: the unit test programs that need no real device, cross-built
# and run under Wine, one CTest entry per program; the programs' import tables.
#
# One Wine prefix in the build tree serves the whole CTest run: the fixture "wine" makes it
# fresh and keeps its wineserver up, and stops the server once every test has run.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(FROSTEL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest)")
add_subdirectory(${FROSTEL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Paths compiled into the tests are seen through Wine's drive Z:, whatever the current drive.
set(win_run_dir "Z:${FROSTEL_RUN_DIR}")
set(win_source_dir "Z:${CMAKE_SOURCE_DIR}")

# Tests of the Linux backends stay out (SDL key map, SDL2_mixer).
set(linux_only_tests input/key_map_test.cpp assets/mixer_audio_test.cpp)
set(wine_prefix ${CMAKE_BINARY_DIR}/wine-prefix)
# Test programs made from here on run through Wine in that prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${wine_prefix})

set(test_args --gtest_brief=1)

# frostel_windows_test(TARGET LAYOUT [DISPLAY] SOURCES...): a test program linked with the
# game and the given layout (1024 or 640), run under Wine as the CTest entry wine.TARGET.
# DISPLAY gives it its own Xvfb screen with Wine's desktop on it (a real Direct3D device);
# such tests run one at a time.
set(FROSTEL_WINDOWS_TEST_PROGRAMS)
function(frostel_windows_test target layout)
  cmake_parse_arguments(PARSE_ARGV 2 arg "DISPLAY" "" "")
  add_executable(${target} ${arg_UNPARSED_ARGUMENTS} ${CMAKE_SOURCE_DIR}/src/app/layout_${layout}.cpp
                 ${CMAKE_CURRENT_SOURCE_DIR}/support/test_support.cpp)
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${FROSTEL_WARNINGS})
  target_compile_definitions(${target} PRIVATE FROSTEL_RUN_DIR="${win_run_dir}"
                             FROSTEL_SOURCE_DIR="${win_source_dir}")
  target_link_libraries(${target} PRIVATE frostel_core GTest::gtest_main)
  add_dependencies(${target} assets)
  if(arg_DISPLAY)
    add_test(NAME wine.${target} COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/wine-xvfb.sh ${wine_prefix}
             $<TARGET_FILE:${target}> ${test_args})
    set_tests_properties(wine.${target} PROPERTIES LABELS "wine;e2e" RUN_SERIAL TRUE)
  else()
    add_test(NAME wine.${target} COMMAND ${target} ${test_args})
    set_tests_properties(wine.${target} PROPERTIES LABELS wine)
  endif()
  set_tests_properties(wine.${target} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600)
  set(FROSTEL_WINDOWS_TEST_PROGRAMS ${FROSTEL_WINDOWS_TEST_PROGRAMS} ${target} PARENT_SCOPE)
endfunction()

foreach(dir app graphics input sim ai flow net assets platform)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  foreach(excluded ${linux_only_tests})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  if(sources)
    frostel_windows_test(test_${dir} 1024 ${sources})
  endif()
endforeach()
file(GLOB sources640 CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/layout640/*.cpp)
if(sources640)
  frostel_windows_test(test_layout640 640 ${sources640})
endif()
# The Win32 shell itself needs a desktop to make windows on.
frostel_windows_test(test_win32 1024 DISPLAY ${CMAKE_CURRENT_SOURCE_DIR}/win32/win32_shell_test.cpp)
# The game's drawing path on the Direct3D 9 device: the same source as the OpenGL build's
# draw-path test (gldraw/draw_backend.cpp picks the device), checked against the same pixels.
frostel_windows_test(test_d3d9draw 1024 DISPLAY ${CMAKE_CURRENT_SOURCE_DIR}/gldraw/draw_path_test.cpp
                     ${CMAKE_CURRENT_SOURCE_DIR}/gldraw/draw_backend.cpp
                     ${CMAKE_CURRENT_SOURCE_DIR}/windows/stb_image_write_impl.c)
target_include_directories(test_d3d9draw SYSTEM PRIVATE ${FROSTEL_STB_INCLUDE_DIR})
# The DirectSound audio system on a real (null) output and on none.
add_subdirectory(dsound)
add_custom_target(windows_tests DEPENDS ${FROSTEL_WINDOWS_TEST_PROGRAMS})

add_test(NAME wine.prefix_start COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh start ${wine_prefix})
add_test(NAME wine.prefix_stop COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh stop ${wine_prefix})
set_tests_properties(wine.prefix_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine.prefix_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

# The programs may import only DLLs that every Windows has.
add_test(NAME windows.imports COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/imports_test.sh
         $<TARGET_FILE:frostel> $<TARGET_FILE:frostel_640>)
set_tests_properties(windows.imports PROPERTIES LABELS windows TIMEOUT 60)

