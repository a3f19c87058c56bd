// Form1: printing the page, printer set-up and quick help.
#include "form1.h"

#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

#include "form3.h"

void Form1::setControlsVisible(bool visible)
{
    for (QWidget *w :
         {static_cast<QWidget *>(Command1), static_cast<QWidget *>(Command2),
          static_cast<QWidget *>(Command3), static_cast<QWidget *>(Command4), static_cast<QWidget *>(Drive1)})
        w->setVisible(visible);
    for (int n = 1; n <= 20; ++n)
        Options[static_cast<size_t>(n)]->setVisible(visible);
}

void Form1::setMarksVisible(bool visible)
{
    Line1.Visible = Line2.Visible = Line3.Visible = visible;
    update();
}

void Form1::restoreAfterPrint()
{
    setMarksVisible(false);
    Command1->show();
    Drive1->show();
    for (int n = 1; n <= 18; ++n)
        Options[static_cast<size_t>(n)]->show();
    Command2->show();
    Command3->show();
    Command4->show();
    Option19->show();
    Option20->show();
}

void Form1::Command1_Click()
{
    // Hiding the focused control would hand the focus on (and Drive1 would
    // take the title); keep it where it was instead.
    QWidget *focused = focusWidget();
    if (focused)
        focused->clearFocus();
    try {
        setControlsVisible(false);
        setMarksVisible(true);
        const bool printed = platform_.printPage(
            CommonDialog1.Printer(), QString::fromLatin1(DocName), [this](QPainter &p) { PaintPage(p); },
            nullptr);
        if (printed) {
            setMarksVisible(false);
            setControlsVisible(true);
        }
    } catch (...) {
        // Any failure goes straight to the restoring step; nothing is reported.
    }
    restoreAfterPrint();
    if (focused && focused->isVisible())
        focused->setFocus(Qt::OtherFocusReason);
}

void Form1::PaintPage(QPainter &p)
{
    // The window's own painting, recorded and played back: text stays text
    // and every list prints exactly the part it shows.
    QPicture picture;
    {
        QPainter recorder(&picture);
        render(&recorder, QPoint(), QRegion(rect()), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    // Playing a picture scales it from the screen's resolution to the
    // device's; the painter already works in 96-per-inch pixels, so undo that.
    const QPaintDevice *device = p.device();
    const qreal sx = device ? qreal(picture.logicalDpiX()) / device->logicalDpiX() : 1.0;
    const qreal sy = device ? qreal(picture.logicalDpiY()) / device->logicalDpiY() : 1.0;
    p.save();
    p.scale(sx, sy);
    p.drawPicture(0, 0, picture);
    p.restore();
}

void Form1::Command2_Click()
{
    CommonDialog1.ShowPrinter();
}

void Form1::Command3_Click()
{
    Form3 &f = QuickHelp();
    f.show();
    f.raise();
    f.activateWindow();
}
