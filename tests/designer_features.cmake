# The designer beyond its window's controls: export and preview, the printer
# lookup, shortcuts, the cover's menu, drag-and-drop, and the command line.
sleeve_add_qtest(test_designer_features
  SOURCES designer_features/test_designer_features.cpp LIBS sleevedesigner sleevetestsupport)
sleeve_add_qtest(test_designer_cli
  SOURCES designer_features/test_designer_cli.cpp LIBS sleevedesigner sleevetestsupport)
target_compile_definitions(test_designer_cli PRIVATE SLEEVEDESK="$<TARGET_FILE:sleevedesk>"
  SLEEVE_VERSION="${PROJECT_VERSION}")
add_dependencies(test_designer_cli sleevedesk)

# The real program and a real CUPS queue: printing from the command line and
# from the window, with a missing, refusing or stopped printer.
add_test(NAME designer_print_e2e
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/designer_print_e2e.sh $<TARGET_FILE:sleevedesk>)
set_tests_properties(designer_print_e2e PROPERTIES
  SKIP_RETURN_CODE 77
  TIMEOUT 180
  RESOURCE_LOCK sleeve_e2e_cups
  ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")
# The same work in-process under a QGuiApplication only: no widget may be made.
sleeve_add_qtest(test_cli_windowless
  SOURCES designer_features/test_cli_windowless.cpp LIBS sleevedesigner)
# The case set's menu entries, dialogs, Print As and the preview's choice.
sleeve_add_qtest(test_designer_caseset
  SOURCES designer_features/test_designer_caseset.cpp LIBS sleevedesigner sleevetestsupport)
# Label stock: the template reader under hostile files, pieces on label sheets, --stock.
sleeve_add_qtest(test_labelstock
  SOURCES designer_features/test_labelstock.cpp LIBS sleevedesigner sleevetestsupport)
target_compile_definitions(test_labelstock PRIVATE SLEEVEDESK="$<TARGET_FILE:sleevedesk>")
add_dependencies(test_labelstock sleevedesk)
