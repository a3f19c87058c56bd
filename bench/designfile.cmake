# Save and Open of a design file against the 5 ms goal, with plain QFile as the baseline.

add_executable(bench_designfile designfile/bench_designfile.cpp)
target_link_libraries(bench_designfile PRIVATE sleevedesignfile sleeve_warnings)
