#include "terminal.h"

#include <QtGlobal>

#include <cstdio>

#include "names.h"

namespace terminal {

namespace {
const char *terminalProgram = "sleeve";

void writeTerminal(std::FILE *to, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

void writeLines(std::FILE *to, QStringView text)
{
    if (text.endsWith(u'\n'))
        text.chop(1);
    QByteArray bytes;
    for (const QStringView line : text.split(u'\n'))
        bytes += names::Readable(line).toUtf8() + '\n';
    writeTerminal(to, bytes);
}
} // namespace

void SetProgram(const char *name)
{
    terminalProgram = name;
    // Qt's warnings can quote a path too; their form stays Qt's.
    static const QtMessageHandler qtHandler =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            qtHandler(type, context, names::Readable(message));
        });
}

void Error(QStringView line)
{
    writeTerminal(stderr, QByteArray(terminalProgram) + ": " + names::Readable(line).toUtf8() + '\n');
}

void Out(QStringView line)
{
    writeTerminal(stdout, names::Readable(line).toUtf8() + '\n');
}

void OutLines(QStringView text)
{
    writeLines(stdout, text);
}

void ErrorLines(QStringView text)
{
    writeLines(stderr, text);
}

} // namespace terminal
