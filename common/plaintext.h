#pragma once

#include <QString>

// Text from a file, a tag or a path is plain text wherever it shows. Labels and message boxes
// take Qt::PlainText; the places that have no text format and guess rich text from the text
// itself (tooltips, "What's This") take the text through ForRichText. Read as markup, an
// <img src="/dev/zero"> in a tag would load that file, and a FIFO would block the program.
namespace plaintext {

// The text as rich text that shows exactly its characters, spaces and line breaks kept.
QString ForRichText(const QString &text);

} // namespace plaintext
