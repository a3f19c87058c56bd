# The guide viewer's start-up, against the same empty window as the designer's.
add_executable(bench_guide_startup launcher/bench_guide_startup.cpp)
target_link_libraries(bench_guide_startup PRIVATE Qt6::Core)
add_dependencies(bench_guide_startup bench_minimal_window sleeveguide)
