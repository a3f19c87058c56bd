#include "titles.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>

#include "design.h"
#include "names.h"
#include "source.h"

Titles::Titles(Design *design) : design_(design)
{
    setObjectName(QStringLiteral("Titles"));
    setWindowTitle(QStringLiteral("List of Titles"));
    setFixedSize(486, 339);
    setAttribute(Qt::WA_DeleteOnClose); // the close box ends it; the next use makes it afresh
    setMouseTracking(true);
    setAcceptDrops(true);
    // Ctrl+I here as in the design window, the chooser over this window.
    auto *import = new QAction(this);
    import->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    import->setShortcutContext(Qt::WindowShortcut);
    addAction(import);
    connect(import, &QAction::triggered, this, &Titles::ImportTrackList, Qt::QueuedConnection);
    auto *all = new QAction(this);
    all->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    all->setShortcutContext(Qt::WindowShortcut);
    addAction(all);
    connect(
        all, &QAction::triggered, this, [this] { design_->EditAllTitles(this); }, Qt::QueuedConnection);

    for (int n = 1; n <= 24; ++n) {
        auto *t = new QLineEdit(this);
        t->setMaxLength(Design::LongestText);
        t->setObjectName(QStringLiteral("Text%1").arg(n));
        if (n <= 10)
            t->setGeometry(16, 8 + 24 * (n - 1), 217, 19);
        else if (n <= 20)
            t->setGeometry(256, 8 + 24 * (n - 11), 217, 19);
        else if (n == 21)
            t->setGeometry(16, 248, 457, 19);
        else if (n == 22)
            t->setGeometry(16, 272, 217, 19);
        else if (n == 23)
            t->setGeometry(256, 272, 217, 19);
        else
            t->setGeometry(16, 296, 457, 19);
        fields_[static_cast<size_t>(n - 1)] = t;
        // A drop of files on a field imports them too; text drops stay the field's own.
        t->installEventFilter(this);
        t->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(t, &QLineEdit::customContextMenuRequested, this, [this, t](const QPoint &pos) {
            QMenu *menu = t->createStandardContextMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->addSeparator();
            addImportEntry(menu);
            menu->popup(t->mapToGlobal(pos));
        });
        connect(t, &QLineEdit::textChanged, this, [this, n] { Text_Change(n); });
        if (n <= 23)
            connect(t, &QLineEdit::returnPressed, this, [this, n] { Text_KeyPress(n, 13); });
    }
    Check1 =
        new QCheckBox(QStringLiteral("TAB direction is DOWN unless this box CHECK then it is ACROSS"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    QFont f(QStringLiteral("MS Serif"));
    f.setPointSizeF(6.75);
    Check1->setFont(f);
    Check1->setGeometry(112, 322, 313, 15);
    // In the free corner below the fields, left of the box: nothing else moves.
    AllTitles = new QPushButton(QStringLiteral("All Titles\u2026"), this);
    AllTitles->setObjectName(QStringLiteral("AllTitles"));
    AllTitles->setFont(f);
    AllTitles->setGeometry(16, 320, 88, 17);
    AllTitles->setFocusPolicy(Qt::NoFocus); // the Tab order stays the fields' and the box's
    connect(
        AllTitles, &QPushButton::clicked, this, [this] { design_->EditAllTitles(this); },
        Qt::QueuedConnection);

    // Tab goes down the fields, then to the box, whatever the box says.
    for (int n = 1; n < 24; ++n)
        setTabOrder(Text(n), Text(n + 1));
    setTabOrder(Text(24), Check1);
    design_->InstallTitlesHelp(this);
}

void Titles::Text_Change(int n)
{
    design_->TitleTyped(n, Text(n)->text());
}

int Titles::DownSuccessor(int n)
{
    return n + 1;
}

int Titles::AcrossSuccessor(int n)
{
    if (n <= 10)
        return n + 10;
    if (n <= 19)
        return n - 9;
    return n + 1;
}

void Titles::Text_KeyPress(int n, int keyAscii)
{
    if (keyAscii != 13 || n < 1 || n > 23)
        return;
    if (Check1->isChecked())
        Text(AcrossSuccessor(n))->setFocus(Qt::TabFocusReason);
    if (!Check1->isChecked())
        Text(DownSuccessor(n))->setFocus(Qt::TabFocusReason);
}

void Titles::mouseMoveEvent(QMouseEvent *event)
{
    // Over the window's own background the title returns to its own.
    if (!childAt(event->position().toPoint()))
        setWindowTitle(QStringLiteral("List of Titles"));
}

// ---------------------------------------------------------------- importing a track list

QStringList Titles::ImportablePaths(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    bool any = false;
    for (const QUrl &url : mime->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = names::FromUrl(url);
        paths << path;
        any = any || tracklist::IsImportable(path);
    }
    return any ? paths : QStringList();
}

void Titles::ImportTrackList()
{
    design_->ChooseAndImportTracks(this);
}

void Titles::addImportEntry(QMenu *menu)
{
    QAction *a = menu->addAction(tr("Import Track List\u2026"));
    a->setObjectName(QStringLiteral("ImportTrackList"));
    connect(a, &QAction::triggered, this, &Titles::ImportTrackList, Qt::QueuedConnection);
}

void Titles::contextMenuEvent(QContextMenuEvent *event)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    addImportEntry(menu);
    menu->popup(event->globalPos());
}

void Titles::dragEnterEvent(QDragEnterEvent *event)
{
    if (!ImportablePaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Titles::dragMoveEvent(QDragMoveEvent *event)
{
    if (!ImportablePaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Titles::dropEvent(QDropEvent *event)
{
    const QStringList paths = ImportablePaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has returned: the preview must not keep the dragging program waiting.
    QTimer::singleShot(0, design_, [design = QPointer<Design>(design_), paths] {
        if (design)
            design->ImportTracksFrom(paths);
    });
}

// ---------------------------------------------------------------- placing the window

void Titles::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Until the window manager has framed the window its frame is unknown and
    // a move places the client: the frame is checked where the window lands.
    placing_ = true;
    asked_ = geometry().topLeft();
    if (QWindow *w = windowHandle())
        w->installEventFilter(this); // installed once however often it is shown
}

void Titles::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (!placing_)
        return;
    if (!event->spontaneous())
        asked_ = geometry().topLeft(); // the program's own move
    else
        keepFrameOnScreen(); // where the window manager put it
}

void Titles::keepFrameOnScreen()
{
    const QScreen *s = screen();
    if (!s || !windowHandle() || !windowHandle()->isExposed())
        return; // not framed yet
    const QRect area = s->availableGeometry();
    const QRect frame = frameGeometry();
    if (area.contains(frame)) {
        // Done once the program's own placement has landed: the client stays where it was put.
        placing_ = geometry().topLeft() != asked_;
        return;
    }
    // By the frame, now known. A frame larger than the area keeps its title bar in reach.
    move(std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())),
         std::clamp(frame.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
}

bool Titles::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle() && placing_) {
        if (event->type() == QEvent::Expose)
            keepFrameOnScreen();
        else if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress)
            placing_ = false; // the user has it now
    }
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (ImportablePaths(drop->mimeData()).isEmpty())
            break; // text and other drops stay the field's
        if (event->type() == QEvent::Drop)
            dropEvent(drop);
        else
            drop->acceptProposedAction();
        return true;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}
