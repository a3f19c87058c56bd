#include "guideviewer.h"

#include "artwork.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextObjectInterface>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <utility>

namespace {

// Wider pictures are shown smaller, so that each fits the browser as it opens.
constexpr int GuidePictureWidth = 600;

// The size a built-in picture is shown at, from its file's header alone.
QSize GuidePictureSize(const QString &builtIn)
{
    if (builtIn.isEmpty())
        return {};
    const QSize size = QImageReader(builtIn).size();
    if (!size.isValid() || size.width() <= GuidePictureWidth)
        return size;
    return {GuidePictureWidth, qMax(1, size.height() * GuidePictureWidth / size.width())};
}

// A page that reads nothing the text names but the guide's own built-in
// pictures: a path in the text never reaches the file system, where a FIFO
// would block and a device would never end. A built-in picture is asked for
// only when it is painted (GuidePictureHandler), so it is decoded when it
// first scrolls into view.
class GuidePage : public QTextDocument
{
public:
    using QTextDocument::QTextDocument;

    QVariant loadResource(int type, const QUrl &name) override
    {
        if (type == QTextDocument::ImageResource) {
            const QString builtIn = GuideViewer::BuiltInPicture(name);
            if (!builtIn.isEmpty()) {
                QImageReader reader(builtIn);
                reader.setScaledSize(GuidePictureSize(builtIn));
                const QImage image = reader.read();
                if (!image.isNull()) {
                    loaded << name.toString();
                    return image;
                }
            }
        }
        // Not a null answer, so the document does not go and read the file itself.
        return QByteArray();
    }

    QStringList loaded;
};

// Lays a built-in picture out at the size the page gives it (see SetPage)
// and asks the page for it only to paint it. Any other picture takes no room
// (Qt's own handler would read a name the page refuses from the file system).
class GuidePictureHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument *, int, const QTextFormat &format) override
    {
        const QTextImageFormat picture = format.toImageFormat();
        if (!picture.hasProperty(QTextFormat::ImageWidth) || !picture.hasProperty(QTextFormat::ImageHeight))
            return {};
        return {picture.width(), picture.height()};
    }

    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int,
                    const QTextFormat &format) override
    {
        const QVariant image =
            doc->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
        if (!rect.isEmpty() && image.userType() == QMetaType::QImage)
            painter->drawImage(rect, image.value<QImage>());
    }
};

} // namespace

GuideViewer::GuideViewer(Opening opening, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("GuideViewer"));
    setWindowTitle(QStringLiteral("Quirewell Instructions"));
    setWindowIcon(artwork::WindowIcon(artwork::Program::Guide));

    contents_ = new QListWidget;
    contents_->setObjectName(QStringLiteral("contents"));
    browser_ = new QTextBrowser;
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
    if (opening == Opening::Whole) {
        Load(GuideText());
        return;
    }
    rest_ = GuideText();
    SetPage(FirstPage(rest_));
    browser_->viewport()->installEventFilter(this);
}

bool GuideViewer::eventFilter(QObject *watched, QEvent *event)
{
    // The first page is on the screen: the whole guide follows at once.
    if (event->type() == QEvent::Paint && watched == browser_->viewport() && !rest_.isEmpty()) {
        QTimer::singleShot(0, this, [this, text = std::exchange(rest_, QString())] { Load(text); });
    }
    return QMainWindow::eventFilter(watched, event);
}

QString GuideViewer::FirstPage(const QString &markdown)
{
    // Eighty lines of Markdown fill more than a screen; end at a paragraph.
    int lines = 0;
    bool fenced = false;
    for (qsizetype at = 0; at < markdown.size(); ++lines) {
        qsizetype end = markdown.indexOf(QLatin1Char('\n'), at);
        if (end < 0)
            end = markdown.size();
        const QStringView line = QStringView(markdown).mid(at, end - at);
        if (line.startsWith(u"```"))
            fenced = !fenced;
        else if (!fenced && lines >= 80 && line.trimmed().isEmpty())
            return markdown.left(at);
        at = end + 1;
    }
    return markdown;
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

void GuideViewer::SetPage(const QString &markdown)
{
    // Built apart from the browser, which would lay a shown page out anew at
    // each block the Markdown adds.
    auto *doc = new GuidePage(browser_);
    doc->setMarkdown(markdown);

    // Every picture becomes one of ours, a built-in one with its size from its
    // file's header: laying the page out then decodes none of them.
    struct Picture {
        int start, end;
        QTextImageFormat format;
    };
    QList<Picture> pictures;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const QTextFragment part = it.fragment(); part.charFormat().isImageFormat())
                pictures.append(
                    {part.position(), part.position() + part.length(), part.charFormat().toImageFormat()});
    for (Picture &picture : pictures) {
        picture.format.setObjectType(PictureObject);
        if (const QSize size = GuidePictureSize(BuiltInPicture(QUrl(picture.format.name())));
            size.isValid()) {
            picture.format.setWidth(size.width());
            picture.format.setHeight(size.height());
        }
        QTextCursor cursor(doc);
        cursor.setPosition(picture.start);
        cursor.setPosition(picture.end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
    // The layout comes last: it would lay the page out at each block added.
    doc->documentLayout()->registerHandler(PictureObject, new GuidePictureHandler(doc));
    browser_->setDocument(doc); // the page before, a child of the browser, goes
    // A page set while the window shows is otherwise left half laid out.
    doc->documentLayout()->documentSize();
}

int GuideViewer::Load(const QString &markdown)
{
    SetPage(markdown);
    QTextDocument *doc = browser_->document();
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

QStringList GuideViewer::PicturesShown() const
{
    return static_cast<GuidePage *>(browser_->document())->loaded;
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

#include "guideviewer.moc"
