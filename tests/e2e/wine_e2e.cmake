# The end-to-end scripts of tests/e2e against the Windows programs under Wine: the same
# scripts as the native build's, told by FROSTEL_WINE_PREFIX to start the .exe files in this
# test run's Wine prefix. Included by the Windows build.

set(FROSTEL_WINE_PREFIX_DIR ${CMAKE_BINARY_DIR}/wine-prefix)
set(e2e_dir ${CMAKE_CURRENT_LIST_DIR})

# Reads the text of a program's "Error" box and presses OK. A console program, so that its
# output reaches the test; kept out of the run folder, which is what players get.
add_executable(error_box ${e2e_dir}/wine/error_box.c)
target_compile_options(error_box PRIVATE -Wall -Wextra)
set_target_properties(error_box PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/e2e)
if(TARGET windows_tests)
  add_dependencies(windows_tests error_box)  # what the test command builds before ctest
endif()

# The prefix is the one of tests/windows.cmake (fixture "wine"), made once for the whole run.

# NAME SCRIPT [ARGS...]: one script run under Wine.
function(frostel_wine_e2e name script)
  add_test(NAME wine.e2e.${name} COMMAND bash ${e2e_dir}/${script} ${ARGN})
  set_tests_properties(wine.e2e.${name} PROPERTIES LABELS "wine;e2e" FIXTURES_REQUIRED wine
                       RUN_SERIAL TRUE TIMEOUT 600
                       ENVIRONMENT "FROSTEL_RUN_DIR=${FROSTEL_RUN_DIR};FROSTEL_WINE_PREFIX=${FROSTEL_WINE_PREFIX_DIR};FROSTEL_ERROR_BOX=${CMAKE_BINARY_DIR}/tests/e2e/error_box.exe")
endfunction()

frostel_wine_e2e(escape escape_test.sh)
frostel_wine_e2e(flow_practice flow_practice_test.sh frostel)
frostel_wine_e2e(flow_practice_640 flow_practice_test.sh frostel_640)
frostel_wine_e2e(flow_640 flow_640_test.sh)
# One file of each kind (a plain picture, a colour-keyed one, a mesh, a sample, the music), each
# missing, cut short and garbled; the whole set is scripts/wine-asset-faults.sh (docs/testing.md).
frostel_wine_e2e(asset_faults asset_faults_test.sh gfx/menu01.jpg gfx/goal.bmp hrink2.x sound2.wav tune.mp3)

# Between the two builds: tests that run the native build's programs beside the Windows ones
# need its run folder, given by scripts/test.sh (which builds build/ first); without it they
# are skipped.
set(FROSTEL_NATIVE_RUN_DIR "" CACHE PATH "Run folder of the native build, for the tests between the two builds")

# The same clicks on both programs write the same "opts.dat", and each reads the other's.
frostel_wine_e2e(options_across options_across.sh)
set_property(TEST wine.e2e.options_across APPEND PROPERTY ENVIRONMENT "FROSTEL_NATIVE_RUN_DIR=${FROSTEL_NATIVE_RUN_DIR}")
set_tests_properties(wine.e2e.options_across PROPERTIES SKIP_RETURN_CODE 77)

# ---- Matches between the two builds: frostel.exe under Wine against the native frostel,
# each creating once. The native run folder comes from the test command (scripts/test.sh
# builds build/ first); without it these tests are skipped.
# Restores the minimized window of a full-screen game that lost the focus to the native copy.
add_executable(restore_window ${e2e_dir}/wine/restore_window.c)
target_compile_options(restore_window PRIVATE -Wall -Wextra)
set_target_properties(restore_window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/e2e)
if(TARGET windows_tests)
  add_dependencies(windows_tests restore_window)
endif()
foreach(direction "windows;native" "native;windows")
  list(JOIN direction "_" name)
  frostel_wine_e2e(net_match_${name} net_match_test.sh ${direction})
  set_tests_properties(wine.e2e.net_match_${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
  set_property(TEST wine.e2e.net_match_${name} APPEND PROPERTY ENVIRONMENT "FROSTEL_NATIVE_RUN_DIR=${FROSTEL_NATIVE_RUN_DIR}")
endforeach()
