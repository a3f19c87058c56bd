#include "plaintext.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyle>

namespace plaintext {

QString ForRichText(const QString &text)
{
    if (text.isEmpty())
        return text; // an empty tooltip is no tooltip
    // The tag makes Qt take it as rich text (so that the escapes are read), whatever follows.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

QLabel *Label(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QMessageBox *Message(QMessageBox::Icon icon, const QString &title, const QString &text,
                     QMessageBox::StandardButtons buttons, QWidget *parent)
{
    // Made without the text: the constructor would lay it out as rich text.
    auto *box = new QMessageBox(icon, title, QString(), buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    return box;
}

QString Ask(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
            const QString &check, bool *checked)
{
    const std::unique_ptr<QMessageBox> box(
        Message(QMessageBox::Question, title, text, QMessageBox::NoButton, parent));
    QCheckBox *checkBox = nullptr;
    if (checked) { // under the text, the buttons as they were
        checkBox = new QCheckBox(check, box.get());
        checkBox->setChecked(*checked);
        box->setCheckBox(checkBox);
    }
    QList<QAbstractButton *> made;
    for (const QString &b : buttons)
        made << box->addButton(b, made.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    if (!made.isEmpty()) {
        box->setDefaultButton(static_cast<QPushButton *>(made.first()));
        box->setEscapeButton(made.last()); // "Cancel" comes last
    }
    box->exec();
    if (checkBox)
        *checked = checkBox->isChecked();
    const qsizetype at = made.indexOf(box->clickedButton());
    return at < 0 ? QString() : buttons.at(at);
}

bool AskYesNo(QWidget *parent, const QString &title, const QString &text)
{
    const std::unique_ptr<QMessageBox> box(
        Message(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent));
    box->setDefaultButton(QMessageBox::No);
    return box->exec() == QMessageBox::Yes;
}

std::unique_ptr<QProgressDialog> Progress(const QString &label, const QString &cancel, int minimum,
                                          int maximum, QWidget *parent)
{
    auto dialog = std::make_unique<QProgressDialog>(QString(), cancel, minimum, maximum, parent);
    // Qt's own label guesses the format: ours, aligned as the style aligns Qt's.
    QLabel *plain = Label(label, nullptr);
    plain->setAlignment(Qt::Alignment(
        dialog->style()->styleHint(QStyle::SH_ProgressDialog_TextLabelAlignment, nullptr, dialog.get())));
    dialog->setLabel(plain);
    return dialog;
}

} // namespace plaintext
