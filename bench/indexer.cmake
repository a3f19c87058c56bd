# The index maker's lists: filling, linked opening and layout switching.
add_executable(bench_indexer indexer/bench_indexer.cpp)
target_link_libraries(bench_indexer PRIVATE sleeveindexcore sleevecommon sleeve_warnings)

# The catalog of a big tree against find over the same tree.
add_executable(bench_catalog indexer/bench_catalog.cpp)
target_link_libraries(bench_catalog PRIVATE Qt6::Core sleeve_warnings)
target_compile_definitions(bench_catalog PRIVATE SLEEVEINDEX="$<TARGET_FILE:sleeveindex>")
add_dependencies(bench_catalog sleeveindex)
