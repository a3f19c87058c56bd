// Typing a title while the cover draws a long list: a keystroke in the titles window (the
// list's title follows) and the repaint of the window's client area, with 99 titles fitted in
// columns, against the same with the 20 title lines of a short list (the baseline).
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QTextStream>

#include <vector>

#include "app_setup.h"
#include "benchmark.h"
#include "coverdocument.h"
#include "coverformat.h"
#include "design.h"
#include "titles.h"

namespace {

// Median milliseconds of a keystroke in title field 5 with its repaint; 0 when the keys did not
// reach the cover (the figure would mean nothing).
double keystrokes(Design &d, int count, bool longList)
{
    tracklist::CoverTexts texts;
    for (int i = 1; i <= count; ++i)
        texts.titles << QStringLiteral("%1. A title of the list, number %1").arg(i);
    d.ApplyTrackImport(texts);
    d.Command14_Click();
    QLineEdit *field = d.TitlesForm()->Text(5);
    QImage frame(Design::ClientWidth, Design::ClientHeight, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> keys;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer t;
        t.start();
        QTest::keyClick(field, char('a' + i % 26));
        {
            QPainter p(&frame);
            d.PaintClientArea(p, false);
        }
        keys.push_back(double(t.nsecsElapsed()) / 1e6);
        if (field->text().size() > 40)
            field->setText(QStringLiteral("5. "));
    }
    const CoverDocument &doc = d.Document();
    if (doc.LongList() != longList || doc.TitleList().value(4) != field->text() ||
        (longList && doc.LayOutList().shown != count))
        return 0;
    return bench::Median(keys);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetupDesignerApplication();
    QTextStream out(stdout);
    Design d;
    d.show();
    const double shortList = keystrokes(d, 20, false);
    const double longList = keystrokes(d, CoverDocument::MaxTitles, true);
    if (shortList <= 0 || longList <= 0) {
        out << "the keystrokes did not reach the titles\n";
        return 1;
    }
    const CoverDocument::ListLayout l = d.Document().LayOutList();
    out << "keystroke in a title field and repaint, median of 200:\n"
        << "  20 titles in the title lines (baseline): " << shortList << " ms\n"
        << "  99 titles fitted (" << l.columns << " columns, " << l.points << " pt): " << longList
        << " ms (goal < 16 ms)\n"
        << "ratio: " << longList / shortList << "\n";
    return 0;
}
