sleeve_add_qtest(test_design SOURCES designer/test_design.cpp LIBS sleevedesigner sleevetestsupport)
sleeve_add_qtest(test_titles SOURCES designer/test_titles.cpp LIBS sleevedesigner)
sleeve_add_qtest(test_design_files SOURCES designer/test_design_files.cpp LIBS sleevedesigner sleevetestsupport)
sleeve_add_qtest(test_recovery SOURCES designer/test_recovery.cpp LIBS sleevedesigner sleevetestsupport)
sleeve_add_qtest(test_undo SOURCES designer/test_undo.cpp LIBS sleevedesigner sleevetestsupport)

# The real program under Xvfb, killed with SIGKILL while a headline is unsaved and started
# again: it offers the recovery copy back. It prints the restored cover through CUPS.
add_test(NAME designer_recovery_e2e
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/designer_recovery_e2e.sh $<TARGET_FILE:sleevedesk>)
set_tests_properties(designer_recovery_e2e PROPERTIES
  SKIP_RETURN_CODE 77
  TIMEOUT 180
  RESOURCE_LOCK sleeve_e2e_cups
  ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")
