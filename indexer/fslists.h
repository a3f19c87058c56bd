#pragma once

// The index maker's own drive, folder and file lists and what they stand on.
// Paths are kept as the file system's bytes so that names which are not
// valid UTF-8 can still be opened; what a person sees is a readable form of them.
#include "fs_listboxes.h" // the three list widgets
#include "fs_listing.h"   // folder listings, read once per change
#include "fs_models.h"    // what the lists show, and a folder row's look
#include "fs_names.h"     // readable names
#include "fs_paths.h"     // path clean-up
#include "fs_sort.h"      // natural order
#include "fs_volumes.h"   // the mounted volumes
