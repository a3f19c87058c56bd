#pragma once

#include <QString>
#include <QStringList>

class QPrinter;

// Which print queue a job goes to. Qt quietly takes the first queue in
// alphabetical order when the user's default does not exist; a cover must go
// where the user chose, or nowhere with a reason.
namespace printqueue {

struct QueueState {
    bool exists = false;
    bool accepting = false; // takes new jobs
    bool stopped = false;   // holds its jobs instead of printing them
};

// What the print system says; the system's own unless tests set another.
class PrintSystem
{
public:
    virtual ~PrintSystem() = default;
    // The user's default queue as the print system names it, even one that
    // does not exist (a PRINTER variable naming a removed queue); "" when none.
    virtual QString defaultQueue() = 0;
    virtual QueueState state(const QString &queue) = 0;
    // The queues a user can choose from, by name.
    virtual QStringList queues() { return {}; }
};

// nullptr restores the system's (CUPS).
void SetPrintSystem(PrintSystem *system);

QStringList Queues();
QString DefaultQueue();

// Points `printer` at the queue the user chose (by the printer dialog or on a
// command line), or at the system's default when `chosen` is "". A file
// target needs no queue. Returns false with a reason that names the queue
// when it does not exist, does not take jobs or is stopped, or when nothing
// was chosen and there is no default; the printer is then left as it was.
bool UseChosenOrDefault(QPrinter &printer, const QString &chosen, QString *error);

} // namespace printqueue
