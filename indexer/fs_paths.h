#pragma once

#include <QByteArray>

// Paths kept as the file system's bytes.
namespace fsl {

// Lexical clean-up to an absolute path ("." and ".." resolved, no double or
// trailing slashes); relative paths are taken from the current working folder.
QByteArray CleanPath(const QByteArray &path);
QByteArray JoinPath(const QByteArray &dir, const QByteArray &name);
QByteArray CurrentFolder();
// True when `path` is `root` or lies below it (both clean).
bool IsUnder(const QByteArray &path, const QByteArray &root);

} // namespace fsl
