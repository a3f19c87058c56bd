# Track lists from audio files (TagLib), CUE sheets, playlists, text lists and audio CDs
# (libcdio): a pure library, no widgets. Included by designer/CMakeLists.txt and by the tests and
# benchmarks that need it, so it guards itself against a second inclusion.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/../designer/designfile.cmake)

find_package(PkgConfig REQUIRED)
pkg_check_modules(SLEEVE_TAGLIB REQUIRED IMPORTED_TARGET GLOBAL taglib)
pkg_check_modules(SLEEVE_LIBCDIO REQUIRED IMPORTED_TARGET GLOBAL libcdio)

add_library(sleevetracklist STATIC
  ${CMAKE_CURRENT_LIST_DIR}/track.h
  ${CMAKE_CURRENT_LIST_DIR}/text.cpp ${CMAKE_CURRENT_LIST_DIR}/text.h
  ${CMAKE_CURRENT_LIST_DIR}/audio.cpp ${CMAKE_CURRENT_LIST_DIR}/audio.h
  ${CMAKE_CURRENT_LIST_DIR}/cue.cpp ${CMAKE_CURRENT_LIST_DIR}/cue.h
  ${CMAKE_CURRENT_LIST_DIR}/playlist.cpp ${CMAKE_CURRENT_LIST_DIR}/playlist.h
  ${CMAKE_CURRENT_LIST_DIR}/textlist.cpp ${CMAKE_CURRENT_LIST_DIR}/textlist.h
  ${CMAKE_CURRENT_LIST_DIR}/cd.cpp ${CMAKE_CURRENT_LIST_DIR}/cd.h
  ${CMAKE_CURRENT_LIST_DIR}/source.cpp ${CMAKE_CURRENT_LIST_DIR}/source.h
  ${CMAKE_CURRENT_LIST_DIR}/coverformat.cpp ${CMAKE_CURRENT_LIST_DIR}/coverformat.h
)
target_include_directories(sleevetracklist PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sleevetracklist
  PUBLIC Qt6::Core
  PRIVATE sleevedesignfile PkgConfig::SLEEVE_TAGLIB PkgConfig::SLEEVE_LIBCDIO sleeve_warnings)
