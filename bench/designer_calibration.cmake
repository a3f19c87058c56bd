# A print under a printer's calibration against the same print without one.
add_executable(bench_designer_calibration designer_calibration/bench_designer_calibration.cpp)
target_link_libraries(bench_designer_calibration PRIVATE sleevedesigner sleevetestsupport sleeve_warnings)
