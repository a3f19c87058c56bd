// Options of the titles block.
#include "design.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScreen>

#include "titles.h"

void Design::Check7_Click()
{
    const bool show = Value(Check7) == 1;
    for (int n = 4; n <= 27; ++n)
        CoverLabelN(n)->setVisible(show);
}

void Design::Check6_Click()
{
    if (Value(Check6) == 1) {
        Label27->setFontSize(6);
        Label26->setFontSize(7);
        Label25->setFontSize(7);
        Label24->setFontSize(7);
    } else {
        for (CoverLabel *l : {Label27, Label26, Label25, Label24})
            l->setFontSize(Label10->FontSize());
    }
    Refresh();
}

void Design::Check8_Click()
{
    const qint32 color = Value(Check8) == 1 ? Label3->ForeColor() : Label10->ForeColor();
    for (CoverLabel *l : {Label25, Label26, Label27})
        l->setForeColor(color);
    Refresh();
}

void Design::Check15_Click()
{
    Label27->setAlignment(Value(Check15) == 1 ? CoverLabel::Align::Centre : CoverLabel::Align::Left);
}

// "Enter Title Names": fill the titles window from the labels and show it.
void Design::Command14_Click()
{
    const bool fresh = !TitlesLoaded() || !TitlesForm()->isVisible();
    Titles *t = TitlesForm();
    for (int n = 1; n <= 24; ++n)
        t->Text(n)->setText(CoverLabelN(n + 3)->Caption());
    if (fresh) {
        // Beside the design window where the screen allows, so neither hides the other.
        const QRect area = screen() ? screen()->availableGeometry() : QRect();
        QPoint at(frameGeometry().right() + 8, frameGeometry().top());
        if (area.isValid() && at.x() + t->frameGeometry().width() > area.right())
            at = QPoint(std::max(area.left(), area.right() - t->frameGeometry().width()),
                        std::min(frameGeometry().bottom() + 8,
                                 std::max(area.top(), area.bottom() - t->frameGeometry().height())));
        t->move(at);
    }
    t->show();
    t->raise();
    t->activateWindow();
}
