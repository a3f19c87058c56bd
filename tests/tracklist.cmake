# Track lists: the readers and the cover formatting (no widgets), and the fuzz corpus of the CUE,
# playlist and text readers replayed through the fuzz target's checks.

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

# The design window's own ways in (its menu, Ctrl+I, drops on the cover) and the command line.
sleeve_add_qtest(test_trackimport_cover SOURCES tracklist/test_trackimport_cover.cpp tracklist/fixtures.h
  LIBS sleevedesigner PkgConfig::SLEEVE_TAGLIB)
sleeve_add_qtest(test_trackimport_cli SOURCES tracklist/test_trackimport_cli.cpp tracklist/fixtures.h
  LIBS sleevedesigner sleevetestsupport PkgConfig::SLEEVE_TAGLIB)
target_compile_definitions(test_trackimport_cli PRIVATE SLEEVEDESK="$<TARGET_FILE:sleevedesk>")
add_dependencies(test_trackimport_cli sleevedesk)

# The real program under Xvfb and openbox: a folder imported through the titles window's menu,
# printed through the CUPS "PDF" queue.
add_test(NAME trackimport_e2e
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/trackimport_e2e.sh $<TARGET_FILE:sleevedesk>)
set_tests_properties(trackimport_e2e PROPERTIES
  SKIP_RETURN_CODE 77
  TIMEOUT 180
  RESOURCE_LOCK sleeve_e2e_cups
  ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")

# Hostile audio files (sparse, made at run time) read only as far as their headers allow, and
# the names and encodings of CUE sheets and playlists.
sleeve_add_qtest(test_tracklist_bounds SOURCES tracklist/test_tracklist_bounds.cpp tracklist/fixtures.h
  LIBS sleevetracklist PkgConfig::SLEEVE_TAGLIB PkgConfig::SLEEVE_ZLIB)

# The audio files of the tag fuzz target's corpus (one small real file of each format read) and
# the crafted inputs, replayed through its checks.
add_executable(tag_corpus_replay
  ${PROJECT_SOURCE_DIR}/fuzz/tag_fuzzer.cpp
  designfile/replay_main.cpp)
target_link_libraries(tag_corpus_replay PRIVATE sleevetracklist sleeve_warnings)
add_test(NAME tag_corpus_replay
  COMMAND tag_corpus_replay ${PROJECT_SOURCE_DIR}/fuzz/tag-corpus ${PROJECT_SOURCE_DIR}/fuzz/tag-regressions)
set_tests_properties(tag_corpus_replay PROPERTIES TIMEOUT 120)
target_compile_definitions(test_tracklist_bounds PRIVATE TAG_CORPUS="${PROJECT_SOURCE_DIR}/fuzz/tag-corpus")
