# Exporting a full cover against printing it, and the headless command line
# against the export inside a running program.
add_executable(bench_designer_export designer_export/bench_designer_export.cpp)
target_link_libraries(bench_designer_export PRIVATE sleevedesigner sleevetestsupport sleeve_warnings)
add_dependencies(bench_designer_export sleevedesk)
