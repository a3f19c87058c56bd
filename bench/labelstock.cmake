# The label stock index: first use, the cache, later uses; hostile template files.
add_executable(bench_labelstock labelstock/bench_labelstock.cpp)
target_link_libraries(bench_labelstock PRIVATE sleevegui sleeve_warnings)
