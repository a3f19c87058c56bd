#include "startup.h"

#include "artwork.h"
#include "colors.h"
#include "plaintext.h"
#include "programs.h"
#include "wrapbutton.h"

#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>

#ifndef SLEEVE_VERSION
#define SLEEVE_VERSION "1.0"
#endif

const QString Startup::Title = QStringLiteral("Quirewell Program Launcher");
const QString Startup::Description =
    QStringLiteral(" Make custom covers for your jewel boxed CDs complete with graphics and text.  Quickly "
                   "index your data CD-R and RW disks showing folders and files.  Print them on plain paper "
                   "or card stock.  Cut to fit and you'll soon know what's on EACH ONE of your CDs!  ");
const QString Startup::ScreenTooNarrow =
    QStringLiteral("Sorry!  You MUST be running in AT LEAST 600 x 800 screen resolution mode to use these "
                   "programs!  Click your right button on the desktop and change SETTINGS to 600 x 800 then "
                   "run this program again!");
const QString Startup::IndexMakerFile = QStringLiteral("sleeveindex.exe");
const QString Startup::DesignerFile = QStringLiteral("sleevedesk.exe");
const QString Startup::InstructionsFile = QStringLiteral("sleeveguide.exe");

namespace {

constexpr qint32 PeachColour = 0x00C0E0FF;
constexpr qint32 RedText = 0x000000FF;
constexpr qint32 BlueText = 0x00FF0000;

QFont Font(const char *face, double points, bool bold = false)
{
    QFont font{QString::fromLatin1(face)};
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Set on each element rather than left to inheritance: a platform theme may
// give a class (check boxes, say) a palette of its own.
void SetPeachBackground(QWidget *widget)
{
    colors::FillBackground(widget, PeachColour);
}

void SetTextColour(QWidget *widget, qint32 colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colors::ToQColor(colour));
    widget->setPalette(palette);
}

// A fixed, word-wrapping label on the window's peach, as the form's labels are.
QLabel *MakeLabel(QWidget *parent, const QRect &geometry, const QString &text)
{
    auto *label = plaintext::Label(QString(), parent);
    label->setGeometry(geometry);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetPeachBackground(label);
    label->setText(text);
    return label;
}

} // namespace

Startup::Startup(Platform platform, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      platform_(std::move(platform))
{
    setObjectName(QStringLiteral("Startup"));
    setWindowTitle(Title);
    setWindowIcon(artwork::WindowIcon(artwork::Program::Launcher));
    setFixedSize(ClientWidth, ClientHeight);
    // The form's own font, which the buttons and the credit line take.
    setFont(Font("MS Sans Serif", 8.25));
    SetPeachBackground(this);

    // Children are created bottom to top: the labels and the banner first,
    // the buttons and the check box over them.
    Label1 = MakeLabel(this, QRect(48, 8, 337, 73), QStringLiteral("CD-R QUIREWELL"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(Font("Braggadocio", 20.25));
    SetTextColour(Label1, RedText);

    // The banner lies over the title, which shows through its clear part.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(48, 8, 342, 65);
    Image1->setPixmap(QPixmap::fromImage(artwork::Banner()));

    Label2 = MakeLabel(this, QRect(16, 80, 401, 89), Description);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(Font("MS Sans Serif", 9.75, true));

    Label3 = MakeLabel(this, QRect(136, 200, 169, 25),
                       QStringLiteral("Version %1").arg(QStringLiteral(SLEEVE_VERSION)));
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setFont(Font("MS Sans Serif", 13.5));
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    SetTextColour(Label3, BlueText);

    Label4 = MakeLabel(this, QRect(24, 280, 385, 33),
                       QStringLiteral("CD-R Quirewell for the Linux desktop, 2026, by the "
                                      "Sleeve team."));
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    Command3 = new WrapButton(QStringLiteral("Open Instructions"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setGeometry(168, 168, 97, 17);

    Command1 = new WrapButton(QStringLiteral("Run CD-R Data Index Quirewell"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(8, 176, 89, 81);

    Command2 = new WrapButton(QStringLiteral("Run CD-R Custom Quirewell"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(336, 176, 89, 81);

    Check1 = new QCheckBox(QStringLiteral("Minimize This Form When Checked"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(152, 256, 145, 17);
    Check1->setFont(Font("MS Serif", 6));
    SetPeachBackground(Check1);
    // Buttons fill with the Button role by default; this one sits on the form.
    Check1->setBackgroundRole(QPalette::Window);
    Check1->setChecked(false);

    connect(Command1, &QPushButton::clicked, this, &Startup::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Startup::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Startup::Command3_Click);

    // The form loads when it is created, before it is first shown.
    Form_Load();
}

int Startup::ScreenWorkAreaWidth()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    // Logical pixels: the unit the windows are laid out in.
    return screen ? screen->availableGeometry().width() : 0;
}

int Startup::WorkAreaWidth() const
{
    return platform_.workAreaWidth ? platform_.workAreaWidth() : ScreenWorkAreaWidth();
}

QString Startup::ProgramFolder() const
{
    return platform_.programFolder.isEmpty() ? programs::OwnFolder() : platform_.programFolder;
}

void Startup::Form_Load()
{
    // The index maker's two-sided page is 800 pixels wide; 750 is the bar.
    const float pixels = static_cast<float>(WorkAreaWidth());
    if (pixels < static_cast<float>(MinimumWorkAreaWidth)) {
        Command1->setEnabled(false);
        Command2->setEnabled(false);
        Label2->setText(ScreenTooNarrow);
    }
}

void Startup::Command1_Click()
{
    StartProgram(IndexMakerFile);
}

void Startup::Command2_Click()
{
    StartProgram(DesignerFile);
}

void Startup::Command3_Click()
{
    StartProgram(InstructionsFile);
}

void Startup::StartProgram(const QString &fileName)
{
    if (Check1->isChecked())
        showMinimized();

    const QString folder = ProgramFolder();
    const programs::Resolution found = programs::Resolve(fileName, folder);
    if (found.problem != programs::Problem::None) {
        ReportStartFailure(programs::Explain(fileName, found, folder));
        return;
    }
    QString why;
    const bool started = platform_.startDetached ? platform_.startDetached(found.path, &why)
                                                 : programs::StartDetached(found.path, &why);
    if (!started)
        ReportStartFailure(
            QStringLiteral("Cannot start %1: %2 could not be run (%3).")
                .arg(programs::ExecutableName(fileName), QDir::toNativeSeparators(found.path), why));
}

void Startup::ReportStartFailure(const QString &text)
{
    // Nothing started, so the launcher comes back to say so and stays usable.
    if (isMinimized())
        showNormal();
    // It names files and folders.
    auto *box = plaintext::Message(QMessageBox::Warning, Title, text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("startFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Window-modal and opened without a local event loop: the handler returns
    // at once and the launcher keeps running.
    box->setWindowModality(Qt::WindowModal);
    box->open();
}
