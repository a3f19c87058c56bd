sleeve_add_qtest(test_textnumber SOURCES common/test_textnumber.cpp LIBS sleevecommon)
