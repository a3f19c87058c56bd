#include "programs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace programs {

QString ExecutableName(const QString &fileName)
{
#ifdef Q_OS_WIN
    return fileName;
#else
    static const QString windowsSuffix = QStringLiteral(".exe");
    if (fileName.size() > windowsSuffix.size() && fileName.endsWith(windowsSuffix, Qt::CaseInsensitive))
        return fileName.chopped(windowsSuffix.size());
    return fileName;
#endif
}

Resolution Resolve(const QString &fileName, const QString &folder)
{
    const QString name = ExecutableName(fileName);
    // A bare name only: the buttons name programs, never paths.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name == QLatin1String(".") || name == QLatin1String(".."))
        return {Problem::NotFound, {}};

    if (!folder.isEmpty()) {
        const QFileInfo beside(QDir(folder).filePath(name));
        if (beside.isSymLink() && !beside.exists())
            return {Problem::BrokenLink, beside.absoluteFilePath()};
        if (beside.exists())
            return {beside.isFile() && beside.isExecutable() ? Problem::None : Problem::NotExecutable,
                    beside.absoluteFilePath()};
    }

    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return {Problem::None, QFileInfo(onPath).absoluteFilePath()};
    return {Problem::NotFound, {}};
}

QString Explain(const QString &fileName, const Resolution &found, const QString &folder)
{
    const QString name = ExecutableName(fileName);
    const QString path = QDir::toNativeSeparators(found.path);
    switch (found.problem) {
    case Problem::None: return QStringLiteral("%1 is %2.").arg(name, path);
    case Problem::NotExecutable:
        if (QFileInfo(found.path).isDir())
            return QStringLiteral("Cannot start %1: %2 is a folder, not a program.").arg(name, path);
        return QStringLiteral("Cannot start %1: %2 is not executable.").arg(name, path);
    case Problem::BrokenLink:
        return QStringLiteral("Cannot start %1: %2 is a link to %3, which does not exist.")
            .arg(name, path, QDir::toNativeSeparators(QFileInfo(found.path).symLinkTarget()));
    case Problem::NotFound: break;
    }
    return QStringLiteral("Cannot start %1: the program was not found in %2 nor on the search path.")
        .arg(name,
             QDir::toNativeSeparators(folder.isEmpty() ? QStringLiteral("the launcher's folder") : folder));
}

bool StartDetached(const QString &path, QString *why)
{
    QProcess process;
    process.setProgram(path);
    process.setArguments({});
    if (process.startDetached())
        return true;
    if (why) {
        // "execv: Exec format error" -> "Exec format error"
        QString reason = process.errorString();
        const auto colon = reason.indexOf(QLatin1String(": "));
        if (reason.startsWith(QLatin1String("exec")) && colon > 0)
            reason = reason.mid(colon + 2);
        *why = reason;
    }
    return false;
}

QString OwnFolder()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace programs
