# Reading tags from a folder of MP3 files against TagLib's own FileRef loop over the same files.

add_executable(bench_tracklist tracklist/bench_tracklist.cpp)
target_include_directories(bench_tracklist PRIVATE ${PROJECT_SOURCE_DIR}/tests/tracklist)
target_link_libraries(bench_tracklist PRIVATE sleevetracklist PkgConfig::SLEEVE_TAGLIB sleeve_warnings)

# Hostile files (a huge title frame, a GiB of zeros, a CUE sheet in a crowded folder): peak memory
# and processor time against TagLib's own FileRef and against one folder listing.
add_executable(bench_tracklist_bounds tracklist/bench_tracklist_bounds.cpp)
target_include_directories(bench_tracklist_bounds PRIVATE ${PROJECT_SOURCE_DIR}/tests/tracklist)
target_link_libraries(bench_tracklist_bounds PRIVATE sleevetracklist PkgConfig::SLEEVE_TAGLIB sleeve_warnings)
