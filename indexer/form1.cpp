// Form1: construction, the layout buttons and the twenty layouts.
#include "form1.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include "colors.h"
#include "form3.h"
#include "form5.h"
#include "layouts.h"
#include "texts.h"
#include "titlehelp.h"

Form1::Form1(Platform platform, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      CommonDialog1(this), platform_(withDefaults(std::move(platform)))
{
    setWindowTitle(QString::fromLatin1(texts::CreditLine));
    setFixedSize(445, 436);
    colors::FillBackground(this, colors::White);
    // The lists and the layout buttons take the window's compact font.
    setFont(IndexPage::ListFont());
    setMouseTracking(true); // the background's title help

    buildControls();
    buildCommands();
    ApplyLayout(1);
    Option1->setChecked(true);
    connectHandlers();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    // Every list starts on the current working folder; no change is raised for it.
    const QByteArray cwd = fsl::CleanPath(fsl::CurrentFolder());
    fsl::ListingCache::Batch batch;
    auto placeList = [&](auto *l, int x, int y, int w, int h, bool white) {
        l->setGeometry(x, y, w, h);
        l->SetNativePath(cwd);
        if (white) {
            QPalette p = l->palette();
            p.setColor(QPalette::Base, Qt::white);
            l->setPalette(p);
        }
        return l;
    };
    auto folderList = [&](int i) {
        const QRect r = IndexPage::HomeGeometry(i);
        return placeList(new fsl::FolderListBox(this), r.x(), r.y(), r.width(), r.height(),
                         IndexPage::White(i));
    };
    auto fileList = [&](int i) {
        const QRect r = IndexPage::HomeGeometry(i);
        return placeList(new fsl::FileListBox(this), r.x(), r.y(), r.width(), r.height(),
                         IndexPage::White(i));
    };
    // Creation order is the stacking order: Dir1 and File3 share the leftmost column.
    Dir1 = folderList(0);
    File1 = fileList(6);
    File2 = fileList(7);
    File3 = fileList(8);
    Dir2 = folderList(1);
    Dir3 = folderList(2);
    Dir4 = folderList(3);
    Dir5 = folderList(4);
    Dir6 = folderList(5);
    File4 = fileList(9);
    File5 = fileList(10);
    File6 = fileList(11);
    for (QWidget *w :
         {static_cast<QWidget *>(File3), static_cast<QWidget *>(Dir2), static_cast<QWidget *>(Dir3),
          static_cast<QWidget *>(Dir4), static_cast<QWidget *>(Dir5), static_cast<QWidget *>(Dir6),
          static_cast<QWidget *>(File4), static_cast<QWidget *>(File5), static_cast<QWidget *>(File6)})
        w->hide();
    const auto all = lists();
    for (size_t i = 0; i < all.size(); ++i)
        all[i]->setObjectName(QString::fromLatin1(IndexPage::Name(static_cast<int>(i))));

    Drive1 = new fsl::DriveListBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(0, 408, 97, 21);

    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(6.75);
    auto button = [&](const char *name, const char *caption, int x, int w, const char *help) {
        auto *b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, 416, w, 17);
        b->setFont(small);
        titlehelp::Attach(b, this, QString::fromLatin1(help));
        return b;
    };
    Command4 = button("Command4", "Refresh", 120, 57, texts::Command4Help);
    Command3 = button("Command3", "Help!", 208, 44, texts::Command3Help);
    Command2 = button("Command2", "Print Set-Up", 280, 76, texts::Command2Help);
    Command1 = button("Command1", "Print", 384, 52, texts::Command1Help);

    for (int n = 1; n <= layouts::Count; ++n) {
        auto *o = new QRadioButton(QString::number(n), this);
        o->setObjectName(QStringLiteral("Option%1").arg(n));
        o->setGeometry(400, 32 + 16 * (n - 1), n < 10 ? 25 : 33, n <= 18 ? 13 : 17);
        titlehelp::Attach(o, this, QString::fromLatin1(layouts::Get(n).title));
        Options[static_cast<size_t>(n)] = o;
    }
    Option1 = Options[1];
    Option2 = Options[2];
    Option3 = Options[3];
    Option4 = Options[4];
    Option5 = Options[5];
    Option6 = Options[6];
    Option7 = Options[7];
    Option8 = Options[8];
    Option9 = Options[9];
    Option10 = Options[10];
    Option11 = Options[11];
    Option12 = Options[12];
    Option13 = Options[13];
    Option14 = Options[14];
    Option15 = Options[15];
    Option16 = Options[16];
    Option17 = Options[17];
    Option18 = Options[18];
    Option19 = Options[19];
    Option20 = Options[20];
}

void Form1::connectHandlers()
{
    for (int n = 1; n <= layouts::Count; ++n)
        connect(Options[static_cast<size_t>(n)], &QRadioButton::toggled, this, [this, n](bool on) {
            if (on)
                Option_Click(n);
        });
    connect(Drive1, &fsl::DriveListBox::Change, this, &Form1::Drive1_Change);
    connect(Drive1, &fsl::DriveListBox::GotFocus, this, &Form1::Drive1_GotFocus);
    connect(Dir1, &fsl::FolderListBox::Change, this, &Form1::Dir1_Change);
    connect(Dir3, &fsl::FolderListBox::Change, this, &Form1::Dir3_Change);
    connect(Dir5, &fsl::FolderListBox::Change, this, &Form1::Dir5_Change);
    for (fsl::FolderListBox *d : {Dir1, Dir2, Dir3, Dir4, Dir5, Dir6})
        connect(d, &fsl::FolderListBox::OpenFailed, this, &Form1::ShowFolderError);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &Form1::focusWindowChanged);
}

std::array<QWidget *, 12> Form1::lists() const
{
    // The order of the layouts table's masks.
    return {Dir1, Dir2, Dir3, Dir4, Dir5, Dir6, File1, File2, File3, File4, File5, File6};
}

void Form1::Option_Click(int n)
{
    ApplyLayout(n);
}

void Form1::ApplyLayout(int n)
{
    const layouts::Layout &l = layouts::Get(n);
    setFixedWidth(layouts::ClientWidth(l));
    Line1.X1 = layouts::LineX1(l);
    if (l.dir1Height > 0)
        Dir1->setGeometry(0, 3, 129, l.dir1Height);
    if (!l.file3.isNull())
        File3->setGeometry(l.file3);
    const auto all = lists();
    for (size_t i = 0; i < all.size(); ++i)
        all[i]->setVisible(l.shown & (1u << i));
    if (keepFlowing_ && isVisible())
        FlowColumns();
}

int Form1::SelectedLayout() const
{
    for (int n = 1; n <= layouts::Count; ++n)
        if (Options[static_cast<size_t>(n)]->isChecked())
            return n;
    return 0;
}

int Form1::OuterWidthTwips() const
{
    return (width() + layouts::FramePixels) * 15;
}

void Form1::focusWindowChanged(QWindow *window)
{
    // The activation step belongs to coming back from the program's own
    // windows (quick help, drive error); not to coming back from another
    // program or from a dialog.
    if (!window)
        return;
    if (window == windowHandle() && previousWindow_) {
        const Form3 *help = quickHelpIfLoaded();
        const Form5 *error = driveErrorIfLoaded();
        if ((help && previousWindow_ == help->windowHandle()) ||
            (error && previousWindow_ == error->windowHandle()))
            Form_Activate();
    }
    previousWindow_ = window;
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    // Moves over a control that ignores them come up here too: only the
    // background itself is the window's.
    if (!childAt(event->position().toPoint()))
        Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void Form1::Form_MouseMove()
{
    setWindowTitle(QString::fromLatin1(texts::CreditLine));
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintMarks(p);
}

void Form1::paintMarks(QPainter &p, bool always) const
{
    PaintPrintMarks(p, Line1, Line2, Line3, always);
}

namespace {
QPointer<Form3> g_quickHelp;
QPointer<Form5> g_driveError;
} // namespace

Form3 &Form1::QuickHelp()
{
    if (!g_quickHelp) {
        g_quickHelp = new Form3;
        g_quickHelp->Form_Load();
    }
    return *g_quickHelp;
}

Form5 &Form1::DriveError()
{
    if (!g_driveError)
        g_driveError = new Form5;
    return *g_driveError;
}

const Form3 *Form1::quickHelpIfLoaded()
{
    return g_quickHelp.data();
}
const Form5 *Form1::driveErrorIfLoaded()
{
    return g_driveError.data();
}
