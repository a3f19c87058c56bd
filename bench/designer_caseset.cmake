# The complete set of a cover with a large photograph against the export of the cover alone.
add_executable(bench_designer_caseset designer_caseset/bench_designer_caseset.cpp)
target_link_libraries(bench_designer_caseset PRIVATE sleevedesigner sleevetestsupport sleeve_warnings)
