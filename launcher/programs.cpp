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

    const QFileInfo beside(QDir(folder).filePath(name));
    if (!folder.isEmpty() && beside.isFile() && beside.isExecutable())
        return {Problem::None, beside.absoluteFilePath()};

    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return {Problem::None, QFileInfo(onPath).absoluteFilePath()};

    // Something by that name beside the launcher that cannot be run says more
    // than "not found".
    if (!folder.isEmpty() && beside.exists())
        return {Problem::NotExecutable, beside.absoluteFilePath()};
    return {Problem::NotFound, {}};
}

QString Explain(const QString &fileName, const Resolution &found, const QString &folder)
{
    const QString name = ExecutableName(fileName);
    switch (found.problem) {
    case Problem::None: return QStringLiteral("%1 is %2.").arg(name, QDir::toNativeSeparators(found.path));
    case Problem::NotExecutable:
        return QStringLiteral("Cannot start %1: %2 is not executable.")
            .arg(name, QDir::toNativeSeparators(found.path));
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
