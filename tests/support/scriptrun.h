#pragma once

// Runs one of the programs as a script or a cron job would: no display and no
// platform chosen, so the program has to find its own way without them.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace scriptrun {

struct Result {
    int exitCode = -1; // -1: it crashed, or had not finished after a minute
    QString out, err;
};

inline QProcessEnvironment WithoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return env;
}

inline Result Run(const QString &program, const QStringList &args, const QString &dir = {},
                  const QProcessEnvironment &env = WithoutDisplay())
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!dir.isEmpty())
        p.setWorkingDirectory(dir);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace scriptrun
