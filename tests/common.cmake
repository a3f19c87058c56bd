sleeve_add_qtest(test_textnumber SOURCES common/test_textnumber.cpp LIBS sleevecommon)
sleeve_add_qtest(test_pageexport SOURCES common/test_pageexport.cpp LIBS sleevecommon)
sleeve_add_qtest(test_headless SOURCES common/test_headless.cpp LIBS sleevecommon)
# The one command-line parser of the three programs.
sleeve_add_qtest(test_options SOURCES common/test_options.cpp LIBS sleevegui)
sleeve_add_qtest(test_empty_titles SOURCES common/test_empty_titles.cpp LIBS sleevedesigner sleeveindexcore)
add_test(NAME titles_e2e
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/titles_e2e.sh $<TARGET_FILE:test_empty_titles> $<TARGET_FILE:sleevedesk>)
add_test(NAME titles_e2e_1024 # the titles window on a smaller screen
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/titles_e2e.sh $<TARGET_FILE:test_empty_titles> $<TARGET_FILE:sleevedesk> 1024x768)
set_tests_properties(titles_e2e titles_e2e_1024 PROPERTIES
  SKIP_RETURN_CODE 77
  TIMEOUT 120
  RESOURCE_LOCK sleeve_e2e_cups
  ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")
sleeve_add_qtest(test_safewrite SOURCES common/test_safewrite.cpp LIBS sleevecommon)

# Text from files, tags and paths shown as plain text in the three programs; names that are not
# UTF-8 and control characters, from the command line to open() and to the terminal.
sleeve_add_qtest(test_plaintext SOURCES common/test_plaintext.cpp
  LIBS sleevedesigner sleeveindexcore sleevegate_core)
sleeve_add_qtest(test_names SOURCES common/test_names.cpp tracklist/fixtures.h
  LIBS sleevedesigner sleevetestsupport PkgConfig::SLEEVE_TAGLIB)
target_compile_definitions(test_names PRIVATE SLEEVEDESK="$<TARGET_FILE:sleevedesk>"
                                              SLEEVEINDEX="$<TARGET_FILE:sleeveindex>")
add_dependencies(test_names sleevedesk sleeveindex)

# Printer calibration: the correction's arithmetic and bounds, and a real print through a CUPS
# queue of the check's own.
sleeve_add_qtest(test_calibration SOURCES common/test_calibration.cpp LIBS sleevecommon)
add_test(NAME calibration_e2e
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/calibration_e2e.sh $<TARGET_FILE:sleevedesk>)
set_tests_properties(calibration_e2e PROPERTIES
  SKIP_RETURN_CODE 77
  TIMEOUT 180
  RESOURCE_LOCK sleeve_e2e_cups
  ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")

# The exit codes each program's --help lists are the README's.
sleeve_add_qtest(test_exitcodes SOURCES common/test_exitcodes.cpp)
target_compile_definitions(test_exitcodes PRIVATE SLEEVEDESK="$<TARGET_FILE:sleevedesk>"
  SLEEVEINDEX="$<TARGET_FILE:sleeveindex>" SLEEVEGATE="$<TARGET_FILE:sleevegate>"
  SLEEVE_README="${PROJECT_SOURCE_DIR}/README.md")
add_dependencies(test_exitcodes sleevedesk sleeveindex sleevegate)
