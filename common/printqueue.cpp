#include "printqueue.h"

#include <QLibrary>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

namespace printqueue {

namespace {

// libcups is loaded when a print first asks about a queue: linked, its thirty
// libraries would slow every start, the command line's exports included.
struct Cups {
    decltype(&cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&cupsGetDefault) getDefault = nullptr;
    decltype(&cupsGetOption) getOption = nullptr;
    decltype(&cupsFreeDests) freeDests = nullptr;
    bool loaded() const { return getNamedDest && getDefault && getOption && freeDests; }
};

const Cups &cups()
{
    static const Cups c = [] {
        Cups r;
        QLibrary lib(QStringLiteral("cups"), 2); // stays loaded: QLibrary does not unload
        if (!lib.load())
            return r;
        r.getNamedDest = reinterpret_cast<decltype(r.getNamedDest)>(lib.resolve("cupsGetNamedDest"));
        r.getDefault = reinterpret_cast<decltype(r.getDefault)>(lib.resolve("cupsGetDefault"));
        r.getOption = reinterpret_cast<decltype(r.getOption)>(lib.resolve("cupsGetOption"));
        r.freeDests = reinterpret_cast<decltype(r.freeDests)>(lib.resolve("cupsFreeDests"));
        return r;
    }();
    return c;
}

class CupsSystem : public PrintSystem
{
public:
    QString defaultQueue() override
    {
        const Cups &c = cups();
        if (!c.loaded())
            return {};
        // The user's default (LPDEST, PRINTER, lpoptions, the server's), when it exists ...
        if (cups_dest_t *dest = c.getNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr)) {
            QString name = QString::fromLocal8Bit(dest->name);
            if (dest->instance)
                name += u'/' + QString::fromLocal8Bit(dest->instance);
            c.freeDests(1, dest);
            return name;
        }
        // ... else the name it was given, so that the message can say which.
        return QString::fromLocal8Bit(c.getDefault());
    }

    QueueState state(const QString &queue) override
    {
        QueueState s;
        const Cups &c = cups();
        if (!c.loaded())
            return s;
        const qsizetype slash = queue.indexOf(u'/');
        const QByteArray name = queue.left(slash).toLocal8Bit();
        const QByteArray instance = slash < 0 ? QByteArray() : queue.mid(slash + 1).toLocal8Bit();
        cups_dest_t *dest = c.getNamedDest(CUPS_HTTP_DEFAULT, name.constData(),
                                           instance.isEmpty() ? nullptr : instance.constData());
        if (!dest)
            return s;
        s.exists = true;
        const char *accepting = c.getOption("printer-is-accepting-jobs", dest->num_options, dest->options);
        s.accepting = !accepting || qstrcmp(accepting, "false") != 0;
        const char *state = c.getOption("printer-state", dest->num_options, dest->options);
        s.stopped = state && qstrcmp(state, "5") == 0; // IPP_PSTATE_STOPPED
        c.freeDests(1, dest);
        return s;
    }

    QStringList queues() override { return QPrinterInfo::availablePrinterNames(); }
};

PrintSystem *g_system = nullptr;

PrintSystem &printSystem()
{
    static CupsSystem cups;
    return g_system ? *g_system : cups;
}

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

void SetPrintSystem(PrintSystem *system)
{
    g_system = system;
}

QStringList Queues()
{
    return printSystem().queues();
}

QString DefaultQueue()
{
    return printSystem().defaultQueue();
}

bool UseChosenOrDefault(QPrinter &printer, const QString &chosen, QString *error)
{
    if (!printer.outputFileName().isEmpty())
        return true;
    const QString queue = chosen.isEmpty() ? printSystem().defaultQueue() : chosen;
    if (queue.isEmpty())
        return fail(error, QStringLiteral("No printer was chosen and there is no default printer."));
    const QueueState s = printSystem().state(queue);
    if (!s.exists)
        return fail(error, QStringLiteral("The printer \"%1\" does not exist.").arg(queue));
    if (!s.accepting)
        return fail(error, QStringLiteral("The printer \"%1\" is not accepting jobs.").arg(queue));
    if (s.stopped)
        return fail(error, QStringLiteral("The printer \"%1\" is stopped.").arg(queue));
    if (printer.printerName() != queue) {
        printer.setPrinterName(queue);
        // Qt ignores a name it does not know; never print somewhere else.
        if (printer.printerName() != queue)
            return fail(error, QStringLiteral("The printer \"%1\" cannot be used.").arg(queue));
    }
    return true;
}

} // namespace printqueue
