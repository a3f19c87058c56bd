# Exporting a full cover against printing it, and the headless command line
# against the export inside a running program.
add_executable(bench_designer_export designer_export/bench_designer_export.cpp)
target_link_libraries(bench_designer_export PRIVATE sleevedesigner sleevetestsupport sleeve_warnings)
add_dependencies(bench_designer_export sleevedesk)
# The floor under an export as a process: Qt writing one line of text to a PDF.
add_executable(bench_pdf_floor designer_export/pdf_floor.cpp)
target_link_libraries(bench_pdf_floor PRIVATE sleevegui Qt6::Gui)
add_dependencies(bench_designer_export bench_pdf_floor)
