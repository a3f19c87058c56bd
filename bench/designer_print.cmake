# Printing a full cover to a PDF file against rendering it into an image.
add_executable(bench_designer_print designer_print/bench_designer_print.cpp)
target_link_libraries(bench_designer_print PRIVATE sleevedesigner sleevetestsupport sleeve_warnings)
