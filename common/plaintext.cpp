#include "plaintext.h"

namespace plaintext {

QString ForRichText(const QString &text)
{
    if (text.isEmpty())
        return text; // an empty tooltip is no tooltip
    // The tag makes Qt take it as rich text (so that the escapes are read), whatever follows.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

} // namespace plaintext
