#include "guideviewer.h"

#include "artwork.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QUrl>

namespace {

// A browser that reads nothing the text names but the guide's own built-in
// pictures: a path in the text never reaches the file system, where a FIFO
// would block and a device would never end.
class GuideBrowser : public QTextBrowser
{
public:
    QVariant loadResource(int type, const QUrl &name) override
    {
        if (type == QTextDocument::ImageResource) {
            const QString builtIn = GuideViewer::BuiltInPicture(name);
            QFile file(builtIn);
            if (!builtIn.isEmpty() && file.open(QIODevice::ReadOnly))
                return file.readAll();
        }
        // Not a null answer, so the document does not go and read the file itself.
        return QByteArray();
    }
};

} // namespace

GuideViewer::GuideViewer(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("GuideViewer"));
    setWindowTitle(QStringLiteral("Quirewell Instructions"));
    setWindowIcon(artwork::WindowIcon(artwork::Program::Guide));

    contents_ = new QListWidget;
    contents_->setObjectName(QStringLiteral("contents"));
    browser_ = new GuideBrowser;
    browser_->setObjectName(QStringLiteral("browser"));
    // Links are ours to follow: in-guide anchors here, web addresses outside.
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);

    auto *split = new QSplitter;
    split->addWidget(contents_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 640});
    setCentralWidget(split);

    auto *bar = addToolBar(QStringLiteral("Find"));
    bar->setMovable(false);
    bar->addWidget(new QLabel(QStringLiteral(" Find: ")));
    find_ = new QLineEdit;
    find_->setObjectName(QStringLiteral("find"));
    find_->setClearButtonEnabled(true);
    find_->setMaximumWidth(260);
    bar->addWidget(find_);
    QAction *next = bar->addAction(QStringLiteral("Next"));
    next->setShortcut(QKeySequence::FindNext);
    bar->addSeparator();
    QAction *larger = bar->addAction(QStringLiteral("Larger"));
    larger->setShortcut(QKeySequence::ZoomIn);
    QAction *smaller = bar->addAction(QStringLiteral("Smaller"));
    smaller->setShortcut(QKeySequence::ZoomOut);

    auto *focusFind = new QAction(this);
    focusFind->setShortcut(QKeySequence::Find);
    addAction(focusFind);
    auto *quit = new QAction(this);
    quit->setShortcuts({QKeySequence::Quit, QKeySequence::Close});
    addAction(quit);

    connect(find_, &QLineEdit::returnPressed, this, &GuideViewer::FindNext);
    connect(next, &QAction::triggered, this, &GuideViewer::FindNext);
    connect(larger, &QAction::triggered, browser_, [this] { browser_->zoomIn(1); });
    connect(smaller, &QAction::triggered, browser_, [this] { browser_->zoomOut(1); });
    connect(focusFind, &QAction::triggered, find_, [this] {
        find_->setFocus(Qt::ShortcutFocusReason);
        find_->selectAll();
    });
    connect(quit, &QAction::triggered, this, &QWidget::close);
    connect(browser_, &QTextBrowser::anchorClicked, this, &GuideViewer::FollowLink);
    connect(contents_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < anchors_.size())
            ShowSection(anchors_.at(row));
    });

    resize(880, 640);
    Load(GuideText());
}

QString GuideViewer::GuideText()
{
    QFile file(QStringLiteral(":/guide/guide.md"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString GuideViewer::BuiltInPicture(const QUrl &url)
{
    // A relative name, as the page in docs/ names a picture beside it.
    if (!url.isRelative() || !url.host().isEmpty())
        return {};
    const QString folder = QStringLiteral(":/guide/");
    const QString builtIn = QDir::cleanPath(folder + url.path());
    return builtIn.startsWith(folder) && QFileInfo(builtIn).isFile() ? builtIn : QString();
}

QString GuideViewer::Slug(const QString &heading)
{
    QString slug;
    for (const QChar c : heading.trimmed().toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            slug += c;
        else if (c.isSpace())
            slug += QLatin1Char('-');
    }
    return slug;
}

int GuideViewer::Load(const QString &markdown)
{
    QTextDocument *doc = browser_->document();
    doc->setMarkdown(markdown);
    anchors_.clear();
    contents_->clear();

    // Give every heading its anchor, numbering repeats as GitHub does.
    QHash<QString, int> seen;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level <= 0)
            continue;
        const QString heading = block.text();
        QString anchor = Slug(heading);
        const int repeat = seen.value(anchor, 0);
        seen.insert(anchor, repeat + 1);
        if (repeat > 0)
            anchor += QStringLiteral("-%1").arg(repeat);

        QTextCursor cursor(block);
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorNames({anchor});
        cursor.mergeCharFormat(format);

        anchors_ << anchor;
        auto *item = new QListWidgetItem(QString(2 * (level - 1), QLatin1Char(' ')) + heading);
        if (level == 1) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
        contents_->addItem(item);
    }
    browser_->moveCursor(QTextCursor::Start);
    return static_cast<int>(anchors_.size());
}

bool GuideViewer::ShowSection(const QString &anchor)
{
    if (!anchors_.contains(anchor))
        return false;
    browser_->scrollToAnchor(anchor);
    const auto row = anchors_.indexOf(anchor);
    if (contents_->currentRow() != row)
        contents_->setCurrentRow(static_cast<int>(row));
    return true;
}

bool GuideViewer::FindNext()
{
    const QString text = find_->text();
    if (text.isEmpty())
        return false;
    if (browser_->find(text))
        return true;
    // Go round from the top once.
    const QTextCursor kept = browser_->textCursor();
    browser_->moveCursor(QTextCursor::Start);
    if (browser_->find(text))
        return true;
    browser_->setTextCursor(kept);
    statusBar()->showMessage(QStringLiteral("\"%1\" is not in the guide.").arg(text), 4000);
    return false;
}

bool GuideViewer::FollowLink(const QUrl &url)
{
    if (url.scheme().isEmpty() && url.path().isEmpty() && url.hasFragment())
        return ShowSection(url.fragment());
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("mailto"))
        return QDesktopServices::openUrl(url);
    return false;
}
