#include "recent_designs.h"

#include <QFileInfo>
#include <QSettings>

namespace recentdesigns {

namespace {

const QString Key = QStringLiteral("RecentDesigns");

// Named explicitly: the program's names are not set in every process that edits designs.
QSettings settings()
{
    return QSettings(QStringLiteral("Sleeve"), QStringLiteral("sleevedesk"));
}

} // namespace

QStringList List()
{
    QStringList list = settings().value(Key).toStringList();
    list.removeAll(QString());
    list.removeDuplicates();
    if (list.size() > Kept)
        list.resize(Kept);
    return list;
}

void Add(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = List();
    list.removeAll(absolute);
    list.prepend(absolute);
    if (list.size() > Kept)
        list.resize(Kept);
    settings().setValue(Key, list);
}

} // namespace recentdesigns
