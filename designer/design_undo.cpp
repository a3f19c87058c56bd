// Undo and redo of the whole design. A step is the document before and after a change, taken
// when the event loop is reached after it; undoing puts the earlier document back whole, the
// headlines' centring included. Pictures come back from their shared screen copies unless their
// file has changed since.
#include "design.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QUndoStack>

class Design::Step : public QUndoCommand
{
public:
    Step(Design *design, DesignState before, DesignState after, const QLineEdit *typed, int run,
         const QString &name)
        : QUndoCommand(name), design_(design), before_(std::move(before)), after_(std::move(after)),
          typed_(typed), run_(run)
    {}

    void undo() override { design_->restoreState(before_); }
    void redo() override
    {
        // Pushed after the change was made: the first redo has nothing to do.
        if (std::exchange(done_, true))
            design_->restoreState(after_);
    }
    // Typing steps of one field merge while the focus stays in it.
    int id() const override { return typed_ ? 1 : -1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const Step *>(other);
        if (next->typed_ != typed_ || next->run_ != run_)
            return false;
        after_ = next->after_;
        // Typed and erased again: nothing left to undo.
        setObsolete(after_ == before_);
        return true;
    }

private:
    Design *design_;
    DesignState before_, after_;
    const QLineEdit *typed_; // compared, never used
    int run_;
    bool done_ = false;
};

void Design::installUndo()
{
    undo_ = new QUndoStack(this);
    undo_->setUndoLimit(UndoLimit);
    undoTimer_ = new QTimer(this);
    undoTimer_->setSingleShot(true);
    undoTimer_->setInterval(0);
    connect(undoTimer_, &QTimer::timeout, this, &Design::recordStep);
    connect(qApp, &QApplication::focusChanged, this, [this] { ++typingRun_; });
    for (QLineEdit *field : findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly))
        watchTyping(field);
}

void Design::watchTyping(QLineEdit *field)
{
    // textEdited comes from the keyboard only, never from setText.
    connect(field, &QLineEdit::textEdited, this, [this, field] { typedField_ = field; });
}

void Design::NameStep(const QString &name)
{
    if (!restoring_)
        stepName_ = name;
}

void Design::noteUndoable()
{
    if (!restoring_ && undoTimer_ && !undoTimer_->isActive())
        undoTimer_->start();
}

void Design::FlushUndo()
{
    if (undoTimer_ && undoTimer_->isActive()) {
        undoTimer_->stop();
        recordStep();
    }
}

Design::DesignState Design::currentState() const
{
    return {std::make_shared<const CoverDocument>(doc_), document_};
}

void Design::recordStep()
{
    DesignState now = currentState();
    const QLineEdit *typed = std::exchange(typedField_, nullptr);
    const QString name = std::exchange(stepName_, QString());
    if (now == undoBase_)
        return;
    DesignState before = std::exchange(undoBase_, now);
    undo_->push(new Step(this, std::move(before), std::move(now), typed, typingRun_,
                         typed ? QStringLiteral("Typing") : name));
}

void Design::startDocument()
{
    documents_.append(DesignFile{});
    document_ = int(documents_.size() - 1);
}

void Design::restoreState(const DesignState &state)
{
    const DesignFile &file = documents_.at(state.document);
    restoring_ = true;
    doc_ = *state.doc;
    // A picture whose file changed since is read again; one that cannot be keeps its copy.
    for (auto slot : {CoverDocument::Slot::Main, CoverDocument::Slot::Logo1, CoverDocument::Slot::Logo2}) {
        CoverImage &image = doc_.picture(slot);
        if (image.FileChanged())
            image.LoadPicture(doc_.picturePath(slot));
    }
    document_ = state.document;
    unmodifiedRecords_ = file.unmodified;
    Refresh();
    restoring_ = false;
    // Whatever the restoring changed belongs to this step, not to the next.
    undoTimer_->stop();
    typedField_ = nullptr;
    stepName_.clear();
    undoBase_ = currentState();
    // The recovery copy follows: written, or removed when back at the saved design.
    noteChange();
}

void Design::Undo()
{
    FlushUndo();
    ++typingRun_;
    undo_->undo();
}

void Design::Redo()
{
    FlushUndo();
    ++typingRun_;
    undo_->redo();
}
