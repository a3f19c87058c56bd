// A main picture box of 32767 x 32767 pixels (the largest the design file and
// the W and H fields allow) against the usual 393 x 289 box: time from setting
// the size to the end of the first paint, the first print to a PDF file, and
// the peak memory of the process. Each case runs in a process of its own, so
// every peak is that case's alone.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <sys/resource.h>

#include "app_setup.h"
#include "commondialog.h"
#include "design.h"
#include "fonts.h"
#include "records.h"
#include "scripteddialog.h"

namespace {

// The process's peak resident memory. VmHWM belongs to the program's own memory map, which
// starts afresh at exec; getrusage's figure would carry over the parent's size from the fork.
long peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

QString sizeText(QSize s)
{
    return QStringLiteral("%1x%2").arg(s.width()).arg(s.height());
}

// One case: `how` is "type" (the sizes typed into W and H) or "open" (a design
// file whose records 15 and 16 hold them). Prints one line of figures.
int runCase(const QString &how, int w, int h, const QString &picture, const QString &dir)
{
    ScriptedDialogBackend dialogs;
    CommonDialog::SetBackend(&dialogs);
    Design d;
    d.show();
    if (!QTest::qWaitForWindowExposed(&d))
        return 2;
    dialogs.push(ScriptedDialogBackend::choose(picture));
    d.Command8_Click();
    d.repaint();
    if (!d.Image1->HasPicture())
        return 3;

    QString design;
    if (how == QLatin1String("open")) {
        design = dir + QStringLiteral("/box-%1.qwd").arg(w);
        dialogs.push(ScriptedDialogBackend::choose(design));
        d.Command2_Click();
        QFile f(design);
        if (!f.open(QIODevice::ReadOnly))
            return 4;
        QList<QByteArray> lines = f.readAll().split('\n');
        f.close();
        lines[records::MainPictureHeight - 1] = " " + QByteArray::number(h) + " \r";
        lines[records::MainPictureWidth - 1] = " " + QByteArray::number(w) + " \r";
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(lines.join('\n')) <= 0)
            return 4;
        f.close();
    }

    QElapsedTimer t;
    t.start();
    if (how == QLatin1String("open")) {
        dialogs.push(ScriptedDialogBackend::choose(design));
        d.Command1_Click();
    } else {
        for (QLineEdit *field : {d.Text7, d.Text8}) {
            field->selectAll();
            QTest::keyClicks(field, QString::number(field == d.Text7 ? w : h));
        }
    }
    d.repaint();
    const double shownMs = double(t.nsecsElapsed()) / 1e6;
    if (d.Image1->Width() != w || d.Image1->Height() != h)
        return 5;

    QPrinter &printer = d.CommonDialog1.Printer();
    printer.setOutputFileName(dir + QStringLiteral("/box-%1-%2.pdf").arg(how).arg(w));
    t.restart();
    d.Command7_Click();
    const double printMs = double(t.nsecsElapsed()) / 1e6;

    QTextStream(stdout) << shownMs << ' ' << printMs << ' ' << peakKiB() << ' '
                        << sizeText(d.Image1->ScreenCopySize()) << ' ' << sizeText(d.Image1->DecodedSize())
                        << ' ' << sizeText(d.Image1->PrintCopySize()) << '\n';
    CommonDialog::SetBackend(nullptr);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    fonts::PrepareEnvironment();
    QApplication app(argc, argv);
    SetupDesignerApplication();
    const QStringList args = app.arguments();
    if (args.size() == 7 && args.at(1) == QLatin1String("--case"))
        return runCase(args.at(2), args.at(3).toInt(), args.at(4).toInt(), args.at(5), args.at(6));

    QTextStream out(stdout);
    QTemporaryDir tmp;
    // A small photograph-like picture, as the measured freeze had, and a large photograph.
    auto photo = [&tmp](const QString &name, QSize size) {
        QImage img(size, QImage::Format_RGB32);
        QPainter p(&img);
        QLinearGradient g(0, 0, size.width(), size.height());
        g.setColorAt(0, Qt::darkBlue);
        g.setColorAt(1, Qt::yellow);
        p.fillRect(img.rect(), g);
        for (int i = 0; i < 200; ++i)
            p.fillRect((i * 137) % size.width(), (i * 89) % size.height(), size.width() / 26,
                       size.height() / 30, QColor::fromHsv(i % 360, 200, 220));
        p.end();
        const QString path = tmp.filePath(name);
        return img.save(path, "JPG", 90) ? path : QString();
    };
    const QString small = photo(QStringLiteral("small.jpg"), QSize(640, 480));
    const QString large = photo(QStringLiteral("large.jpg"), QSize(6000, 4000));
    if (small.isEmpty() || large.isEmpty())
        return 1;

    out << "Main picture box; each case in a fresh process\n"
        << "case: set size + first paint / first print to PDF / peak RSS / copies (screen, decoded, print)\n";
    const int big = 32767;
    for (const auto &[how, picture] :
         {std::pair{QStringLiteral("type"), small}, std::pair{QStringLiteral("open"), small},
          std::pair{QStringLiteral("type"), large}}) {
        double shown[2] = {}, print[2] = {};
        long peak[2] = {};
        int i = 0;
        for (const QSize &box : {QSize(393, 289), QSize(big, big)}) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--case"), how, QString::number(box.width()),
                         QString::number(box.height()), picture, tmp.path()});
            if (!child.waitForFinished(120000) || child.exitCode() != 0) {
                out << how << " " << sizeText(box) << ": the case failed (exit " << child.exitCode() << ")\n";
                return 1;
            }
            const QStringList f = QString::fromLatin1(child.readAllStandardOutput()).split(u' ');
            if (f.size() < 6)
                return 1;
            shown[i] = f.at(0).toDouble();
            print[i] = f.at(1).toDouble();
            peak[i] = f.at(2).toLong();
            out << (picture == small ? "640x480 picture, " : "6000x4000 picture, ")
                << (how == QLatin1String("type") ? "typed into W and H" : "opened from a design file") << ", "
                << sizeText(box) << (i == 0 ? " (baseline)" : "") << ": " << QString::number(shown[i], 'f', 1)
                << " ms / " << QString::number(print[i], 'f', 1) << " ms / " << peak[i] / 1024 << " MiB / "
                << f.at(3) << ", " << f.at(4) << ", " << f.at(5).trimmed() << "\n";
            ++i;
        }
        out << "  ratios 32767 box / baseline: shown " << QString::number(shown[1] / shown[0], 'f', 2)
            << ", print " << QString::number(print[1] / print[0], 'f', 2) << ", peak "
            << QString::number(double(peak[1]) / double(peak[0]), 'f', 2) << "; goal < 500 ms and < 300 MiB: "
            << (shown[1] < 500 && peak[1] < 300 * 1024 ? "met" : "NOT met") << "\n";
    }
    return 0;
}
