# The Windows counterparts, run under Wine by bench/run_windows.sh: the frame-rate bench on the
# Direct3D 9 device, frostel.exe with its first Present stamped and the bare Direct3D 9 window
# (start-up and memory), and the network bench (one side of a match between two processes).
# The shipped programs are not changed by any of this.

# The run folder is seen through Wine's drive Z:.
add_executable(frame_rate_bench frame_rate_bench.cpp bench_platform_win32.cpp ${CMAKE_SOURCE_DIR}/src/app/layout_1024.cpp)
target_compile_options(frame_rate_bench PRIVATE ${FROSTEL_WARNINGS})
target_compile_definitions(frame_rate_bench PRIVATE FROSTEL_RUN_DIR="Z:${FROSTEL_RUN_DIR}")
target_link_libraries(frame_rate_bench PRIVATE frostel_core)
add_dependencies(frame_rate_bench assets)

add_executable(bare_window_d3d9 bare_window_d3d9.cpp)
target_compile_options(bare_window_d3d9 PRIVATE ${FROSTEL_WARNINGS})
target_link_libraries(bare_window_d3d9 PRIVATE d3d9)

# frostel.exe's own sources, with the render system the entry installs wrapped (first_present_device.cpp).
add_executable(frostel_first_present ${CMAKE_SOURCE_DIR}/src/app/main.cpp ${CMAKE_SOURCE_DIR}/src/app/layout_1024.cpp
               ${CMAKE_SOURCE_DIR}/${FROSTEL_ENTRY_SOURCE} first_present_device.cpp)
target_compile_options(frostel_first_present PRIVATE ${FROSTEL_WARNINGS})
target_link_options(frostel_first_present PRIVATE -mwindows -Wl,--wrap=_Z22createD3d9RenderSystemv)
target_link_libraries(frostel_first_present PRIVATE frostel_core)

add_executable(net_reply_bench net_reply_bench.cpp ${CMAKE_SOURCE_DIR}/src/app/layout_1024.cpp)
target_compile_options(net_reply_bench PRIVATE ${FROSTEL_WARNINGS})
target_link_libraries(net_reply_bench PRIVATE frostel_core)

add_custom_target(windows_bench DEPENDS frame_rate_bench bare_window_d3d9 frostel_first_present net_reply_bench)
