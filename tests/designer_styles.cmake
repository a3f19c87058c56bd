# Fonts and colours, printing and title-bar help of the cover designer, and
# the end-to-end check of the real program printing through CUPS.
sleeve_add_qtest(test_designer_styles
  SOURCES designer_styles/test_designer_styles.cpp LIBS sleevedesigner sleevetestsupport)
sleeve_add_qtest(test_designer_help
  SOURCES designer_styles/test_designer_help.cpp LIBS sleevedesigner)
sleeve_add_qtest(test_designer_print
  SOURCES designer_styles/test_designer_print.cpp LIBS sleevedesigner sleevetestsupport)

# The real program under Xvfb, printing through the CUPS "PDF" queue.
add_test(NAME designer_e2e
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/designer_e2e.sh $<TARGET_FILE:sleevedesk>)
set_tests_properties(designer_e2e PROPERTIES
  SKIP_RETURN_CODE 77
  TIMEOUT 180
  # One CUPS scheduler serves every end-to-end check: they take turns.
  RESOURCE_LOCK sleeve_e2e_cups
  ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")
