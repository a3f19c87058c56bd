// Options of the titles block.
#include "design.h"

#include <QCheckBox>
#include <QLineEdit>

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
    Label27->setAlignment(Value(Check15) == 1 ? 2 : 0);
}

// "Enter Title Names": fill the titles window from the labels and show it.
void Design::Command14_Click()
{
    Titles *t = TitlesForm();
    for (int n = 1; n <= 24; ++n)
        t->Text(n)->setText(CoverLabelN(n + 3)->Caption());
    t->show();
    t->raise();
    t->activateWindow();
}
