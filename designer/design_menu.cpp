// Keyboard shortcuts and the cover's context menu: they run the same handlers
// as the window's buttons.
#include "design.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QUndoStack>

#include "calibrationdialog.h"
#include "caseprint.h"
#include "plaintext.h"
#include "recent_designs.h"
#include "stockdialog.h"

namespace {

QAction *windowAction(Design *d, const char *name, const QString &text, const QList<QKeySequence> &keys)
{
    auto *a = new QAction(text, d);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    d->addAction(a);
    return a;
}

} // namespace

void Design::installShortcutsAndDrops()
{
    // Qt's standard keys. A text field that uses a key itself (Ctrl+Z, Ctrl+A,
    // the clipboard) keeps it: it claims the key before a shortcut sees it.
    connect(
        windowAction(this, "NewAction", QStringLiteral("New"), QKeySequence::keyBindings(QKeySequence::New)),
        &QAction::triggered, this, [this] { Command4_Click(); });
    connect(windowAction(this, "OpenAction", QStringLiteral("Open"),
                         QKeySequence::keyBindings(QKeySequence::Open)),
            &QAction::triggered, this, [this] {
                pendingOpenPath_.clear();
                Command1_Click();
            });
    connect(windowAction(this, "SaveAction", QStringLiteral("Save"),
                         QKeySequence::keyBindings(QKeySequence::Save)),
            &QAction::triggered, this, [this] { SaveDesign(false); });
    connect(windowAction(this, "PrintAction", QStringLiteral("Print"),
                         QKeySequence::keyBindings(QKeySequence::Print)),
            &QAction::triggered, this, [this] { Command7_Click(); });
    // Closing goes through the window's own closing, save question and all.
    // Ctrl+Q and Ctrl+W whatever the platform's scheme, and its own keys too.
    QList<QKeySequence> closeKeys = {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::CTRL | Qt::Key_W)};
    for (const auto standard : {QKeySequence::Quit, QKeySequence::Close})
        for (const QKeySequence &k : QKeySequence::keyBindings(standard))
            if (!closeKeys.contains(k))
                closeKeys << k;
    connect(windowAction(this, "CloseAction", QStringLiteral("Close"), closeKeys), &QAction::triggered, this,
            [this] { close(); });
    // Ctrl+Z in a text field is the field's own undo of its typing; everywhere
    // else, and in the cover's menu, it undoes the last change of the design.
    QList<QKeySequence> redoKeys = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    for (const QKeySequence &k : QKeySequence::keyBindings(QKeySequence::Redo))
        if (!redoKeys.contains(k))
            redoKeys << k;
    QAction *undo = windowAction(this, "UndoAction", QStringLiteral("Undo"),
                                 QKeySequence::keyBindings(QKeySequence::Undo));
    connect(undo, &QAction::triggered, this, [this] { Undo(); });
    QAction *redo = windowAction(this, "RedoAction", QStringLiteral("Redo"), redoKeys);
    connect(redo, &QAction::triggered, this, [this] { Redo(); });
    connect(windowAction(this, "ExportPdfAction", QStringLiteral("Export PDF\u2026"),
                         {QKeySequence(Qt::CTRL | Qt::Key_E)}),
            &QAction::triggered, this, [this] { ExportPdf(); });
    // Queued: the menu that offers it has closed before the chooser opens.
    connect(
        windowAction(this, "ImportTracksAction", QStringLiteral("Import Track List\u2026"),
                     {QKeySequence(Qt::CTRL | Qt::Key_I)}),
        &QAction::triggered, this, [this] { ChooseAndImportTracks(this); }, Qt::QueuedConnection);
    // Ctrl+I is the import's (whose list is this editor too).
    connect(
        windowAction(this, "AllTitlesAction", QStringLiteral("All Titles\u2026"),
                     {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I)}),
        &QAction::triggered, this, [this] { EditAllTitles(this); }, Qt::QueuedConnection);

    // A press on Open starts afresh: a design dropped earlier, whose save
    // question was left unanswered, is forgotten.
    connect(Command1, &QPushButton::pressed, this, [this] { pendingOpenPath_.clear(); });

    setAcceptDrops(true);
    // A design file dropped on a text field opens like one dropped elsewhere.
    for (QLineEdit *field : findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly))
        field->installEventFilter(this);
}

QRectF Design::PanelRect() const
{
    return Shape1->rect();
}

// ---------------------------------------------------------------- the menu

QMenu *Design::CoverMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("CoverMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // A change not yet a step becomes one, so that Undo offers it.
    FlushUndo();
    // The menu's own entries: the window's shortcuts stay enabled whatever the menu shows.
    const auto entry = [&](const QString &text, const char *name, bool enabled, void (Design::*run)()) {
        QAction *a = menu->addAction(text, this, run);
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(enabled);
        a->setShortcutContext(Qt::WidgetShortcut);
        if (auto *w = findChild<QAction *>(QString::fromLatin1(name) + QStringLiteral("Action"),
                                           Qt::FindDirectChildrenOnly))
            a->setShortcut(w->shortcut());
    };
    // Named after the step: "Undo Show Titles", "Redo Typing".
    const auto named = [](const QString &verb, const QString &step) {
        QString text = step.isEmpty() ? verb : verb + u' ' + step;
        return text.replace(u'&', QStringLiteral("&&"));
    };
    entry(named(QStringLiteral("Undo"), undo_->undoText()), "Undo", undo_->canUndo(), &Design::Undo);
    entry(named(QStringLiteral("Redo"), undo_->redoText()), "Redo", undo_->canRedo(), &Design::Redo);
    menu->addSeparator();
    menu->addAction(findChild<QAction *>(QStringLiteral("ExportPdfAction"), Qt::FindDirectChildrenOnly));
    menu->addAction(QStringLiteral("Export PNG\u2026"), this, [this] { ExportPng(); });
    menu->addAction(QStringLiteral("Print Preview\u2026"), this, [this] { PrintPreview(); });
    menu->addSeparator();
    QMenu *recent = menu->addMenu(QStringLiteral("Open Recent"));
    recent->setObjectName(QStringLiteral("OpenRecentMenu"));
    const QStringList designs = recentdesigns::List();
    for (const QString &path : designs) {
        // The path as it stands: an ampersand is not a mnemonic here.
        QString label = path;
        label.replace(u'&', QStringLiteral("&&"));
        QAction *a = recent->addAction(label, this, [this, path] { OpenPath(path); });
        a->setData(path);
        a->setEnabled(QFileInfo(path).isFile());
    }
    recent->setEnabled(!designs.isEmpty());
    menu->addAction(findChild<QAction *>(QStringLiteral("ImportTracksAction"), Qt::FindDirectChildrenOnly));
    menu->addAction(findChild<QAction *>(QStringLiteral("AllTitlesAction"), Qt::FindDirectChildrenOnly));
    // The other pieces of the case, after what the menu has always held.
    menu->addSeparator();
    const casepages::Output outputs[] = {casepages::Output::Cover, casepages::Output::Tray,
                                         casepages::Output::Disc, casepages::Output::Set};
    QMenu *printAs = menu->addMenu(QStringLiteral("Print As"));
    printAs->setObjectName(QStringLiteral("PrintAsMenu"));
    QMenu *exportAs = menu->addMenu(QStringLiteral("Export As"));
    exportAs->setObjectName(QStringLiteral("ExportAsMenu"));
    for (casepages::Output output : outputs) {
        printAs->addAction(casepages::Caption(output), this, [this, output] { PrintAs(output); });
        exportAs->addAction(casepages::Caption(output) + QStringLiteral("\u2026"), this,
                            [this, output] { ExportAs(output); });
    }
    menu->addAction(QStringLiteral("Spine\u2026"), this, [this] { EditSpine(); })
        ->setObjectName(QStringLiteral("SpineAction"));
    menu->addAction(QStringLiteral("Disc Face\u2026"), this, [this] { EditDisc(); })
        ->setObjectName(QStringLiteral("DiscAction"));
    menu->addSeparator();
    QAction *fit = menu->addAction(QStringLiteral("Fit Box to Picture"), this, [this] { FitBoxToPicture(); });
    fit->setObjectName(QStringLiteral("FitBoxAction"));
    fit->setEnabled(Image1->HasPicture() && !Image1->SourceSize().isEmpty());
    // Printing on the paper at hand.
    menu->addSeparator();
    QAction *marks = menu->addAction(QStringLiteral("Crop Marks"), this,
                                     [](bool checked) { caseprint::SetCropMarksWanted(checked); });
    marks->setObjectName(QStringLiteral("CropMarksAction"));
    marks->setCheckable(true);
    marks->setChecked(caseprint::CropMarksWanted());
    menu->addAction(QStringLiteral("Printer Calibration…"), this,
                    [this] {
                        CalibrationDialog dialog(this, CommonDialog1.PrinterChosen
                                                           ? CommonDialog1.Printer().printerName()
                                                           : QString());
                        dialog.exec();
                    })
        ->setObjectName(QStringLiteral("PrinterCalibrationAction"));
    // Last, so that every older entry keeps its place.
    // Queued: the menu has closed before the dialog opens.
    menu->addAction(
            QStringLiteral("Print On Stock\u2026"), this,
            [this] {
                auto *dialog =
                    new StockDialog(this, doc_, CommonDialog1, coverpage::Title(DesignPath()), DesignPath());
                dialog->setAttribute(Qt::WA_DeleteOnClose);
                dialog->open();
            },
            Qt::QueuedConnection)
        ->setObjectName(QStringLiteral("PrintOnStockAction"));
    return menu;
}

void Design::contextMenuEvent(QContextMenuEvent *event)
{
    // The cover's own menu: on the panel only. The editing controls lie
    // beside and below it, and pass on the events they do not use.
    if (event->reason() != QContextMenuEvent::Mouse || !PanelRect().contains(QPointF(event->pos()))) {
        event->ignore();
        return;
    }
    event->accept();
    CoverMenu()->popup(event->globalPos());
}

// ---------------------------------------------------------------- messages

void Design::ShowNotice(const QString &title, const QString &text)
{
    lastNotice_ = text;
    // One at a time: a second problem replaces the first message's text.
    auto *box = findChild<QMessageBox *>(QStringLiteral("Notice"), Qt::FindDirectChildrenOnly);
    if (!box) {
        box = plaintext::Message(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("Notice"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
    }
    box->setWindowTitle(title);
    box->setText(text);
    box->show();
    box->raise();
}

// ---------------------------------------------------------------- opening a given design

void Design::OpenPath(const QString &path)
{
    // Open's own flow: the save question first, and its "No" comes back to
    // Open, which then takes this path instead of asking for one.
    pendingOpenPath_ = QFileInfo(path).absoluteFilePath();
    Command1_Click();
}

bool Design::OpenPendingPath()
{
    if (pendingOpenPath_.isEmpty())
        return false;
    const QString path = std::exchange(pendingOpenPath_, QString());
    if (OpenDesignFile(path))
        recentdesigns::Add(path);
    return true;
}
