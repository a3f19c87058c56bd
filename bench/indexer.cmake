# The index maker's lists: filling, linked opening and layout switching.
add_executable(bench_indexer indexer/bench_indexer.cpp)
target_link_libraries(bench_indexer PRIVATE sleeveindexcore sleevecommon sleeve_warnings)
