sleeve_add_qtest(test_coverdoc SOURCES coverdoc/test_coverdoc.cpp LIBS sleevecoverdoc)
