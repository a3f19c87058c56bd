#pragma once

#include <QString>

#include <vector>

#include "fs_listing.h"

namespace fsl {

// Case-insensitive order with digit runs compared as numbers ("file2" < "file10").
int NaturalCompare(const QString &a, const QString &b);
void SortEntries(std::vector<Entry> &entries);

} // namespace fsl
