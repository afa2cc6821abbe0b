# Benchmarks: built with the Windows builds, run by hand (never by ctest).
add_executable(qb_bench_bare_host bench/bare_control_host.cpp)
target_compile_options(qb_bench_bare_host PRIVATE ${QB_WARNINGS})
target_compile_definitions(qb_bench_bare_host PRIVATE ${QB_WIN_DEFS})
target_link_libraries(qb_bench_bare_host PRIVATE ole32 oleaut32 uuid user32)
target_link_options(qb_bench_bare_host PRIVATE -municode ${QB_STATIC_LINK})

add_executable(qb_bench_browser bench/browser_view_bench.cpp)
target_compile_options(qb_bench_browser PRIVATE ${QB_WARNINGS})
target_link_libraries(qb_bench_browser PRIVATE qb_win ws2_32)
target_link_options(qb_bench_browser PRIVATE -municode ${QB_STATIC_LINK})
add_dependencies(qb_bench_browser qb_bench_bare_host)

# Login window repaint against one BitBlt of the same size (bench/paint-bench.sh).
add_executable(qb_bench_paint bench/paint_bench.cpp res/QaBrisel.rc)
target_compile_options(qb_bench_paint PRIVATE ${QB_WARNINGS})
target_include_directories(qb_bench_paint PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/res)
target_link_libraries(qb_bench_paint PRIVATE qb_win)
target_link_options(qb_bench_paint PRIVATE -municode ${QB_STATIC_LINK})

# Streamed download of a large body: the download manager against a minimal
# WinINet loop (bench/download-bench.sh runs it).
add_executable(qb_bench_download bench/download_bench.cpp)
target_compile_options(qb_bench_download PRIVATE ${QB_WARNINGS})
target_link_libraries(qb_bench_download PRIVATE qb_win psapi)
target_link_options(qb_bench_download PRIVATE -municode ${QB_STATIC_LINK})
