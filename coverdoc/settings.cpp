// The design's settings after the 75 records: "key=value" lines that a reader of the records
// alone never sees. Each key is written only when its value differs from the default.
#include "coverdocument.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QString SpineText = QStringLiteral("spine.text");
const QString SpineDirection = QStringLiteral("spine.direction");
const QString DiscDiameter = QStringLiteral("disc.diameter");
const QString DiscHole = QStringLiteral("disc.hole");
const QString Title = QStringLiteral("title");

QString setting(const QString &key, const QString &value)
{
    return key + u'=' + value;
}

// Millimetres as written: at most two decimals, a point whatever the locale.
QString millimetres(double value)
{
    return QString::number(std::round(value * 100) / 100, 'g', 6);
}

std::optional<double> millimetres(const QString &text, double low, double high)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || value < low || value > high)
        return std::nullopt;
    return std::round(value * 100) / 100;
}

} // namespace

bool CoverDocument::setSpineText(const QString &text, QString *error)
{
    QString why;
    if (text.size() > MaxTitleLength)
        why = QStringLiteral("The spine text is longer than %1 characters.").arg(MaxTitleLength);
    else if (std::any_of(text.begin(), text.end(),
                         [](QChar c) { return c.category() == QChar::Other_Control; }))
        why = QStringLiteral("The spine text cannot hold tabs, line breaks or other control characters.");
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    caseSet.spineText = text;
    return true;
}

void CoverDocument::setSpineUpward(bool on)
{
    caseSet.spineUpward = on;
}

bool CoverDocument::setDiscSize(double diameter, double hole, QString *error)
{
    QString why;
    if (!(diameter >= MinDiscDiameter && diameter <= MaxDiscDiameter))
        why = QStringLiteral("The disc's diameter must be from %1 to %2 mm.")
                  .arg(MinDiscDiameter)
                  .arg(MaxDiscDiameter);
    else if (!(hole >= MinDiscHole && hole <= MaxDiscHole))
        why =
            QStringLiteral("The hole's diameter must be from %1 to %2 mm.").arg(MinDiscHole).arg(MaxDiscHole);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    caseSet.discDiameter = std::round(diameter * 100) / 100;
    caseSet.discHole = std::round(hole * 100) / 100;
    return true;
}

QStringList CoverDocument::Settings() const
{
    QStringList lines;
    const CaseSet standard;
    if (!caseSet.spineText.isEmpty())
        lines << setting(SpineText, caseSet.spineText);
    if (caseSet.spineUpward != standard.spineUpward)
        lines << setting(SpineDirection, caseSet.spineUpward ? QStringLiteral("up") : QStringLiteral("down"));
    if (caseSet.discDiameter != standard.discDiameter)
        lines << setting(DiscDiameter, millimetres(caseSet.discDiameter));
    if (caseSet.discHole != standard.discHole)
        lines << setting(DiscHole, millimetres(caseSet.discHole));
    for (const QString &title : titles.list)
        lines << setting(Title, ListTitle(title));
    return lines;
}

void CoverDocument::applySettings(const QStringList &lines)
{
    CaseSet set;
    QStringList list;
    for (const QString &l : lines) {
        const qsizetype eq = l.indexOf(u'=');
        if (eq < 1)
            continue;
        const QStringView key = QStringView(l).left(eq);
        const QString value = l.mid(eq + 1);
        if (key == SpineText) {
            if (std::none_of(value.begin(), value.end(),
                             [](QChar c) { return c.category() == QChar::Other_Control; }))
                set.spineText = ListTitle(value);
        } else if (key == SpineDirection) {
            if (value == u"up" || value == u"down")
                set.spineUpward = value == u"up";
        } else if (key == DiscDiameter) {
            set.discDiameter =
                millimetres(value, MinDiscDiameter, MaxDiscDiameter).value_or(set.discDiameter);
        } else if (key == DiscHole) {
            set.discHole = millimetres(value, MinDiscHole, MaxDiscHole).value_or(set.discHole);
        } else if (key == Title) {
            if (list.size() < MaxTitles)
                list << ListTitle(value);
        }
    }
    caseSet = set;
    // The lines hold the list's first 20 (the records of a file written here say the same); a
    // list no longer than the lines is only what they already hold.
    if (list.size() > CoverTitleLines)
        setTitleList(list);
    else
        titles.list.clear();
}
