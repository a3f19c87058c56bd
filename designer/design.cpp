#include "design.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

#include "colors.h"
#include "secondary_windows.h"
#include "textnumber.h"
#include "titles.h"
#include "windowtitle.h"

Design::Design(QWidget *parent)
    : QWidget(parent), CommonDialog1(this),
      doc_(QApplication::font().family(), static_cast<float>(QApplication::font().pointSizeF())),
      backColor_(colors::LightGrey)
{
    setFixedSize(ClientWidth, ClientHeight);
    setMouseTracking(true);
    // A click on the cover or the background takes the keyboard from the text fields, so that
    // Ctrl+Z and Ctrl+Shift+Z reach the design.
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QString());
    windowtitle::KeepEmptyTitle(this); // Qt would show the program's name for an empty title
    bindElements();
    createControls();
    connectControls();
    installHelpTexts();
    installShortcutsAndDrops();
    Form_Load();
    markUnmodified(DesignRecords());
    installUndo();
    undoBase_ = currentState();
}

Design::~Design()
{
    // QWidget's destructor still moves the focus; this is no longer a Design to tell.
    disconnect(qApp, nullptr, this, nullptr);
    doc_.setChangeNotice(nullptr);
    // Top-level secondary windows have no parent; they go with the window.
    delete titles_.data();
    delete save_.data();
    delete wait_.data();
    delete error_.data();
    delete pixclear_.data();
}

void Design::bindElements()
{
    using D = CoverDocument;
    doc_.setChangeNotice([this] {
        update();
        noteChange();
    });
    const auto image = [this](D::Part p) { return &static_cast<CoverImage &>(doc_.part(p)); };
    Shape1 = &doc_.panel();
    Shape2 = &doc_.outerBox();
    Line1 = &doc_.topRule();
    Line2 = &doc_.bottomRule();
    Image1 = image(D::MainPicture);
    Image2 = image(D::Logo1);
    Image3 = image(D::Logo2);
    Image4 = image(D::NoticeSymbol);
    labels_[2] = Label2 = &doc_.topHeadline();
    labels_[3] = Label3 = &doc_.bottomHeadline();
    for (int n = 4; n <= 27; ++n)
        labels_[static_cast<size_t>(n)] = &doc_.titleLine(n - 3);
    labels_[28] = Label28 = &doc_.noticeLeft();
    labels_[29] = Label29 = &doc_.noticeRight();
    CoverLabel **titles[] = {&Label4,  &Label5,  &Label6,  &Label7,  &Label8,  &Label9,  &Label10, &Label11,
                             &Label12, &Label13, &Label14, &Label15, &Label16, &Label17, &Label18, &Label19,
                             &Label20, &Label21, &Label22, &Label23, &Label24, &Label25, &Label26, &Label27};
    for (size_t i = 0; i < std::size(titles); ++i)
        *titles[i] = labels_[i + 4];
}

void Design::Form_Load()
{
    pending_ = Pending::None;
    Refresh();
}

// ---------------------------------------------------------------- values

int Design::Value(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}

void Design::SetValue(QCheckBox *box, int value)
{
    box->setChecked(value != 0);
}

bool Design::Value(const QRadioButton *option)
{
    return option->isChecked();
}

void Design::SetValue(QRadioButton *option, bool value)
{
    if (option->isChecked() == value)
        return;
    if (!value) {
        // An exclusive pair refuses to clear its selected button; the
        // design file may still say that neither is selected.
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
        return;
    }
    option->setChecked(true);
}

void Design::setBackColor(qint32 color)
{
    if (backColor_ == color)
        return;
    backColor_ = color;
    update();
}

CoverLabel *Design::CoverLabelN(int n) const
{
    return n >= 2 && n <= 29 ? labels_[static_cast<size_t>(n)] : nullptr;
}

CoverElement *Design::Element(const QString &name) const
{
    for (CoverElement *e : doc_.PaintingOrder())
        if (e->name() == name)
            return e;
    return nullptr;
}

// ---------------------------------------------------------------- painting

void Design::PaintClientArea(QPainter &p, bool printing) const
{
    p.fillRect(QRectF(0, 0, ClientWidth, ClientHeight), colors::ToQColor(backColor_));
    PaintElements(p, printing);
}

void Design::PaintElements(QPainter &p, bool printing) const
{
    doc_.paint(p, printing);
}

void Design::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    PaintClientArea(p, false);
}

QString Design::CreditLine()
{
    return QStringLiteral("CD-R Custom Quirewell  -  cover designer, 2026, by the Sleeve team");
}

void Design::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF pos = event->position();
    // Moves that a control passes on are not the background's.
    if (childAt(pos.toPoint()))
        return;
    // Topmost first: cover labels and pictures leave the title as it is.
    const auto &order = doc_.PaintingOrder();
    const bool overElement = std::any_of(order.rbegin(), order.rend(), [&pos](const CoverElement *e) {
        return e->Visible() && e->takesPointer() && e->contains(pos);
    });
    if (overElement)
        return;
    if (windowTitle() != CreditLine())
        setWindowTitle(CreditLine());
}

// ---------------------------------------------------------------- closing

void Design::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
    // A clean close: nothing is left to recover.
    if (recovery_)
        recovery_->Remove();
    for (QWidget *w : std::initializer_list<QWidget *>{wait_, titles_, error_, save_, pixclear_})
        if (w)
            w->close();
}

// ---------------------------------------------------------------- secondary windows

Titles *Design::TitlesForm()
{
    if (!titles_) {
        titles_ = new Titles(this);
        for (QLineEdit *field : titles_->findChildren<QLineEdit *>())
            watchTyping(field);
        // Undo and Redo work from the titles window too.
        for (const char *name : {"UndoAction", "RedoAction"})
            if (auto *a = findChild<QAction *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly))
                titles_->addAction(a);
    }
    return titles_;
}

Save *Design::SaveForm()
{
    if (!save_)
        save_ = new Save(this);
    return save_;
}

Wait *Design::WaitForm()
{
    if (!wait_)
        wait_ = new Wait();
    return wait_;
}

Error *Design::ErrorForm()
{
    if (!error_)
        error_ = new Error();
    return error_;
}

Pixclear *Design::PixclearForm()
{
    if (!pixclear_)
        pixclear_ = new Pixclear(this);
    return pixclear_;
}
