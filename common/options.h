#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

#include "exitcodes.h"

// The suite's one command-line parser. Each program describes its options in a table; the
// parser turns the arguments into what was asked, and --help is written from the same table, so
// that the help, the manual page (help2man reads --help) and the parser cannot disagree.
namespace options {

struct Option {
    QStringList names;     // one letter for "-h", a word for "--name"; the last is the key
    QString valueName;     // the value's name in --help ("file.pdf"); "" for a switch
    QString help;          // "" keeps the option out of --help
    bool repeated = false; // each value kept; otherwise a second one is a usage error
};

struct Table {
    const char *program = "";                     // --version gives it and the suite's version
    QStringList usage;                            // each usage line after the program's name
    QString description;                          // between the usage lines and the options
    QList<Option> options;                        // -h, --help and -v, --version come first, from the parser
    QList<std::pair<QString, QString>> arguments; // the positional ones: name and help
    QList<exitcodes::Row> exits;
};

// What the command line asked. Values and positional arguments are text that names::Encode
// turns back into the very bytes given.
struct Parsed {
    QStringList given; // the key of each option, as often as it came
    QHash<QString, QStringList> values;
    QStringList positional;
    bool isSet(const QString &key) const { return given.contains(key); }
    QString value(const QString &key) const { return values.value(key).value(0); }
};

// Reads `arguments` (the program's name first) as the table has them: "--name value",
// "--name=value", "-h" and "--" before file names that start with a dash; false with a
// one-line reason for an unknown option, a missing or unexpected value, or a value given twice.
bool Parse(const Table &table, const QStringList &arguments, Parsed *parsed, QString *error);

// --help: the usage lines, the description, the options, the arguments and the exit codes.
QString Help(const Table &table);

// The start of each main: reads argv. --help and --version are printed and give Exit::Ok; an
// argument not understood is said and gives Exit::Usage; nothing when the program goes on.
std::optional<Exit> Read(const Table &table, int argc, const char *const *argv, Parsed *parsed);

// "PROGRAM: why (see PROGRAM --help)" on stderr; gives Exit::Usage.
Exit UsageError(const Table &table, const QString &why);

} // namespace options
