sleeve_add_qtest(test_coverdoc SOURCES coverdoc/test_coverdoc.cpp LIBS sleevecoverdoc)
sleeve_add_qtest(test_label_size SOURCES coverdoc/test_label_size.cpp LIBS sleevecoverdoc)
