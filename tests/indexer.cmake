# The index maker: offscreen QtTests on temporary trees, and the end-to-end
# check of the real program under Xvfb with a CUPS queue that prints to PDF.
sleeve_add_qtest(test_indexer_lists
  SOURCES indexer/test_fslists.cpp indexer/tree.h
  LIBS sleeveindexcore)
sleeve_add_qtest(test_indexer_form
  SOURCES indexer/test_form1.cpp indexer/tree.h
  LIBS sleeveindexcore sleevetestsupport)
sleeve_add_qtest(test_indexer_cli
  SOURCES indexer/test_commandline.cpp indexer/tree.h
  LIBS sleeveindexcore sleevetestsupport)
target_compile_definitions(test_indexer_cli PRIVATE SLEEVEINDEX="$<TARGET_FILE:sleeveindex>")
add_dependencies(test_indexer_cli sleeveindex)

add_test(NAME indexer_e2e
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/indexer_e2e.sh $<TARGET_FILE:sleeveindex>)
set_tests_properties(indexer_e2e PROPERTIES
  SKIP_RETURN_CODE 77
  TIMEOUT 120
  # One CUPS scheduler serves every end-to-end check: they take turns.
  RESOURCE_LOCK sleeve_e2e_cups
  ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")

sleeve_add_qtest(test_indexer_catalog
  SOURCES indexer/test_catalog.cpp indexer/tree.h
  LIBS sleeveindexcore sleevetestsupport)
target_compile_definitions(test_indexer_catalog PRIVATE SLEEVEINDEX="$<TARGET_FILE:sleeveindex>")
add_dependencies(test_indexer_catalog sleeveindex)

sleeve_add_qtest(test_indexer_page
  SOURCES indexer/test_indexpage.cpp indexer/tree.h
  LIBS sleeveindexcore sleevetestsupport)
