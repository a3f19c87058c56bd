#include "options.h"

#include "names.h"
#include "terminal.h"

namespace options {

namespace {

const QList<Option> &builtIn()
{
    static const QList<Option> rows = {
        {{QStringLiteral("h"), QStringLiteral("help")}, {}, QStringLiteral("Displays this help.")},
        {{QStringLiteral("v"), QStringLiteral("version")},
         {},
         QStringLiteral("Displays version information.")},
    };
    return rows;
}

// Qt's own options, which the application object takes from the same arguments later: passed
// over here, and kept out of --help.
const QList<Option> &qtOwn()
{
    static const QList<Option> rows = [] {
        QList<Option> r;
        for (const char *n : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                              "geometry", "qwindowtitle", "title", "qwindowicon", "icon", "session",
                              "display", "name", "style", "stylesheet", "qmljsdebugger"})
            r.append({{QString::fromLatin1(n)}, QStringLiteral("value"), {}, true});
        for (const char *n : {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"})
            r.append({{QString::fromLatin1(n)}, {}, {}, true});
        return r;
    }();
    return rows;
}

const Option *find(const Table &table, const QString &name)
{
    for (const QList<Option> *rows : {&builtIn(), &table.options, &qtOwn()})
        for (const Option &o : *rows)
            if (o.names.contains(name))
                return &o;
    return nullptr;
}

QString namesText(const Option &o)
{
    QStringList dashed;
    for (const QString &n : o.names)
        dashed << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    QString text = dashed.join(QStringLiteral(", "));
    if (!o.valueName.isEmpty())
        text += QStringLiteral(" <%1>").arg(o.valueName);
    return text;
}

// "  NAME  help", the help wrapped at 79 columns and indented under itself.
QString rows(const QList<std::pair<QString, QString>> &items)
{
    constexpr qsizetype MaxColumn = 32, Width = 79;
    qsizetype column = 0;
    for (const auto &[name, help] : items)
        column = std::max(column, std::min(name.size() + 4, MaxColumn));
    QString text;
    for (const auto &[name, help] : items) {
        QString line = QStringLiteral("  ") + name;
        if (line.size() + 2 > column) {
            text += line + u'\n';
            line.clear();
        }
        for (const QString &word : help.split(u' ', Qt::SkipEmptyParts)) {
            if (line.size() > column && line.size() + 1 + word.size() > Width) {
                text += line + u'\n';
                line.clear();
            }
            line = line.size() < column ? line.leftJustified(column) + word : line + u' ' + word;
        }
        text += line + u'\n';
    }
    return text;
}

} // namespace

bool Parse(const Table &table, const QStringList &arguments, Parsed *parsed, QString *error)
{
    Parsed p;
    bool filesOnly = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (filesOnly || !a.startsWith(u'-') || a == QLatin1String("-")) {
            p.positional << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            filesOnly = true;
            continue;
        }
        const qsizetype dashes = a.startsWith(QLatin1String("--")) ? 2 : 1;
        const qsizetype eq = a.indexOf(u'=');
        const QString name = a.mid(dashes, eq < 0 ? -1 : eq - dashes);
        const Option *o = find(table, name);
        if (!o) {
            *error = QStringLiteral("Unknown option '%1'.").arg(name);
            return false;
        }
        if (const QList<Option> &qt = qtOwn(); o >= qt.constData() && o < qt.constData() + qt.size()) {
            if (!o->valueName.isEmpty() && eq < 0)
                ++i;
            continue;
        }
        const QString key = o->names.constLast();
        p.given << key;
        if (o->valueName.isEmpty()) {
            if (eq >= 0) {
                *error = QStringLiteral("Unexpected value after '%1'.").arg(a.left(eq));
                return false;
            }
            continue;
        }
        if (eq < 0 && i + 1 == arguments.size()) {
            *error = QStringLiteral("Missing value after '%1'.").arg(a);
            return false;
        }
        QStringList &values = p.values[key];
        if (!values.isEmpty() && !o->repeated) {
            *error = QStringLiteral("--%1 is given more than once").arg(key);
            return false;
        }
        values << (eq < 0 ? arguments[++i] : a.mid(eq + 1));
    }
    *parsed = p;
    return true;
}

QString Help(const Table &table)
{
    QString text;
    for (qsizetype i = 0; i < table.usage.size(); ++i)
        text += (i == 0 ? QStringLiteral("Usage: ") : QStringLiteral("  or:  ")) +
                QString::fromUtf8(table.program) +
                (table.usage[i].isEmpty() ? QString() : u' ' + table.usage[i]) + u'\n';
    text += u'\n' + table.description + QStringLiteral("\n\nOptions:\n");
    QList<std::pair<QString, QString>> items;
    for (const QList<Option> *list : {&builtIn(), &table.options})
        for (const Option &o : *list)
            if (!o.help.isEmpty())
                items.append({namesText(o), o.help});
    text += rows(items);
    if (!table.arguments.isEmpty())
        text += QStringLiteral("\nArguments:\n") + rows(table.arguments);
    return text + u'\n' + exitcodes::Table(table.exits);
}

std::optional<Exit> Read(const Table &table, int argc, const char *const *argv, Parsed *parsed)
{
    QString error;
    if (!Parse(table, names::Arguments(argc, argv), parsed, &error))
        return UsageError(table, error);
    if (parsed->isSet(QStringLiteral("help"))) {
        terminal::OutLines(Help(table));
        return Exit::Ok;
    }
    if (parsed->isSet(QStringLiteral("version"))) {
        terminal::Out(QString::fromUtf8(table.program) + QStringLiteral(" " SLEEVE_VERSION));
        return Exit::Ok;
    }
    return std::nullopt;
}

Exit UsageError(const Table &table, const QString &why)
{
    const QString program = QString::fromUtf8(table.program);
    terminal::Error(why + QStringLiteral(" (see %1 --help)").arg(program));
    return Exit::Usage;
}

} // namespace options
