// The binding loop: the controls of the table made, connected to their operations and set from
// the document without reacting again.
#include "design.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>
#include <type_traits>
#include <variant>

#include "plaintext.h"
#include "titles.h"

namespace {

// The caption's width where the table gives none.
QRect placeOf(const Design::ControlRow &row, const QWidget *w)
{
    QRect r = row.place;
    if (r.width() <= 0)
        r.setWidth(w->sizeHint().width());
    return r;
}

} // namespace

void Design::createControls()
{
    for (const ControlRow &row : ControlTable()) {
        const QString caption = QString::fromLatin1(row.caption);
        QWidget *w = std::visit(
            [&, this](auto member) -> QWidget * {
                using W = std::remove_pointer_t<std::remove_reference_t<decltype(this->*member)>>;
                W *made = nullptr;
                if constexpr (std::is_same_v<W, QLineEdit>) {
                    made = new QLineEdit(this);
                    made->setMaxLength(LongestText);
                } else if constexpr (std::is_same_v<W, QLabel>) {
                    if (row.text) {
                        made = plaintext::Label(QString(), this);
                        QFont f(QStringLiteral("MS Serif"));
                        f.setPointSizeF(6);
                        made->setFont(f);
                        made->setWordWrap(true);
                        made->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                    } else {
                        made = new QLabel(caption, this);
                    }
                } else {
                    made = new W(caption, this);
                    if constexpr (std::is_same_v<W, QPushButton>)
                        made->setAutoDefault(false);
                }
                this->*member = made;
                return made;
            },
            row.member);
        w->setObjectName(QString::fromLatin1(row.name));
        w->setGeometry(placeOf(row, w));
        controls_.push_back(w);
    }
    // "Save Prompt" is the window's own; the rest show the document.
    Check12->setChecked(true);
}

QWidget *Design::Control(QAnyStringView name) const
{
    const auto &table = ControlTable();
    for (size_t i = 0; i < table.size() && i < controls_.size(); ++i)
        if (QAnyStringView::equal(name, QLatin1String(table[i].name)))
            return controls_[i];
    return nullptr;
}

void Design::connectControls()
{
    const auto &table = ControlTable();
    for (size_t i = 0; i < table.size(); ++i) {
        const ControlRow &row = table[i];
        QWidget *w = controls_[i];
        if (auto *b = qobject_cast<QPushButton *>(w)) {
            connect(b, &QPushButton::clicked, this, [this, &row] { (this->*row.command)(); });
        } else if (auto *box = qobject_cast<QCheckBox *>(w); box && row.setOn) {
            // A step of the history is named after the box's caption, or "Typing".
            connect(box, &QCheckBox::toggled, this, [this, &row, box] {
                NameStep(box->text());
                (doc_.*row.setOn)(box->isChecked());
                Refresh();
                noteChange();
            });
        } else if (auto *field = qobject_cast<QLineEdit *>(w); field && row.setText) {
            connect(field, &QLineEdit::textChanged, this, [this, &row, field] {
                NameStep(QStringLiteral("Typing"));
                (doc_.*row.setText)(field->text());
                Refresh();
                noteChange();
            });
        } else if (auto *option = qobject_cast<QRadioButton *>(w)) {
            // An option reacts when it becomes selected. Clearing one reaches the document only
            // when neither is left selected (a design file may say so); selecting the other
            // clears it first.
            QRadioButton *other = option == Option1 ? Option4 : Option1;
            connect(option, &QRadioButton::toggled, this, [this, &row, option, other](bool on) {
                NameStep(option->text());
                if (on || !other->isChecked()) {
                    (doc_.*row.setOn)(option->isChecked());
                    Refresh();
                }
                noteChange();
            });
        }
    }
}

void Design::showRow(const ControlRow &row, QWidget *control)
{
    const QSignalBlocker quiet(control);
    bool changed = false;
    if (auto *box = qobject_cast<QCheckBox *>(control); box && row.on) {
        if (box->isChecked() != row.on(doc_)) {
            box->setChecked(!box->isChecked());
            changed = true;
        }
    } else if (auto *option = qobject_cast<QRadioButton *>(control); option && row.on) {
        const bool on = row.on(doc_);
        if (option->isChecked() != on) {
            SetValue(option, on);
            changed = true;
        }
    } else if (auto *field = qobject_cast<QLineEdit *>(control); field && row.text) {
        // Only a different text is written: writing the same one would move the cursor of a
        // field being typed in.
        const QString text = row.text(doc_);
        if (field->text() != text) {
            field->setText(text);
            changed = true;
        }
    } else if (auto *label = qobject_cast<QLabel *>(control); label && row.text) {
        const QString text = row.text(doc_);
        if (label->text() != text) {
            label->setText(text);
            changed = true;
        }
    }
    if (row.shownWhen && control->isVisibleTo(this) != row.shownWhen(doc_)) {
        control->setVisible(!control->isVisibleTo(this));
        changed = true;
    }
    controlsRefreshed_ += changed ? 1 : 0;
}

void Design::Refresh()
{
    const auto &table = ControlTable();
    for (size_t i = 0; i < table.size() && i < controls_.size(); ++i)
        showRow(table[i], controls_[i]);
    if (titles_)
        for (int n = 1; n <= CoverDocument::TitleLines; ++n) {
            QLineEdit *field = titles_->Text(n);
            const QString &caption = doc_.titleLine(n).Caption();
            if (field->text() != caption) {
                const QSignalBlocker quiet(field);
                field->setText(caption);
            }
        }
    update();
}

// ---------------------------------------------------------------- titles block

void Design::TitleTyped(int line, const QString &text)
{
    doc_.setTitle(line, text);
    update();
}

// "Enter Title Names": fill the titles window from the document and show it.
void Design::Command14_Click()
{
    const bool fresh = !TitlesLoaded() || !TitlesForm()->isVisible();
    Titles *t = TitlesForm();
    for (int n = 1; n <= CoverDocument::TitleLines; ++n)
        t->Text(n)->setText(doc_.titleLine(n).Caption());
    t->show();
    if (fresh) {
        // Beside the design window where the screen allows, so neither hides the other, and
        // always whole on the screen. Measured once shown; a frame the window manager has not
        // added yet is taken to be as wide as the design window's own.
        const QRect area = screen() ? screen()->availableGeometry() : QRect();
        const QMargins frame(
            geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
            frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
        const QSize outer = t->frameGeometry().size().expandedTo(t->size().grownBy(frame));
        QPoint at(frameGeometry().right() + 8, frameGeometry().top());
        if (area.isValid()) {
            if (at.x() + outer.width() > area.right() + 1)
                at = QPoint(area.right() + 1 - outer.width(), frameGeometry().bottom() + 8);
            at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width())));
            at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height())));
        }
        t->move(at);
    }
    t->raise();
    t->activateWindow();
}

// ---------------------------------------------------------------- copyright notice
