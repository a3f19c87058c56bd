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
#include "plaintext.h"
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

void Design::createControls()
{
    auto place = [this](QWidget *w, const char *name, int x, int y, int wd, int ht) {
        w->setObjectName(QString::fromLatin1(name));
        if (wd <= 0)
            wd = w->sizeHint().width();
        w->setGeometry(x, y, wd, ht);
        return w;
    };
    auto check = [&](const char *name, const char *caption, int x, int y, int w = 0, int h = 17) {
        auto *c = new QCheckBox(QString::fromLatin1(caption), this);
        place(c, name, x, y, w, h);
        return c;
    };
    auto text = [&](const char *name, int x, int y, int w, int h = 19) {
        auto *t = new QLineEdit(this);
        t->setMaxLength(LongestText);
        place(t, name, x, y, w, h);
        return t;
    };
    auto button = [&](const char *name, const char *caption, int x, int y, int w, int h = 17) {
        auto *b = new QPushButton(QString::fromLatin1(caption), this);
        b->setAutoDefault(false);
        place(b, name, x, y, w, h);
        return b;
    };
    auto label = [&](const char *name, const char *caption, int x, int y, int w = 0, int h = 17) {
        auto *l = new QLabel(QString::fromLatin1(caption), this);
        place(l, name, x, y, w, h);
        return l;
    };
    auto pathLabel = [&](const char *name, int x, int y, int w, int h) {
        // A path from a dialog or a design file.
        auto *l = plaintext::Label(QString(), this);
        place(l, name, x, y, w, h);
        QFont f(QStringLiteral("MS Serif"));
        f.setPointSizeF(6);
        l->setFont(f);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };

    // Top headline
    Command5 = button("Command5", "Top Font", 544, 3, 65);
    Check3 = check("Check3", "Boxed Text", 632, 3);
    Text1 = text("Text1", 528, 24, 217);
    TLUD = label("TLUD", "U - D", 528, 49, 30);
    Text5 = text("Text5", 560, 48, 41);
    TLLR = label("TLLR", "L - R", 608, 49, 30);
    Text6 = text("Text6", 640, 48, 41);
    Check13 = check("Check13", "Center", 688, 52, 62);
    // Rules
    Check1 = check("Check1", "Hide Top Line", 536, 72, 92);
    Check2 = check("Check2", "Hide Bottom Line", 632, 72, 112);
    Command6 = button("Command6", "Line Color", 544, 96, 65);
    LTHICK = label("LTHICK", "Line Thickness", 624, 97, 78);
    Text3 = text("Text3", 704, 96, 25);
    Command3 = button("Command3", "Background color", 544, 120, 105);
    // Pictures
    Command8 = button("Command8", "Picture", 544, 144, 49);
    PIXW = label("PIXW", "W", 604, 145, 11);
    Text7 = text("Text7", 616, 144, 33);
    PIXH = label("PIXH", "H", 660, 145, 11);
    Text8 = text("Text8", 672, 144, 33);
    Command16 = button("Command16", "CLR", 712, 144, 33);
    PIXFLN = pathLabel("PIXFLN", 544, 162, 201, 20);
    Command9 = button("Command9", "Logo 1", 544, 184, 49);
    Label30 = pathLabel("Label30", 600, 182, 145, 27);
    Command12 = button("Command12", "Logo 2", 544, 216, 49);
    LOGO2FLN = pathLabel("LOGO2FLN", 600, 216, 153, 23);
    // Bottom headline
    Command10 = button("Command10", "Bottom Font", 544, 240, 73);
    Check4 = check("Check4", "Boxed Text", 632, 240);
    Text2 = text("Text2", 528, 261, 217);
    BLUD = label("BLUD", "U - D", 528, 286, 30);
    Text4 = text("Text4", 560, 285, 41);
    BLLR = label("BLLR", "L - R", 608, 286, 30);
    Text9 = text("Text9", 640, 285, 41);
    Check14 = check("Check14", "Center", 688, 286, 62);
    // Outer box
    Check5 = check("Check5", "Show Box", 544, 308, 90);
    Label1 = label("Label1", "Thickness", 640, 309, 62);
    Text10 = text("Text10", 704, 308, 25);
    Command13 = button("Command13", "Box Color", 544, 328, 65);
    // Copyright notice
    Check11 = check("Check11", "Copyright Black", 640, 328, 110);
    Check9 = check("Check9", "Post Copyright", 544, 352, 94);
    Check10 = check("Check10", "Add ( P )", 640, 352, 62);
    Text11 = text("Text11", 704, 348, 41);
    Text12 = text("Text12", 528, 368, 217);
    // Titles block
    Check7 = check("Check7", "Show Titles", 528, 388, 96);
    Command14 = button("Command14", "Enter Title Names", 632, 388, 113);
    Check6 = check("Check6", "Lower Small", 528, 405, 90, 16);
    Check8 = check("Check8", "Lower Black", 632, 405, 100, 16);
    Check15 = check("Check15", "Center Lower", 632, 422, 110, 16);
    Command15 = button("Command15", "Titles Font", 544, 432, 73);
    Check12 = check("Check12", "Save Prompt", 656, 440, 97);
    // Command row
    Option1 = new QRadioButton(QStringLiteral("Front Cover"), this);
    place(Option1, "Option1", 64, 464, 89, 17);
    Option4 = new QRadioButton(QStringLiteral("Back Cover"), this);
    place(Option4, "Option4", 168, 464, 89, 17);
    Command11 = button("Command11", "Print Set Up", 304, 464, 73);
    Command7 = button("Command7", "Print", 424, 464, 41);
    Command1 = button("Command1", "Open", 512, 464, 41);
    Command4 = button("Command4", "New", 600, 464, 41);
    Command2 = button("Command2", "Save", 688, 464, 41);

    // "Save Prompt" is the window's own; the rest show the document.
    Check12->setChecked(true);
}

void Design::connectControls()
{
    const std::pair<QCheckBox *, void (Design::*)()> checks[] = {
        {Check1, &Design::Check1_Click},   {Check2, &Design::Check2_Click},
        {Check3, &Design::Check3_Click},   {Check4, &Design::Check4_Click},
        {Check5, &Design::Check5_Click},   {Check6, &Design::Check6_Click},
        {Check7, &Design::Check7_Click},   {Check8, &Design::Check8_Click},
        {Check9, &Design::Check9_Click},   {Check10, &Design::Check10_Click},
        {Check11, &Design::Check11_Click}, {Check13, &Design::Check13_Click},
        {Check14, &Design::Check14_Click}, {Check15, &Design::Check15_Click},
    };
    // A step of the history is named after the box's caption, or "Typing".
    for (const auto &[box, handler] : checks)
        connect(box, &QCheckBox::toggled, this, [this, box = box, h = handler] {
            NameStep(box->text());
            (this->*h)();
            noteChange();
        });

    const std::pair<QLineEdit *, void (Design::*)()> texts[] = {
        {Text1, &Design::Text1_Change},   {Text2, &Design::Text2_Change},   {Text3, &Design::Text3_Change},
        {Text4, &Design::Text4_Change},   {Text5, &Design::Text5_Change},   {Text6, &Design::Text6_Change},
        {Text7, &Design::Text7_Change},   {Text8, &Design::Text8_Change},   {Text9, &Design::Text9_Change},
        {Text10, &Design::Text10_Change}, {Text11, &Design::Text11_Change}, {Text12, &Design::Text12_Change},
    };
    for (const auto &[field, handler] : texts)
        connect(field, &QLineEdit::textChanged, this, [this, h = handler] {
            NameStep(QStringLiteral("Typing"));
            (this->*h)();
            noteChange();
        });

    const std::pair<QPushButton *, void (Design::*)()> buttons[] = {
        {Command1, &Design::Command1_Click},   {Command2, &Design::Command2_Click},
        {Command3, &Design::Command3_Click},   {Command4, &Design::Command4_Click},
        {Command5, &Design::Command5_Click},   {Command6, &Design::Command6_Click},
        {Command7, &Design::Command7_Click},   {Command8, &Design::Command8_Click},
        {Command9, &Design::Command9_Click},   {Command10, &Design::Command10_Click},
        {Command11, &Design::Command11_Click}, {Command12, &Design::Command12_Click},
        {Command13, &Design::Command13_Click}, {Command14, &Design::Command14_Click},
        {Command15, &Design::Command15_Click}, {Command16, &Design::Command16_Click},
    };
    for (const auto &[button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, [this, h = handler] { (this->*h)(); });

    // An option reacts when it becomes selected. Clearing one reaches the document only when
    // neither is left selected (a design file may say so); selecting the other clears it first.
    const std::pair<QRadioButton *, QRadioButton *> options[] = {{Option1, Option4}, {Option4, Option1}};
    for (auto [option, other] : options)
        connect(option, &QRadioButton::toggled, this, [this, option = option, other = other](bool on) {
            NameStep(option->text());
            if (on || !other->isChecked())
                option == Option1 ? Option1_Click() : Option4_Click();
            noteChange();
        });
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
