#include "exitcodes.h"

namespace exitcodes {

QString Table(const QList<Row> &rows)
{
    QString text = QStringLiteral("Exit codes:\n");
    for (const Row &row : rows)
        text += QStringLiteral("  %1  %2\n").arg(int(row.code)).arg(row.meaning);
    return text;
}

} // namespace exitcodes
