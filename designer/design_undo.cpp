// Undo and redo of the whole design. A step is the design's records before and after a change,
// taken when the event loop is reached after it; undoing applies the records through the same
// loading path as Open, with pictures taken back from their screen copies.
#include "design.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QUndoStack>

#include "module1.h"

class DesignStep : public QUndoCommand
{
public:
    DesignStep(Design *design, Design::DesignState before, Design::DesignState after, const QLineEdit *typed,
               int run)
        : design_(design), before_(std::move(before)), after_(std::move(after)), typed_(typed), run_(run)
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
        const auto *next = static_cast<const DesignStep *>(other);
        if (next->typed_ != typed_ || next->run_ != run_)
            return false;
        after_ = next->after_;
        // Typed and erased again: nothing left to undo.
        setObsolete(after_ == before_);
        return true;
    }

private:
    Design *design_;
    Design::DesignState before_, after_;
    const QLineEdit *typed_; // compared, never used
    int run_;
    bool done_ = false;
};

namespace {

designfile::Records toRecords(const QStringList &lines)
{
    designfile::Records r;
    for (qsizetype i = 0; i < lines.size() && i < qsizetype(r.size()); ++i)
        r[size_t(i)] = lines[i];
    return r;
}

} // namespace

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
    return {DesignRecords(), document_};
}

void Design::recordStep()
{
    DesignState now = currentState();
    const QLineEdit *typed = std::exchange(typedField_, nullptr);
    if (now == undoBase_)
        return;
    DesignState before = std::exchange(undoBase_, now);
    rememberPictures();
    undo_->push(new DesignStep(this, std::move(before), std::move(now), typed, typingRun_));
}

void Design::startDocument()
{
    documents_.append(Document{});
    document_ = int(documents_.size() - 1);
}

void Design::restoreState(const DesignState &state)
{
    const Document &doc = documents_.at(state.document);
    restoring_ = true;
    ApplyRecords(toRecords(state.records), doc.path);
    document_ = state.document;
    unmodifiedRecords_ = doc.unmodified;
    restoring_ = false;
    // Whatever the loading changed belongs to this step, not to the next.
    undoTimer_->stop();
    typedField_ = nullptr;
    undoBase_ = currentState();
    rememberPictures();
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

// ---------------------------------------------------------------- pictures

void Design::rememberPictures()
{
    for (const CoverImage *image : {Image1, Image2, Image3}) {
        CoverImage::Loaded loaded = image->TakeLoaded();
        if (loaded.path.isEmpty())
            continue;
        const auto same = [&](const CachedPicture &c) {
            return c.image == image && c.loaded.path == loaded.path;
        };
        pictureCache_.removeIf(same);
        pictureCache_.prepend({image, std::move(loaded)});
    }
    while (pictureCache_.size() > CachedPictures)
        pictureCache_.removeLast();
}

bool Design::restorePicture(CoverImage *image, const QString &path)
{
    for (const CachedPicture &c : std::as_const(pictureCache_))
        if (c.image == image && c.loaded.path == path)
            return image->RestoreLoaded(c.loaded);
    return false;
}
