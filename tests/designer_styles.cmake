# Fonts and colours, printing and title-bar help of the cover designer, and
# the end-to-end check of the real program printing through CUPS.
sleeve_add_qtest(test_designer_styles
  SOURCES designer_styles/test_designer_styles.cpp LIBS sleevedesigner)
sleeve_add_qtest(test_designer_help
  SOURCES designer_styles/test_designer_help.cpp LIBS sleevedesigner)
sleeve_add_qtest(test_designer_print
  SOURCES designer_styles/test_designer_print.cpp LIBS sleevedesigner)
