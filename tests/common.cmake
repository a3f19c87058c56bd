sleeve_add_qtest(test_textnumber SOURCES common/test_textnumber.cpp LIBS sleevecommon)
sleeve_add_qtest(test_pageexport SOURCES common/test_pageexport.cpp LIBS sleevecommon)
sleeve_add_qtest(test_headless SOURCES common/test_headless.cpp LIBS sleevecommon)
