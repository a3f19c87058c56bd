#pragma once

#include "track.h"

#include <QByteArrayView>

namespace tracklist {

constexpr qsizetype MaxTextListBytes = 1024 * 1024;
constexpr qsizetype MaxTextListLines = 10000;

// One title per line (CP1252 or UTF-8, decided for the whole text); blank lines are skipped.
ReadResult ParseTextList(QByteArrayView bytes, const QString &sourcePath = {});
ReadResult ReadTextList(const QString &path);

} // namespace tracklist
