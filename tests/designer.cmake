sleeve_add_qtest(test_design SOURCES designer/test_design.cpp LIBS sleevedesigner)
sleeve_add_qtest(test_titles SOURCES designer/test_titles.cpp LIBS sleevedesigner)
sleeve_add_qtest(test_design_files SOURCES designer/test_design_files.cpp LIBS sleevedesigner)
