# The design file reader and writer: a pure library, no widgets.
# Included by designer/CMakeLists.txt, and by the tests and benchmarks that need it, so it
# guards itself against a second inclusion and names its files from its own folder.
include_guard(GLOBAL)

add_library(sleevedesignfile STATIC
  ${CMAKE_CURRENT_LIST_DIR}/designfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/designfile.h
)
target_include_directories(sleevedesignfile PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sleevedesignfile PUBLIC sleevecommon Qt6::Core PRIVATE sleeve_warnings)
