#include "fs_paths.h"

#include <QList>

#include <cerrno>
#include <vector>

#include <unistd.h>

namespace fsl {

QByteArray CurrentFolder()
{
    std::vector<char> buf(4096);
    for (;;) {
        if (::getcwd(buf.data(), buf.size()))
            return QByteArray(buf.data());
        if (errno != ERANGE || buf.size() > (1u << 20))
            return QByteArrayLiteral("/");
        buf.resize(buf.size() * 2);
    }
}

QByteArray CleanPath(const QByteArray &path)
{
    QByteArray full = path;
    if (!full.startsWith('/'))
        full = CurrentFolder() + '/' + full;
    std::vector<QByteArray> parts;
    for (const QByteArray &part : full.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    QByteArray out;
    for (const QByteArray &part : parts) {
        out += '/';
        out += part;
    }
    return out.isEmpty() ? QByteArrayLiteral("/") : out;
}

QByteArray JoinPath(const QByteArray &dir, const QByteArray &name)
{
    if (dir.endsWith('/'))
        return dir + name;
    return dir + '/' + name;
}

bool IsUnder(const QByteArray &path, const QByteArray &root)
{
    if (root == "/")
        return path.startsWith('/');
    return path == root || (path.startsWith(root) && path.at(root.size()) == '/');
}

} // namespace fsl
