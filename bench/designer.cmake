add_executable(bench_minimal_window designer/minimal_window.cpp)
target_link_libraries(bench_minimal_window PRIVATE Qt6::Widgets)

add_executable(bench_designer_startup designer/bench_startup.cpp)
target_link_libraries(bench_designer_startup PRIVATE Qt6::Core)
add_dependencies(bench_designer_startup bench_minimal_window sleevedesk)

add_executable(bench_designer designer/bench_designer.cpp)
target_link_libraries(bench_designer PRIVATE sleevedesigner sleevetestsupport Qt6::Test)

# A picture box of the largest size the fields allow, against the usual one.
add_executable(bench_picture_box designer/bench_picture_box.cpp)
target_link_libraries(bench_picture_box PRIVATE sleevedesigner sleevetestsupport Qt6::Test sleeve_warnings)

# A keystroke in a title with 99 titles fitted on the cover, against the 20 title lines.
add_executable(bench_titles_list designer/bench_titles_list.cpp)
target_link_libraries(bench_titles_list PRIVATE sleevedesigner sleevetestsupport Qt6::Test sleeve_warnings)
