#pragma once

#include <QStringList>

// The designs last opened or saved, most recent first, kept between runs.
namespace recentdesigns {

constexpr int Kept = 8;

QStringList List();
// Puts `path` (made absolute) first; an earlier entry for it goes.
void Add(const QString &path);

} // namespace recentdesigns
