#pragma once

#include <QString>

// How the launcher turns the file names the suite knows its programs by
// ("sleevedesk.exe") into a file to start, and how it starts one.
namespace programs {

// The executable's name on this platform: the suite's names carry the
// Windows extension, which executables here do not ("sleevedesk.exe" ->
// "sleevedesk"). Any other name is kept as it is.
QString ExecutableName(const QString &fileName);

enum class Problem {
    None,          // `path` is the file to start
    NotFound,      // no such program beside the launcher nor on the search path
    NotExecutable, // `path` names something there that cannot be run
    BrokenLink,    // `path` is a symbolic link to nothing
};

struct Resolution {
    Problem problem = Problem::NotFound;
    QString path; // absolute
};

// Looks for the program first in `folder` (the launcher's own folder: the
// suite is installed in one folder), then on the search path (PATH). Anything
// by that name in `folder` is the suite's own program: when it cannot be run,
// that is the answer, not a same-named program elsewhere. Only bare names are
// accepted; a name with a folder part is not found.
Resolution Resolve(const QString &fileName, const QString &folder);

// One short sentence naming the program and why it cannot be started.
QString Explain(const QString &fileName, const Resolution &found, const QString &folder);

// Starts `path` with no arguments and does not wait for it; the program goes
// on running when the launcher ends. On failure returns false and says why.
bool StartDetached(const QString &path, QString *why);

// The folder the launcher's own executable lies in.
QString OwnFolder();

} // namespace programs
