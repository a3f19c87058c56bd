# The design file reader and writer: its QtTest, and the fuzz corpus replayed through the fuzz
# target's checks (the fuzzing itself runs from fuzz/build.sh, not here).

sleeve_add_qtest(test_designfile SOURCES designfile/test_designfile.cpp LIBS sleevedesignfile)
target_compile_definitions(test_designfile PRIVATE
  DESIGNFILE_CORPUS_DIR="${PROJECT_SOURCE_DIR}/fuzz/corpus")

add_executable(designfile_corpus_replay
  ${PROJECT_SOURCE_DIR}/fuzz/designfile_fuzzer.cpp
  designfile/replay_main.cpp)
target_link_libraries(designfile_corpus_replay PRIVATE sleevedesignfile sleeve_warnings)
add_test(NAME designfile_corpus_replay
  COMMAND designfile_corpus_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus ${PROJECT_SOURCE_DIR}/fuzz/regressions)
set_tests_properties(designfile_corpus_replay PROPERTIES TIMEOUT 120)
