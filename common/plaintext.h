#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <memory>

class QLabel;
class QProgressDialog;
class QWidget;

// Text from a file, a tag or a path is plain text wherever it shows. Read as markup, an
// <img src="/dev/zero"> in a tag or a folder name would load that file, and a FIFO would block
// the program. So the labels, message boxes, questions and progress dialogs that can show such
// text are made here, plain from the start (before any text is set); the places that have no
// text format and guess rich text from the text itself (tooltips, "What's This") take the text
// through ForRichText.
namespace plaintext {

// The text as rich text that shows exactly its characters, spaces and line breaks kept.
QString ForRichText(const QString &text);

// A label that shows its text as it is.
QLabel *Label(const QString &text, QWidget *parent);

// A message box whose text shows as it is; not shown yet.
QMessageBox *Message(QMessageBox::Icon icon, const QString &title, const QString &text,
                     QMessageBox::StandardButtons buttons, QWidget *parent);

// Asks a question with these buttons, the first the default and the last the escape (with one
// button, a message); the button chosen, "" when the box was closed. With `checked`, a check box
// captioned `check` sits under the text and `*checked` gets its state.
QString Ask(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
            const QString &check = {}, bool *checked = nullptr);

// Asks a yes-or-no question, "No" the default; true for yes.
bool AskYesNo(QWidget *parent, const QString &title, const QString &text);

// A progress dialog whose label shows its text as it is.
std::unique_ptr<QProgressDialog> Progress(const QString &label, const QString &cancel, int minimum,
                                          int maximum, QWidget *parent);

} // namespace plaintext
