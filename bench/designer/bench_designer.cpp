// The designer's hot paths with a 6000 x 4000 photograph as the main picture:
// one keystroke in the top headline (text change, re-centring and repaint),
// Open of a design against decoding the photograph alone at the size the
// screen needs, telling whether anything is unsaved, and undo and redo.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QUndoStack>

#include <algorithm>
#include <functional>

#include <unistd.h>
#include <vector>

#include "app_setup.h"
#include "benchmark.h"
#include "commondialog.h"
#include "design.h"
#include "scripteddialog.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetupDesignerApplication();
    QTextStream out(stdout);
    QTemporaryDir tmp;
    const QString photo = tmp.filePath(QStringLiteral("photo.jpg"));
    {
        QImage img(6000, 4000, QImage::Format_RGB32);
        QPainter p(&img);
        QLinearGradient g(0, 0, 6000, 4000);
        g.setColorAt(0, Qt::darkBlue);
        g.setColorAt(1, Qt::yellow);
        p.fillRect(img.rect(), g);
        for (int i = 0; i < 400; ++i)
            p.fillRect((i * 137) % 6000, (i * 89) % 4000, 120, 80, QColor::fromHsv(i % 360, 200, 220));
        p.end();
        img.save(photo, "JPG", 90);
    }

    ScriptedDialogBackend dialogs;
    CommonDialog::SetBackend(&dialogs);
    Design d;
    d.show();
    dialogs.push(ScriptedDialogBackend::choose(photo));
    d.Command8_Click();
    d.repaint();

    // Keystrokes in the top headline, each followed by a full repaint of the
    // window's client area (the painting the screen does).
    QImage frame(Design::ClientWidth, Design::ClientHeight, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> keys;
    int changes = 0;
    const int refreshedBefore = d.ControlsRefreshed();
    for (int i = 0; i < 200; ++i) {
        const double before = d.Label2->Width();
        QElapsedTimer t;
        t.start();
        QTest::keyClick(d.Text1, char('a' + i % 26));
        {
            QPainter p(&frame);
            d.PaintClientArea(p, false);
        }
        keys.push_back(t.nsecsElapsed() / 1e6);
        changes += d.Label2->Width() != before;
        if (d.Text1->text().size() > 40)
            d.Text1->clear();
    }
    if (changes < 150 || !d.Image1->HasPicture())
        return 1; // the keystrokes did not reach the headline: the figure would mean nothing
    out << "keystroke in the top headline with a 6000x4000 picture, median of " << keys.size() << ": "
        << bench::Median(keys) << " ms (goal < 16 ms)\n"
        << "controls set from the document per keystroke: "
        << double(d.ControlsRefreshed() - refreshedBefore) / double(keys.size()) << " of "
        << std::count_if(Design::ControlTable().begin(), Design::ControlTable().end(),
                         [](const Design::ControlRow &r) { return r.on || r.text; })
        << " compared\n";

    // Open of a design that carries the photograph, against the decode alone.
    const QString design = tmp.filePath(QStringLiteral("photo.qwd"));
    dialogs.push(ScriptedDialogBackend::choose(design));
    d.Command2_Click();
    std::vector<double> opens, decodes;
    for (int i = 0; i < 9; ++i) {
        Design w;
        dialogs.push(ScriptedDialogBackend::choose(design));
        QElapsedTimer t;
        t.start();
        w.Command1_Click();
        opens.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        QImageReader r(photo);
        r.setScaledSize(QSize(393, 289));
        const QImage img = r.read();
        decodes.push_back(t.nsecsElapsed() / 1e6);
        if (img.isNull())
            return 1;
    }
    const double mo = bench::Median(opens), md = bench::Median(decodes);
    out << "Open of a design with the picture, median of " << opens.size() << ": " << mo << " ms\n"
        << "QImageReader decode at 393x289 (baseline), median: " << md << " ms\n"
        << "ratio: " << mo / md << " (goal <= 1.3)\n";

    // Telling whether anything is unsaved (75 records built and compared), against the
    // keystroke above; it runs on Open, New, closing and the recovery timer, never per key.
    std::vector<double> checks;
    int modified = 0;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer t;
        t.start();
        modified += d.IsModified();
        checks.push_back(t.nsecsElapsed() / 1e6);
    }
    const double mc = bench::Median(checks);
    out << "IsModified with the picture loaded ("
        << (modified ? "modified" : "unmodified: every record compared") << "), median of " << checks.size()
        << ": " << mc << " ms; ratio to a keystroke: " << mc / bench::Median(keys) << "\n";

    // Undo and redo, each with the repaint that follows, with the photograph loaded, against Open of the same
    // design (which reads the photograph again): a headline typed, a second 6000 x 4000 photograph chosen,
    // and New.
    const QString photo2 = tmp.filePath(QStringLiteral("photo2.jpg"));
    {
        QImage img(6000, 4000, QImage::Format_RGB32);
        img.fill(Qt::darkGreen);
        QPainter p(&img);
        for (int i = 0; i < 400; ++i)
            p.fillRect((i * 173) % 6000, (i * 61) % 4000, 150, 90, QColor::fromHsv(i % 360, 180, 200));
        p.end();
        img.save(photo2, "JPG", 90);
    }
    Design::SetValue(d.Check12, 0); // New without the save question
    struct Step {
        const char *name;
        std::function<void()> make;
    };
    const Step steps[] = {
        {"a headline typed", [&] { d.Text1->setText(QStringLiteral("another headline")); }},
        {"a second photograph chosen",
         [&] {
             dialogs.push(ScriptedDialogBackend::choose(photo2));
             d.Command8_Click();
         }},
        {"New (every picture cleared)", [&] { d.Command4_Click(); }},
    };
    for (const Step &step : steps) {
        d.FlushUndo(); // what came before is a step of its own, as the event loop makes it
        const QSize photoBefore = d.Image1->SourceSize();
        const QString pathBefore = d.PIXFLN->text();
        step.make();
        d.FlushUndo();
        const QStringList after = d.DesignRecords();
        std::vector<double> undos, redos;
        for (int i = 0; i < 9; ++i) {
            QElapsedTimer t;
            t.start();
            d.Undo();
            {
                QPainter p(&frame); // and the window painted again, as the screen will
                d.PaintClientArea(p, false);
            }
            undos.push_back(t.nsecsElapsed() / 1e6);
            if (d.PIXFLN->text() != pathBefore || d.Image1->SourceSize() != photoBefore) {
                out << step.name << ": " << d.PIXFLN->text() << " vs " << pathBefore << "\n";
                return 1; // the picture did not come back: the figure would mean nothing
            }
            t.restart();
            d.Redo();
            {
                QPainter p(&frame);
                d.PaintClientArea(p, false);
            }
            redos.push_back(t.nsecsElapsed() / 1e6);
            if (d.DesignRecords() != after) {
                out << step.name << ": redo differs\n";
                return 1;
            }
        }
        const double mu = bench::Median(undos);
        out << "undo of " << step.name << " with a 6000x4000 picture, median of 9: " << mu
            << " ms (goal < 5 ms; redo " << bench::Median(redos)
            << " ms); ratio to Open (baseline): " << mu / mo << "\n";
    }

    // The "modified" check on documents: two equal documents compared part by part, against
    // building and comparing the 75 records as the check did before (the baseline).
    {
        d.Undo(); // the photograph back
        const CoverDocument copy = d.Document();
        std::vector<double> compares, recordCompares;
        int equal = 0;
        for (int i = 0; i < 1000; ++i) {
            QElapsedTimer t;
            t.start();
            equal += d.Document() == copy;
            compares.push_back(t.nsecsElapsed() / 1e3);
            t.restart();
            equal += d.DesignRecords() == copy.Records();
            recordCompares.push_back(t.nsecsElapsed() / 1e3);
        }
        if (equal != 2000)
            return 1;
        const double mc2 = bench::Median(compares), mr = bench::Median(recordCompares);
        out << "two equal documents compared, median of 1000: " << mc2 << " us (goal < 50 us)\n"
            << "75 records built and compared (baseline), median: " << mr << " us; ratio " << mc2 / mr
            << "\n";
    }

    // Resident memory with the photograph loaded: one step of history against 200.
    {
        const auto resident = [] {
            QFile statm(QStringLiteral("/proc/self/statm"));
            if (!statm.open(QIODevice::ReadOnly))
                return 0.0;
            const QList<QByteArray> fields = statm.readAll().split(' ');
            return fields.size() > 1 ? fields[1].toDouble() * double(::sysconf(_SC_PAGESIZE)) / 1048576.0
                                     : 0.0;
        };
        d.UndoStack()->clear();
        d.Text1->setText(QStringLiteral("step 0"));
        d.FlushUndo();
        const double one = resident();
        for (int i = 1; i < Design::UndoLimit; ++i) {
            d.Text1->setText(QStringLiteral("step %1").arg(i));
            d.FlushUndo();
        }
        const double many = resident();
        if (d.UndoStack()->count() < Design::UndoLimit - 1 || one <= 0)
            return 1;
        out << "resident memory with the photograph, 1 step: " << one << " MiB; " << d.UndoStack()->count()
            << " steps: " << many << " MiB; ratio " << many / one << " (goal <= 1.25)\n";
    }

    // Save and Open of a design without pictures.
    Design plain;
    const QString small = tmp.filePath(QStringLiteral("plain.qwd"));
    std::vector<double> saves, smallOpens;
    for (int i = 0; i < 50; ++i) {
        dialogs.push(ScriptedDialogBackend::choose(small));
        QElapsedTimer t;
        t.start();
        plain.Command2_Click();
        saves.push_back(t.nsecsElapsed() / 1e6);
        dialogs.push(ScriptedDialogBackend::choose(small));
        t.restart();
        plain.Command1_Click();
        smallOpens.push_back(t.nsecsElapsed() / 1e6);
    }
    out << "Save without pictures, median of 50: " << bench::Median(saves) << " ms (goal < 5 ms)\n"
        << "Open without pictures, median of 50: " << bench::Median(smallOpens) << " ms (goal < 5 ms)\n";
    CommonDialog::SetBackend(nullptr);
    return 0;
}
