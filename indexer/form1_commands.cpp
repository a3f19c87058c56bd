// Form1: what comes in beside the fixed window: its context menu and
// shortcuts, flowing columns, choosing a folder, and saying why a folder
// cannot be read.
#include "form1.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHash>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QSettings>

#include <algorithm>

#include "names.h"
#include "pageprint.h"
#include "plaintext.h"

namespace {

constexpr const char *KeepFlowingKey = "flow/keep";

} // namespace

Form1::Platform Form1::withDefaults(Platform p)
{
    if (!p.printPage)
        p.printPage = [](QPrinter &printer, const QString &docName, const PaintFn &paint, QString *why) {
            return pageprint::PrintPage(printer, docName, paint, why);
        };
    if (!p.chooseFolder)
        p.chooseFolder = [](QWidget *parent, const QString &start) {
            return QFileDialog::getExistingDirectory(parent, QStringLiteral("Choose Folder"), start);
        };
    if (!p.chooseSaveFile)
        p.chooseSaveFile = [](QWidget *parent, const QString &caption, const QString &suggested,
                              const QString &filter) {
            return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
        };
    // A window given its own questions answers these with them, the box left as it was.
    if (!p.askChecked)
        p.askChecked = p.ask ? decltype(p.askChecked)(
                                   [ask = p.ask](QWidget *parent, const QString &title, const QString &text,
                                                 const QStringList &buttons, const QString &,
                                                 bool *) { return ask(parent, title, text, buttons); })
                             : decltype(p.askChecked)(plaintext::Ask);
    if (!p.ask)
        p.ask = [](QWidget *parent, const QString &title, const QString &text, const QStringList &buttons) {
            return plaintext::Ask(parent, title, text, buttons);
        };
    if (!p.preview)
        p.preview = [](QWidget *parent, QPrinter &printer, const std::function<void(QPrinter &)> &paint) {
            QPrintPreviewDialog dialog(&printer, parent);
            QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                             [&paint](QPrinter *target) { paint(*target); });
            dialog.exec();
        };
    return p;
}

void Form1::buildCommands()
{
    keepFlowing_ =
        QSettings(QString::fromLatin1(SettingsOrganization), QString::fromLatin1(SettingsApplication))
            .value(QLatin1String(KeepFlowingKey), false)
            .toBool();
    auto command = [this](const QString &text, const QKeySequence &key) {
        auto *a = new QAction(text, this);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a); // the shortcut works whether or not the menu is open
        return a;
    };
    FlowAction = command(QStringLiteral("Flow columns"), QKeySequence(Qt::CTRL | Qt::Key_L));
    KeepFlowingAction = command(QStringLiteral("Keep columns flowing"), {});
    KeepFlowingAction->setCheckable(true);
    KeepFlowingAction->setChecked(keepFlowing_);
    ChooseFolderAction = command(QStringLiteral("Choose Folder…"), QKeySequence(Qt::CTRL | Qt::Key_O));
    PrintAction = command(QStringLiteral("Print"), QKeySequence(Qt::CTRL | Qt::Key_P));
    PreviewAction = command(QStringLiteral("Print Preview…"), {});
    ExportPdfAction = command(QStringLiteral("Export PDF…"), QKeySequence(Qt::CTRL | Qt::Key_E));
    ExportPngAction = command(QStringLiteral("Export PNG…"), {});
    CatalogAction = command(QStringLiteral("Catalog…"), QKeySequence(Qt::CTRL | Qt::Key_K));
    CloseAction = command(QStringLiteral("Close"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(FlowAction, &QAction::triggered, this, &Form1::FlowColumns);
    connect(KeepFlowingAction, &QAction::toggled, this, [this](bool on) { SetKeepFlowing(on); });
    connect(ChooseFolderAction, &QAction::triggered, this, &Form1::ChooseFolder);
    connect(PrintAction, &QAction::triggered, this, &Form1::Command1_Click);
    connect(PreviewAction, &QAction::triggered, this, &Form1::PrintPreview);
    connect(ExportPdfAction, &QAction::triggered, this, &Form1::ExportPdf_Click);
    connect(ExportPngAction, &QAction::triggered, this, &Form1::ExportPng_Click);
    connect(CatalogAction, &QAction::triggered, this, &Form1::Catalog_Click);
    connect(CloseAction, &QAction::triggered, this, &QWidget::close);
}

QMenu *Form1::ContextMenu()
{
    if (!menu_) {
        menu_ = new QMenu(this);
        menu_->addActions({FlowAction, KeepFlowingAction});
        menu_->addSeparator();
        menu_->addAction(ChooseFolderAction);
        menu_->addSeparator();
        menu_->addActions({PrintAction, PreviewAction, ExportPdfAction, ExportPngAction});
        menu_->addSeparator();
        menu_->addAction(CatalogAction);
        menu_->addSeparator();
        menu_->addAction(CloseAction);
    }
    return menu_;
}

void Form1::contextMenuEvent(QContextMenuEvent *event)
{
    ContextMenu()->popup(event->globalPos());
    event->accept();
}

QList<fsl::FileListBox *> Form1::FlowOrder() const
{
    QList<fsl::FileListBox *> order;
    const auto all = lists();
    for (const int i : Page().FlowOrder())
        order << static_cast<fsl::FileListBox *>(all[static_cast<size_t>(i)]);
    return order;
}

void Form1::FlowColumns()
{
    IndexPage page = Page();
    notShown_ = page.Flow();
    const auto all = lists();
    for (const int i : page.FlowOrder())
        static_cast<fsl::FileListBox *>(all[static_cast<size_t>(i)])->ShowFromRow(page.list(i).topRow);
    if (notShown_ > 0) {
        int files = 0;
        for (const int i : page.FlowOrder())
            files = page.list(i).listing ? static_cast<int>(page.list(i).listing->files.size()) : 0;
        setWindowTitle(QStringLiteral("%1 of %2 files do not fit the columns and are not shown.")
                           .arg(notShown_)
                           .arg(files));
        flowTitleShown_ = true;
    } else if (flowTitleShown_) {
        Form_MouseMove(); // the credit line again
        flowTitleShown_ = false;
    }
}

void Form1::SetKeepFlowing(bool on, bool remember)
{
    if (on == keepFlowing_ && KeepFlowingAction->isChecked() == on)
        return;
    keepFlowing_ = on;
    KeepFlowingAction->setChecked(on); // toggles back here, and returns above
    if (remember)
        QSettings(QString::fromLatin1(SettingsOrganization), QString::fromLatin1(SettingsApplication))
            .setValue(QLatin1String(KeepFlowingKey), on);
    if (on)
        FlowColumns();
}

void Form1::ChooseFolder()
{
    const QString chosen = platform_.chooseFolder(this, names::Decode(Dir1->NativePath()));
    if (chosen.isEmpty())
        return;
    int error = 0;
    const QByteArray folder = names::Encode(chosen);
    if (!OpenFolder(folder, &error))
        ShowFolderError(fsl::CleanPath(folder), error);
}

bool Form1::OpenFolder(const QByteArray &path, int *error, bool everyList)
{
    const QByteArray folder = fsl::CleanPath(path);
    fsl::ListingCache::Batch batch; // the check's read is the one the lists then show
    const fsl::ListingPtr listing = fsl::ListingCache::Get(folder);
    if (!listing->ok) {
        if (error)
            *error = listing->error;
        return false;
    }
    Drive1->ReloadDrives(); // it may lie on a disc put in since
    const QByteArray drive = fsl::Volumes::RootOf(folder);
    Drive1->ShowDrive(drive);
    Dir1->SetNativePath(folder, drive);
    if (everyList) {
        for (fsl::FileListBox *f : {File2, File3, File4, File5, File6})
            f->SetNativePath(folder);
        for (fsl::FolderListBox *d : {Dir2, Dir3, Dir4, Dir5, Dir6})
            d->SetNativePath(folder, drive);
        if (keepFlowing_)
            FlowColumns();
    }
    return true;
}

Form1::LeftOut Form1::NotShownOnPage() const
{
    return Page().NotShown();
}

IndexPage Form1::Page() const
{
    IndexPage page;
    page.SetLayout(std::max(1, SelectedLayout()));
    const auto all = lists();
    for (int i = 0; i < IndexPage::Lists; ++i) {
        QWidget *w = all[static_cast<size_t>(i)];
        if (IndexPage::IsFolderList(i)) {
            const auto *d = static_cast<const fsl::FolderListBox *>(w);
            page.SetList(i, d->NativePath(), d->Listing(), d->Root());
            page.SetScroll(i, d->verticalScrollBar()->value());
        } else {
            const auto *f = static_cast<const fsl::FileListBox *>(w);
            page.SetList(i, f->NativePath(), f->Listing());
            page.SetScroll(i, f->TopRow(), f->BlankRows());
        }
        page.SetGeometry(i, w->geometry());
        page.SetShown(i, !w->isHidden());
    }
    page.Line1 = Line1;
    page.Line2 = Line2;
    page.Line3 = Line3;
    return page;
}

void Form1::ShowCurrentFolders()
{
    for (fsl::FolderListBox *d : {Dir1, Dir2, Dir3, Dir4, Dir5, Dir6})
        d->ShowCurrentFolder();
}

namespace {
QPointer<QMessageBox> g_folderError;
} // namespace

QMessageBox &Form1::FolderError()
{
    if (!g_folderError) {
        g_folderError = plaintext::Message(QMessageBox::Warning, QStringLiteral("Folder cannot be read"),
                                           QString(), QMessageBox::Ok, nullptr);
        g_folderError->setWindowModality(Qt::NonModal);
        g_folderError->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    return *g_folderError;
}

void Form1::ShowFolderError(const QByteArray &path, int error)
{
    QMessageBox &box = FolderError();
    box.setText(QStringLiteral("The folder \"%1\" cannot be read: %2.")
                    .arg(fsl::ReadablePath(path), qt_error_string(error)));
    box.show();
    box.raise();
    box.activateWindow();
}
