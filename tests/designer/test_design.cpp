#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include <sys/stat.h>

#include <functional>

#include "app_setup.h"
#include "colors.h"
#include "design.h"
#include "scripteddialog.h"
#include "secondary_windows.h"
#include "textnumber.h"

using C = CoverDocument::Centring;
using Flag = std::function<bool(const CoverDocument &)>;
Q_DECLARE_METATYPE(Flag)

class TestDesign : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startUp();
    void headlineTyping();
    void positionFollowsKeystrokes();
    void layoutSwitchesOnlyOnChange();
    void postingNotice();
    void controlsBindToTheDocument_data();
    void controlsBindToTheDocument();
    void pictureFields_data();
    void pictureFields();
    void pictureLoading();
    void pictureShownPartLikeWholeBox_data();
    void pictureShownPartLikeWholeBox();
    void pictureBadFiles_data();
    void pictureBadFiles();
    void pixclear();
    void secondaryWindowsExistOnce();

private:
    QString writeImage(int w, int h, const char *format, const QString &name);
    QString writeBlocks(QSize size, const QString &name);
    std::unique_ptr<Design> d;
    ScriptedDialogBackend dialogs;
    QTemporaryDir tmp;
};

void TestDesign::initTestCase()
{
    SetupDesignerApplication();
    QVERIFY(tmp.isValid());
}

void TestDesign::init()
{
    QSettings("Sleeve", "sleevedesk").clear();
    dialogs = ScriptedDialogBackend();
    CommonDialog::SetBackend(&dialogs);
    d = std::make_unique<Design>();
}

void TestDesign::cleanup()
{
    d.reset();
    CommonDialog::SetBackend(nullptr);
}

QString TestDesign::writeImage(int w, int h, const char *format, const QString &name)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(200, 30, 30));
    QString path = tmp.filePath(name);
    if (!img.save(path, format))
        return {};
    return path;
}

// A picture of 3-pixel blocks in unrelated colours: any shift or blur of its
// scaling shows.
QString TestDesign::writeBlocks(QSize size, const QString &name)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const uint h = uint(x / 3) * 2654435761u ^ uint(y / 3) * 40503u;
            img.setPixel(x, y, qRgb(int(h % 251), int(h / 251 % 241), int(h / 60491 % 239)));
        }
    QString path = tmp.filePath(name);
    return img.save(path, "PNG") ? path : QString();
}

void TestDesign::startUp()
{
    QCOMPARE(d->windowTitle(), QString());
    QCOMPARE(d->size(), QSize(754, 487));
    QCOMPARE(d->Text11->text(), textnum::YearText());
    QCOMPARE(d->Text5->text(), QStringLiteral("8"));
    QCOMPARE(d->Text6->text(), QStringLiteral("104"));
    QCOMPARE(d->Text4->text(), QStringLiteral("408"));
    QCOMPARE(d->Text9->text(), QStringLiteral("96"));
    QCOMPARE(d->Text7->text(), QStringLiteral("393"));
    QCOMPARE(d->Text8->text(), QStringLiteral("289"));
    QCOMPARE(d->Image1->Left(), 31.5);
    QCOMPARE(d->Image1->Top(), 83.5);
    QCOMPARE(d->Image1->Width(), 393.0);
    QCOMPARE(d->Document().layout.panelWidth, 456.0f);
    QVERIFY(!d->IsModified());
    QCOMPARE(d->Document().defaults.fontName, d->Label1->font().family());
    QCOMPARE(d->Document().defaults.fontSize, float(d->Label1->font().pointSizeF()));
    QCOMPARE(d->Label10->FontSize(), d->Document().defaults.fontSize); // the titles start in it
    QCOMPARE(d->Label2->ForeColor(), colors::WindowText);
    QVERIFY(d->Label2->FontBold());
    QCOMPARE(d->Label3->FontSize(), 13.5f);
    QCOMPARE(d->BackColor(), colors::LightGrey);
    QVERIFY(Design::Value(d->Option1));
    QCOMPARE(Design::Value(d->Check6), 1);
    QCOMPARE(Design::Value(d->Check12), 1);
    QVERIFY(!d->Shape2->Visible());
    QCOMPARE(d->Shape2->Width(), 441.0);
    QVERIFY(d->Check10->isHidden() && d->Check11->isHidden() && d->Text11->isHidden());
    for (int n = 4; n <= 27; ++n)
        QVERIFY(!d->CoverLabelN(n)->Visible());
}

void TestDesign::headlineTyping()
{
    QTest::keyClicks(d->Text1, "Night Songs");
    QCOMPARE(d->Label2->Caption(), QStringLiteral("Night Songs"));
    QVERIFY(d->Label2->Width() > 20);
    QCOMPARE(d->Label2->Width(), std::ceil(d->Label2->Width())); // whole pixels
    const double expected = d->Document().Centred(d->Label2->Width(), C::TruncatedAbsolute);
    QCOMPARE(d->Label2->Left(), expected);
    QCOMPARE(d->Text6->text(), textnum::PositionText(expected));
    QCOMPARE(d->Label2->Top(), 8.0); // text never moves it up or down
    // The top headline comes to the front of the stacking order.
    QCOMPARE(d->Elements().back(), static_cast<CoverElement *>(d->Label2));
    QVERIFY(d->Label2->Visible());
}

void TestDesign::positionFollowsKeystrokes()
{
    d->Text5->clear();
    QList<double> seen;
    for (QChar c : QStringLiteral("120")) {
        QTest::keyClick(d->Text5, c.toLatin1());
        seen << d->Label2->Top();
    }
    QCOMPARE(seen, (QList<double>{1, 12, 120}));
}

void TestDesign::layoutSwitchesOnlyOnChange()
{
    const double i3 = d->Image3->Left();
    Design::SetValue(d->Option1, true); // already selected: nothing moves
    QTest::mouseClick(d->Option1, Qt::LeftButton);
    QCOMPARE(d->Image3->Left(), i3);
    QTest::mouseClick(d->Option4, Qt::LeftButton);
    QCOMPARE(d->Image3->Left(), i3 + 63);
    QTest::mouseClick(d->Option4, Qt::LeftButton);
    QCOMPARE(d->Image3->Left(), i3 + 63);
}

// The notice's own controls show with a posted notice only; typing reaches the row.
void TestDesign::postingNotice()
{
    Design::SetValue(d->Check9, 1);
    QVERIFY(d->Label28->Visible() && d->Label29->Visible());
    QVERIFY(d->Check10->isVisibleTo(d.get()) && d->Check11->isVisibleTo(d.get()) &&
            d->Text12->isVisibleTo(d.get()));
    QTest::keyClicks(d->Text12, "Ann Lee");
    QCOMPARE(d->Label29->Caption(), textnum::YearText() + QStringLiteral(" Ann Lee All Rights Reserved."));
    Design::SetValue(d->Check9, 0);
    QVERIFY(!d->Label28->Visible() && !d->Label29->Visible());
    QVERIFY(d->Check10->isHidden() && d->Check11->isHidden() && d->Text12->isHidden());
}

// A click on each box of the window (the row's name) reaches its own operation: the value it
// sets follows the box.
// Each row of the window's table: the control reaches its operation and shows the document's
// value once the document changes by other means.
void TestDesign::controlsBindToTheDocument_data()
{
    QTest::addColumn<int>("row");
    const auto &table = Design::ControlTable();
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].setOn || table[i].setText)
            QTest::newRow(table[i].name) << int(i);
}

void TestDesign::controlsBindToTheDocument()
{
    QFETCH(int, row);
    const Design::ControlRow &r = Design::ControlTable()[size_t(row)];
    QWidget *w = d->Control(QLatin1String(r.name));
    QVERIFY(w && w->objectName() == QLatin1String(r.name));
    CoverDocument &doc = d->Document();
    doc.setNoticePosted(true); // the notice's own controls are shown with it
    d->Refresh();
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    const int refreshed = d->ControlsRefreshed();
    if (auto *field = qobject_cast<QLineEdit *>(w)) {
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("17"));
        QCOMPARE(r.text(doc), QStringLiteral("17"));
        (doc.*r.setText)(QStringLiteral("23"));
        d->Refresh();
        QCOMPARE(field->text(), QStringLiteral("23"));
        QCOMPARE(r.text(doc), QStringLiteral("23"));
    } else if (auto *option = qobject_cast<QRadioButton *>(w)) {
        auto *other = d->Control<QRadioButton>(option->objectName() == "Option1" ? u"Option4" : u"Option1");
        other->click();
        QVERIFY(!r.on(doc) && !option->isChecked());
        option->click();
        QVERIFY(r.on(doc) && option->isChecked());
        (doc.*r.setOn)(false);
        d->Refresh();
        QVERIFY(!option->isChecked());
    } else {
        auto *box = qobject_cast<QCheckBox *>(w);
        QVERIFY(box);
        const bool before = r.on(doc);
        QCOMPARE(box->isChecked(), before);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QCOMPARE(r.on(doc), !before);
        (doc.*r.setOn)(before);
        d->Refresh();
        QCOMPARE(box->isChecked(), before);
    }
    // The last refresh set the control.
    QVERIFY(d->ControlsRefreshed() > refreshed);
    if (r.shownWhen) {
        doc.setNoticePosted(false);
        d->Refresh();
        QVERIFY(!w->isVisible());
    }
}

void TestDesign::pictureFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("position");
    QTest::newRow("width fills the panel") << "Text7"
                                           << "456" << 456.0 << 0.0;
    QTest::newRow("width 200") << "Text7"
                               << "200" << 200.0 << 128.0;
    QTest::newRow("height cleared") << "Text8"
                                    << "" << 0.0 << 228.0;
    QTest::newRow("height 100") << "Text8"
                                << "100" << 100.0 << 178.0;
    QTest::newRow("negative width refused") << "Text7"
                                            << "-20" << 393.0 << 31.5;
    QTest::newRow("largest width") << "Text7"
                                   << "32767" << 32767.0 << -16155.5;
    QTest::newRow("largest height") << "Text8"
                                    << "32767" << 32767.0 << -16155.5;
}

void TestDesign::pictureFields()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(double, size);
    QFETCH(double, position);
    QVERIFY(d->Image1->LoadPicture(writeImage(50, 40, "PNG", "fields.png")));
    auto *f = d->findChild<QLineEdit *>(field);
    f->setText(typed);
    const bool width = field == "Text7";
    QCOMPARE(width ? d->Image1->Width() : d->Image1->Height(), size);
    QCOMPARE(width ? d->Image1->Left() : d->Image1->Top(), position);
    QVERIFY(d->Image1->Visible());
    // However large the box, the screen's copy is the part the window shows.
    QImage window(Design::ClientWidth, Design::ClientHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&window);
    d->PaintClientArea(p, false);
    p.end();
    const QRectF shown = d->Image1->rect() & QRectF(0, 0, Design::ClientWidth, Design::ClientHeight);
    const QSize copy = d->Image1->ScreenCopySize();
    QVERIFY(copy.width() <= std::ceil(shown.width()) + 1 && copy.height() <= std::ceil(shown.height()) + 1);
    if (!shown.isEmpty())
        QCOMPARE(window.pixel(shown.center().toPoint()), qRgb(200, 30, 30));
}

void TestDesign::pictureLoading()
{
    const QString photo = writeImage(1000, 500, "JPG", "photo.jpg");
    QVERIFY(!photo.isEmpty());
    d->Text7->setText(QStringLiteral("200"));
    d->Text7->setText(QStringLiteral("393"));
    d->Image1->setLeft(5);
    dialogs.push(ScriptedDialogBackend::choose(photo));
    d->Command8->click();
    QCOMPARE(dialogs.seenFilter, Design::PictureFilter());
    QVERIFY(d->Image1->HasPicture());
    QCOMPARE(d->Image1->SourceSize(), QSize(1000, 500));
    QCOMPARE(d->Image1->Width(), 393.0); // the picture is squeezed into its box
    QCOMPARE(d->Image1->Left(), 31.5);
    QCOMPARE(d->Image1->Top(), 83.5);
    QCOMPARE(d->PIXFLN->text(), photo);

    const QString logo = writeImage(64, 64, "BMP", "logo.bmp");
    dialogs.push(ScriptedDialogBackend::choose(logo));
    d->Command12->click();
    QVERIFY(d->Image3->HasPicture());
    QCOMPARE(d->LOGO2FLN->text(), logo);
    QCOMPARE(d->Image3->rect(), QRectF(390, 400, 40, 40));

    // A cancelled dialog changes nothing.
    d->Command9->click();
    QVERIFY(!d->Image2->HasPicture());
    QCOMPARE(d->Label30->text(), QString());
}

void TestDesign::pictureShownPartLikeWholeBox_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSizeF>("loadedAt"); // the box's size when the picture was chosen
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<QSize>("device");
    QTest::addColumn<QRectF>("clip"); // none when empty
    QTest::addColumn<double>("dpr");
    const QRectF none;
    QTest::newRow("whole box shown") << QSize(40, 30) << QSizeF(300, 200) << QRectF(10, 10, 300, 200)
                                     << QSize(320, 220) << none << 1.0;
    QTest::newRow("enlarged, cut by the device")
        << QSize(40, 30) << QSizeF(300, 200) << QRectF(-50.5, -40, 300, 200) << QSize(200, 150) << none
        << 1.0;
    QTest::newRow("enlarged, cut by a clip") << QSize(40, 30) << QSizeF(300, 200) << QRectF(0, 0, 300, 200)
                                             << QSize(300, 200) << QRectF(37, 21, 120, 90) << 1.0;
    QTest::newRow("enlarged, twice the pixels")
        << QSize(40, 30) << QSizeF(300, 200) << QRectF(-60, -33.5, 300, 200) << QSize(160, 100) << none
        << 2.0;
    QTest::newRow("shrunk after loading, cut")
        << QSize(400, 300) << QSizeF(393, 289) << QRectF(-30, 20, 120, 90) << QSize(70, 150) << none << 1.0;
    QTest::newRow("narrow and tall, cut")
        << QSize(120, 50) << QSizeF(393, 289) << QRectF(5, -400, 30, 900) << QSize(60, 120) << none << 1.0;
    // Past the whole picture the screen keeps: only the part shown is decoded.
    QTest::newRow("detail of a big picture")
        << QSize(2100, 2100) << QSizeF(393, 289) << QRectF(-1000, -900, 2400, 2400) << QSize(300, 200) << none
        << 1.0;
}

// A box shown in part looks there exactly as the whole box scaled at once:
// the picture decoded in full, scaled to the box's device pixels, then drawn.
void TestDesign::pictureShownPartLikeWholeBox()
{
    QFETCH(QSize, source);
    QFETCH(QSizeF, loadedAt);
    QFETCH(QRectF, box);
    QFETCH(QSize, device);
    QFETCH(QRectF, clip);
    QFETCH(double, dpr);
    const QString path = writeBlocks(source, QStringLiteral("blocks-%1.png").arg(source.width()));
    CoverImage image(QStringLiteral("probe"), {});
    image.Move(0, 0, loadedAt.width(), loadedAt.height());
    QVERIFY(image.LoadPicture(path));
    image.Move(box.x(), box.y(), box.width(), box.height());

    auto paint = [&](const std::function<void(QPainter &)> &draw) {
        QImage out(device * dpr, QImage::Format_ARGB32_Premultiplied);
        out.setDevicePixelRatio(dpr);
        out.fill(Qt::white);
        QPainter p(&out);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        if (!clip.isEmpty())
            p.setClipRect(clip);
        draw(p);
        return out;
    };
    const QImage shown = paint([&](QPainter &p) { image.paint(p, false); });
    // The copy decoded when the picture was chosen serves while it has the detail the box needs.
    const QSize whole(int(std::ceil(box.width() * dpr)), int(std::ceil(box.height() * dpr)));
    const QSize atLoad(std::max(64, int(std::ceil(loadedAt.width()))),
                       std::max(64, int(std::ceil(loadedAt.height()))));
    QImage decoded = DecodePicture(path, atLoad, nullptr, nullptr);
    if (decoded.width() < std::min(source.width(), whole.width()) ||
        decoded.height() < std::min(source.height(), whole.height()))
        decoded = QImage(path);
    const QImage scaled = decoded.scaled(whole, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage naive = paint([&](QPainter &p) { p.drawImage(box, scaled); });

    int worst = 0, inked = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb a = shown.pixel(x, y), b = naive.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
            inked += a != qRgb(255, 255, 255);
        }
    QRectF visible = box & QRectF(QPointF(0, 0), QSizeF(device));
    if (!clip.isEmpty())
        visible &= clip;
    QVERIFY2(worst <= 8, qPrintable(QString::number(worst)));
    QVERIFY(inked > visible.width() * visible.height() * dpr * dpr * 0.9);
    // The copy made for the screen is the part shown, not the box.
    const QSize copy = image.ScreenCopySize();
    QVERIFY2(copy.width() <= std::ceil(visible.width() * dpr) + 1 &&
                 copy.height() <= std::ceil(visible.height() * dpr) + 1,
             qPrintable(QStringLiteral("%1x%2").arg(copy.width()).arg(copy.height())));
    QVERIFY(qint64(image.DecodedSize().width()) * image.DecodedSize().height() <= CoverImage::MaxWholeDecode);
}

void TestDesign::pictureBadFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("button"); // Picture, Logo 1 or Logo 2
    QTest::newRow("missing") << "missing"
                             << "Command8";
    QTest::newRow("text file") << "text"
                               << "Command9";
    QTest::newRow("truncated jpeg") << "truncated"
                                    << "Command8";
    QTest::newRow("folder") << "folder"
                            << "Command12";
    QTest::newRow("fifo") << "fifo"
                          << "Command8";
    QTest::newRow("empty file") << "empty"
                                << "Command9";
    QTest::newRow("text file, Fit Box to Picture ticked") << "text"
                                                          << "Command8";
}

void TestDesign::pictureBadFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, button);
    const QString good = writeImage(50, 40, "PNG", "good.png");
    auto *press = d->findChild<QPushButton *>(button);
    CoverImage *image = button == "Command8" ? d->Image1 : button == "Command9" ? d->Image2 : d->Image3;
    QLabel *label = button == "Command8" ? d->PIXFLN : button == "Command9" ? d->Label30 : d->LOGO2FLN;
    dialogs.push(ScriptedDialogBackend::choose(good));
    press->click();
    QCOMPARE(label->text(), good);
    QString path = tmp.filePath("bad-" + kind);
    if (kind == "text") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture at all\n");
    } else if (kind == "truncated") {
        QFile src(writeImage(300, 300, "JPG", "full.jpg"));
        QVERIFY(src.open(QIODevice::ReadOnly));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(src.read(200));
    } else if (kind == "folder") {
        QVERIFY(QDir(tmp.path()).mkpath("bad-folder"));
    } else if (kind == "fifo") {
        QFile::remove(path);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "empty") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QSettings("Sleeve", "sleevedesk")
        .setValue("Pictures/FitBoxToPicture", QByteArray(QTest::currentDataTag()).contains("ticked"));
    dialogs.push(ScriptedDialogBackend::choose(path));
    press->click(); // must return: no hang on a FIFO
    // A picture that cannot be loaded changes nothing, and a message says so.
    if (image->SourceSize() == QSize(300, 300)) { // a decoder that shows what there is of a cut-off file
        QCOMPARE(label->text(), path);
        return;
    }
    QCOMPARE(label->text(), good);
    QCOMPARE(d->Text8->text(), QStringLiteral("289")); // nor the box, "Fit Box to Picture" ticked or not
    QVERIFY(image->HasPicture());
    QCOMPARE(image->SourceSize(), QSize(50, 40));
    QVERIFY2(d->LastNotice().startsWith(QStringLiteral("The picture %1 could not be loaded: ").arg(path)),
             qPrintable(d->LastNotice()));
}

void TestDesign::pixclear()
{
    const QString a = writeImage(20, 20, "PNG", "a.png");
    using S = CoverDocument::Slot;
    QVERIFY(d->LoadPictureFile(S::Main, a) && d->LoadPictureFile(S::Logo1, a) &&
            d->LoadPictureFile(S::Logo2, a));
    d->Command16->click();
    Pixclear *p = d->PixclearForm();
    QVERIFY(p->isVisible());
    QCOMPARE(p->windowTitle(), QStringLiteral("Remove Current Images?"));
    p->Check3->setChecked(true);
    p->Command1->click();
    QVERIFY(!p->isVisible());
    QVERIFY(!d->Image3->HasPicture());
    QCOMPARE(d->LOGO2FLN->text(), QString());
    QVERIFY(d->Image1->HasPicture() && d->Image2->HasPicture());
    QCOMPARE(d->PIXFLN->text(), a);
    QCOMPARE(d->Image3->rect(), QRectF(390, 400, 40, 40));

    d->Command16->click();
    QCOMPARE(d->PixclearForm(), p); // the same window again
    QVERIFY(!p->Check1->isChecked() && !p->Check2->isChecked() && !p->Check3->isChecked());
    p->Command1->click(); // nothing checked: only hides
    QVERIFY(d->Image1->HasPicture());
}

void TestDesign::secondaryWindowsExistOnce()
{
    QVERIFY(!d->SaveLoaded() && !d->WaitLoaded() && !d->ErrorLoaded() && !d->PixclearLoaded());
    QCOMPARE(d->SaveForm(), d->SaveForm());
    QCOMPARE(d->WaitForm(), d->WaitForm());
    QCOMPARE(d->ErrorForm()->windowTitle(), QStringLiteral("File Import Error"));
    QCOMPARE(d->WaitForm()->windowTitle(), QStringLiteral("Opening File"));
    QCOMPARE(d->SaveForm()->windowTitle(), QStringLiteral("Save It...?"));
    QVERIFY(!d->SaveForm()->isVisible());
}

QTEST_MAIN(TestDesign)
#include "test_design.moc"
