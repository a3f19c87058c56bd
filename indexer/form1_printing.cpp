// Form1: printing the page, printer set-up and quick help.
#include "form1.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>

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
    if (!ConfirmPageFits())
        return;
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

namespace {

// Plays a widget's own painting onto `p` (96-per-inch pixels, at the
// widget's top-left corner): text stays text.
void playWidget(QPainter &p, QWidget *w, QWidget::RenderFlags flags)
{
    QPicture picture;
    {
        QPainter recorder(&picture);
        w->render(&recorder, QPoint(), QRegion(w->rect()), flags);
    }
    PlayPicture(p, picture);
}

// A widget as a picture of its pixels at up to 600 per inch, drawn into its
// place: nothing of it can reach beyond its edges.
void drawWidgetImage(QPainter &p, QWidget *w)
{
    const QPaintDevice *device = p.device();
    const qreal k = std::clamp((device ? device->logicalDpiX() : 96) / 96.0, 1.0, 600 / 96.0);
    QImage image((QSizeF(w->size()) * k).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter ip(&image);
        ip.scale(k, k);
        w->render(&ip, QPoint(), QRegion(w->rect()), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    p.drawImage(QRectF(w->geometry()), image);
}

// One list as the screen shows it, cut at its frame. A recording played
// back keeps none of the screen's clipping, and Qt's styles replace any
// clip they are given: so the frame, the rows (whose painting keeps to the
// visible area itself) and the scroll bar are put on the page one by one.
void paintList(QPainter &p, QAbstractScrollArea *list)
{
    p.save();
    p.translate(list->pos());
    p.setClipRect(list->rect(), Qt::IntersectClip);
    playWidget(p, list, QWidget::DrawWindowBackground); // the frame
    QWidget *viewport = list->viewport();
    p.save();
    p.translate(viewport->pos());
    p.setClipRect(viewport->rect(), Qt::IntersectClip);
    playWidget(p, viewport, QWidget::DrawWindowBackground | QWidget::DrawChildren);
    p.restore();
    QWidget *bar = list->verticalScrollBar()->parentWidget(); // the bar's frame in the list
    if (bar && bar != list && bar->isVisibleTo(list))
        drawWidgetImage(p, bar);
    p.restore();
}

} // namespace

void Form1::PaintPage(QPainter &p)
{
    p.save();
    p.fillRect(rect(), Qt::white);
    for (QObject *child : children()) { // in stacking order
        auto *list = qobject_cast<QAbstractScrollArea *>(child);
        if (list && !list->isHidden())
            paintList(p, list);
    }
    paintMarks(p, true);
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
