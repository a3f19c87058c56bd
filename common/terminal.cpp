#include "terminal.h"

#include <cstdio>

#include "names.h"

namespace terminal {

namespace {
const char *program = "sleeve";

void write(std::FILE *to, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}
} // namespace

void SetProgram(const char *name)
{
    program = name;
}

void Error(QStringView line)
{
    write(stderr, QByteArray(program) + ": " + names::Readable(line).toUtf8() + '\n');
}

void Out(QStringView line)
{
    write(stdout, names::Readable(line).toUtf8() + '\n');
}

} // namespace terminal
