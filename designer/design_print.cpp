// Printing: the window hides its editing controls and the titles window,
// prints its client area as one page and puts everything back.
#include "design.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>

#include "caseprint.h"
#include "colors.h"
#include "coverpage.h"
#include "pageprint.h"
#include "plaintext.h"
#include "printqueue.h"
#include "titles.h"

namespace {

// The 56 editing controls in the order they are hidden and shown again.
std::vector<QWidget *> hideOrder(const Design &d)
{
    return {d.Label1,    d.Check9,    d.Check10,   d.Check11,   d.Check12,   d.Check13,  d.Check14,
            d.Check15,   d.Command16, d.Text11,    d.Text12,    d.Command1,  d.Command2, d.Command3,
            d.Command4,  d.Command5,  d.Command6,  d.Command7,  d.Command8,  d.Command9, d.Command10,
            d.Command11, d.Command12, d.Command13, d.Command14, d.Command15, d.Text1,    d.Text2,
            d.Text3,     d.Text4,     d.Text5,     d.Text6,     d.Text7,     d.Text8,    d.Text9,
            d.Text10,    d.Check1,    d.Check2,    d.Check3,    d.Check4,    d.Check5,   d.Check6,
            d.Check7,    d.Check8,    d.Label30,   d.BLLR,      d.BLUD,      d.LOGO2FLN, d.LTHICK,
            d.PIXFLN,    d.PIXW,      d.PIXH,      d.TLLR,      d.TLUD,      d.Option1,  d.Option4};
}

std::vector<QWidget *> showOrder(const Design &d)
{
    return {d.Check15,   d.Command16, d.Check10,   d.Check11,   d.Check12,  d.Check13,   d.Check14,
            d.Text11,    d.Text12,    d.Label1,    d.Command1,  d.Command2, d.Command3,  d.Command4,
            d.Command5,  d.Command6,  d.Command7,  d.Command8,  d.Command9, d.Command10, d.Command11,
            d.Command12, d.Command13, d.Command14, d.Command15, d.Check9,   d.Text1,     d.Text2,
            d.Text3,     d.Text4,     d.Text5,     d.Text6,     d.Text7,    d.Text8,     d.Text9,
            d.Text10,    d.Check1,    d.Check2,    d.Check3,    d.Check7,   d.Option1,   d.Option4,
            d.Check4,    d.Check5,    d.Check6,    d.BLLR,      d.BLUD,     d.LOGO2FLN,  d.LTHICK,
            d.PIXFLN,    d.PIXW,      d.PIXH,      d.TLLR,      d.TLUD,     d.Label30,   d.Check8};
}

void showPrintFailure(Design *d, const QString &reason)
{
    // Non-blocking, and only one at a time however often Print is pressed.
    auto *box = d->findChild<QMessageBox *>(QStringLiteral("PrintFailed"), Qt::FindDirectChildrenOnly);
    if (!box) {
        // Printer and file names are text, never markup.
        box =
            plaintext::Message(QMessageBox::Warning, QStringLiteral("Print"), QString(), QMessageBox::Ok, d);
        box->setObjectName(QStringLiteral("PrintFailed"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
    }
    QString text = QStringLiteral("Nothing was printed.");
    if (!reason.isEmpty())
        text += u' ' + reason;
    box->setText(text);
    box->setInformativeText(
        QStringLiteral("Use \"Print Set Up\" to choose a printer or to print to a PDF file."));
    box->show();
    box->raise();
}

// The queue Print Set Up chose; "" for the system's default.
QString chosenQueue(CommonDialog &dialog)
{
    return dialog.PrinterChosen ? dialog.Printer().printerName() : QString();
}

} // namespace

void Design::ShowPrintFailure(const QString &reason)
{
    showPrintFailure(this, reason);
}

void Design::PaintPage(QPainter &p) const
{
    if (caseprint::CropMarksWanted()) // the page moved in by the marks' reach, the marks round the panel
        casepages::PrintPages(doc_, casepages::Output::Cover, {}, nullptr, true).constFirst().paint(p);
    else
        coverpage::PaintPage(doc_, p);
}

bool Design::PrintCover(const QString &printerName, QString *error)
{
    QPrinter &printer = CommonDialog1.Printer();
    const QString queue = printerName.isEmpty() ? chosenQueue(CommonDialog1) : printerName;
    if (!printqueue::UseChosenOrDefault(printer, queue, error))
        return false;
    return pageprint::PrintPage(
        printer, coverpage::Title(DesignPath()), [this](QPainter &p) { PaintPage(p); }, error);
}

void Design::Command7_Click()
{
    // A printer that is missing or refuses jobs is said before anything moves.
    QString error;
    if (!printqueue::UseChosenOrDefault(CommonDialog1.Printer(), chosenQueue(CommonDialog1), &error)) {
        showPrintFailure(this, error);
        return;
    }
    const bool front = Value(Option1);
    const bool back = Value(Option4);
    // Hiding the controls moves the focus; it goes back where it was.
    const QPointer<QWidget> focus = focusWidget();
    setBackColor(colors::White);
    if (TitlesLoaded() && TitlesForm()->isVisible())
        TitlesForm()->hide();

    // The copyright details come back only if they were there before.
    QWidget *const details[] = {Check10, Check11, Text11, Text12};
    bool detailShown[4];
    for (size_t i = 0; i < 4; ++i)
        detailShown[i] = !details[i]->isHidden();
    for (QWidget *w : hideOrder(*this))
        w->hide();

    const bool printed = pageprint::PrintPage(
        CommonDialog1.Printer(), coverpage::Title(DesignPath()), [this](QPainter &p) { PaintPage(p); },
        &error);

    for (QWidget *w : showOrder(*this)) {
        bool show = true;
        for (size_t i = 0; i < 4; ++i)
            if (w == details[i])
                show = detailShown[i];
        if (show)
            w->show();
    }
    setBackColor(colors::LightGrey);
    SetValue(Option1, front);
    SetValue(Option4, back);
    if (focus && focus->isVisible())
        focus->setFocus(Qt::OtherFocusReason);

    if (!printed)
        showPrintFailure(this, error);
    else
        reportPicturesFromScreenCopies();
}

void Design::Command11_Click()
{
    // Choices made there stay on the one printer for the rest of the run.
    CommonDialog1.ShowPrinter();
}

void Design::PrintPreview()
{
    QPrinter &printer = CommonDialog1.Printer();
    // On the paper of the printer that Print would use. When there is none,
    // the preview still shows the page; Print then says why nothing prints.
    printqueue::UseChosenOrDefault(printer, chosenQueue(CommonDialog1), nullptr);
    auto *preview = new QPrintPreviewDialog(&printer, this);
    preview->setObjectName(QStringLiteral("PrintPreview"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(QStringLiteral("Print Preview"));
    // What to show: the same choice as Print As.
    auto *choice = new QComboBox(preview);
    choice->setObjectName(QStringLiteral("PrintAsChoice"));
    for (auto output :
         {casepages::Output::Cover, casepages::Output::Tray, casepages::Output::Disc, casepages::Output::Set})
        choice->addItem(casepages::Caption(output), int(output));
    if (auto *bar = preview->findChild<QToolBar *>())
        bar->addWidget(choice);
    const auto chosen = [choice] { return casepages::Output(choice->currentData().toInt()); };
    connect(preview, &QPrintPreviewDialog::paintRequested, this, [this, chosen](QPrinter *target) {
        if (chosen() != casepages::Output::Cover) {
            caseprint::PaintPreview(*target, doc_, chosen());
            return;
        }
        QPainter p(target);
        pageprint::ScaleTo96(p, *target);
        PaintPage(p);
    });
    if (auto *widget = preview->findChild<QPrintPreviewWidget *>())
        connect(choice, &QComboBox::currentIndexChanged, widget, &QPrintPreviewWidget::updatePreview);
    // The preview's own Print button is Print's: the same printer check, and
    // the window's bracket, rather than a second printer dialog.
    const auto actions = preview->findChildren<QAction *>();
    for (QAction *a : actions) {
        if (a->text() != QLatin1String("Print"))
            continue;
        QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
        a->setObjectName(QStringLiteral("PreviewPrintAction"));
        connect(a, &QAction::triggered, this, [this, preview, chosen] {
            const casepages::Output output = chosen();
            preview->close();
            PrintAs(output);
        });
    }
    preview->open();
}
