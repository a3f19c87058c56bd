# Reading tags from a folder of MP3 files against TagLib's own FileRef loop over the same files.

add_executable(bench_tracklist tracklist/bench_tracklist.cpp)
target_include_directories(bench_tracklist PRIVATE ${PROJECT_SOURCE_DIR}/tests/tracklist)
target_link_libraries(bench_tracklist PRIVATE sleevetracklist PkgConfig::SLEEVE_TAGLIB sleeve_warnings)
