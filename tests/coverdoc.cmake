sleeve_add_qtest(test_coverdoc SOURCES coverdoc/test_coverdoc.cpp LIBS sleevecoverdoc)
# The tray card, disc face and set, measured on their PDFs (poppler-utils reads the text back).
sleeve_add_qtest(test_casepages SOURCES coverdoc/test_casepages.cpp support/pdfpaths.h LIBS sleevecoverdoc)
target_include_directories(test_casepages PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
sleeve_add_qtest(test_label_size SOURCES coverdoc/test_label_size.cpp LIBS sleevecoverdoc)
