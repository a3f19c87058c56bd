# The launcher, the guide viewer, and the installed suite.
sleeve_add_qtest(test_launcher SOURCES launcher/test_startup.cpp LIBS sleevegate_core)
sleeve_add_qtest(test_guide SOURCES launcher/test_guide.cpp LIBS sleeveguide_core)
target_compile_definitions(test_guide PRIVATE
  SLEEVE_GUIDE_SOURCE="${PROJECT_SOURCE_DIR}/docs/guide.md"
  SLEEVE_MIME_XML="${PROJECT_SOURCE_DIR}/data/mime/x-quirewell-design.xml")
# A picture built in beside the guide, as the guide's own would be.
set(sleeve_guide_picture ${PROJECT_SOURCE_DIR}/docs/sleevegate-640.png)
set_source_files_properties(${sleeve_guide_picture} PROPERTIES QT_RESOURCE_ALIAS picture.png)
qt_add_resources(test_guide test_guide_picture PREFIX /guide FILES ${sleeve_guide_picture})

# cmake --install into a temporary prefix: the programs, the guide, the
# desktop entries, the icons and the MIME type are there, and the installed
# launcher finds the installed programs beside itself.
add_test(NAME launcher_install
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/launcher/install_check.sh
                 ${CMAKE_BINARY_DIR} ${CMAKE_COMMAND})
# The installed launcher, under Xvfb, started by a click: its buttons start
# the installed programs (skipped when Xvfb or xdotool is missing).
add_test(NAME launcher_e2e
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/launcher/e2e_launcher.sh
                 ${CMAKE_BINARY_DIR} ${CMAKE_COMMAND})
set_tests_properties(launcher_install launcher_e2e PROPERTIES
  # Recovery copies of the programs started stay in the build tree.
  ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime;QT_FONT_DPI=96"
  SKIP_RETURN_CODE 77
  TIMEOUT 300)
