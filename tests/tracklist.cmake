# Track lists: the readers and the cover formatting (no widgets), and the fuzz corpus of the CUE,
# playlist and text readers replayed through the fuzz target's checks.
include(${PROJECT_SOURCE_DIR}/tracklist/tracklist.cmake)

sleeve_add_qtest(test_tracklist SOURCES tracklist/test_tracklist.cpp tracklist/fixtures.h
  LIBS sleevetracklist PkgConfig::SLEEVE_TAGLIB)

add_executable(tracklist_corpus_replay
  ${PROJECT_SOURCE_DIR}/fuzz/tracklist_fuzzer.cpp
  designfile/replay_main.cpp)
target_link_libraries(tracklist_corpus_replay PRIVATE sleevetracklist sleeve_warnings)
add_test(NAME tracklist_corpus_replay
  COMMAND tracklist_corpus_replay ${PROJECT_SOURCE_DIR}/fuzz/tracklist-corpus
          ${PROJECT_SOURCE_DIR}/fuzz/tracklist-regressions)
set_tests_properties(tracklist_corpus_replay PROPERTIES TIMEOUT 120)

# The preview dialog, the import into a design and the titles window's ways in.
sleeve_add_qtest(test_trackimport SOURCES tracklist/test_trackimport.cpp tracklist/fixtures.h
  LIBS sleevedesigner PkgConfig::SLEEVE_TAGLIB)
