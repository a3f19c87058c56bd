#include "secondary_windows.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "colors.h"
#include "design.h"
#include "plaintext.h"

namespace {

QLabel *redMessage(QWidget *parent, const QString &text, double points, bool bold, QRect geometry)
{
    auto *l = plaintext::Label(text, parent);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(points);
    f.setBold(bold);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::red);
    l->setPalette(pal);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setGeometry(geometry);
    return l;
}

} // namespace

// ---------------------------------------------------------------- Save

Save::Save(Design *design) : QWidget(design, Qt::Window), design_(design)
{
    setObjectName(QStringLiteral("Save"));
    setWindowTitle(QStringLiteral("Save It...?"));
    setFixedSize(309, 127);
    colors::FillBackground(this, colors::White);
    setMouseTracking(true);
    Label1 = redMessage(this, QString(), 13.5, false, QRect(8, 4, 293, 78));
    AskBefore(false);
    Label1->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont bf(QStringLiteral("MS Sans Serif"));
    bf.setPointSizeF(12);
    bf.setBold(true);
    Command1 = new QPushButton(QStringLiteral("Yes"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setFont(bf);
    Command1->setGeometry(48, 88, 89, 29);
    Command2 = new QPushButton(QStringLiteral("No"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setFont(bf);
    Command2->setGeometry(172, 88, 89, 29);
    connect(Command1, &QPushButton::clicked, this, &Save::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Save::Command2_Click);
}

void Save::mouseMoveEvent(QMouseEvent *)
{
    setWindowTitle(QStringLiteral("Save It...?"));
}

void Save::AskBefore(bool closing)
{
    Label1->setText(
        closing ? QStringLiteral("Did you want to save your current work before closing the designer...?")
                : QStringLiteral("Did you want to save your current work before opening or starting a "
                                 "new project...?"));
}

// "Yes": saves, and once the design is safely written goes on with what raised the prompt.
// A cancelled or failed save leaves everything as it was.
void Save::Command1_Click()
{
    hide();
    if (design_->SaveDesign())
        design_->ContinuePendingAction();
}

// "No": goes on without saving. (The close box answers nothing.)
void Save::Command2_Click()
{
    hide();
    design_->ContinuePendingAction();
}

// ---------------------------------------------------------------- Wait

Wait::Wait()
{
    setObjectName(QStringLiteral("Wait"));
    setWindowTitle(QStringLiteral("Opening File"));
    setFixedSize(181, 37);
    Label1 = redMessage(this, QStringLiteral("Wait...."), 18, true, QRect(8, 2, 165, 33));
}

// ---------------------------------------------------------------- Error

Error::Error()
{
    setObjectName(QStringLiteral("Error"));
    setWindowTitle(QStringLiteral("File Import Error"));
    setFixedSize(292, 112);
    colors::FillBackground(this, colors::White);
    Label1 = redMessage(this,
                        QStringLiteral("File Load Error!  More than likely an image file is no "
                                       "longer located in the directory specified by the "
                                       "Quirewell file..."),
                        12, true, QRect(8, 8, 276, 96));
}

// ---------------------------------------------------------------- Pixclear

Pixclear::Pixclear(Design *design) : QWidget(design, Qt::Window), design_(design)
{
    setObjectName(QStringLiteral("Pixclear"));
    setWindowTitle(QStringLiteral("Remove Current Images?"));
    setFixedSize(312, 184);
    colors::FillBackground(this, colors::White);
    Label1 = redMessage(this,
                        QStringLiteral("To remove an image put a check mark in one or more boxes.  "
                                       "Press OK.  If you want to keep the image, leave the boxes "
                                       "UNCHECKED and press OK. "),
                        8.25, false, QRect(8, 8, 289, 49));
    auto box = [this](const char *name, const char *caption, int y) {
        auto *c = new QCheckBox(QString::fromLatin1(caption), this);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(80, y, 200, 17);
        return c;
    };
    Check1 = box("Check1", "Clear or Remove MainPicture", 60);
    Check2 = box("Check2", "Clear or Remove Logo 1", 88);
    Check3 = box("Check3", "Clear or Remove Logo 2", 112);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(128, 144, 57, 25);
    connect(Command1, &QPushButton::clicked, this, &Pixclear::Command1_Click);
}

bool Pixclear::event(QEvent *event)
{
    // Every time the window comes up or becomes active, the boxes start unchecked.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        Form_Activate();
    return QWidget::event(event);
}

void Pixclear::Form_Activate()
{
    Check1->setChecked(false);
    Check2->setChecked(false);
    Check3->setChecked(false);
}

void Pixclear::Command1_Click()
{
    if (Check1->isChecked()) {
        design_->ClearPicture(CoverDocument::Slot::Main);
    }
    if (Check2->isChecked()) {
        design_->ClearPicture(CoverDocument::Slot::Logo1);
    }
    if (Check3->isChecked()) {
        design_->ClearPicture(CoverDocument::Slot::Logo2);
    }
    hide();
}
