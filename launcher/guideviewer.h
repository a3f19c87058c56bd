#pragma once

#include <QMainWindow>
#include <QStringList>
#include <QTextFormat>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QUrl;

// sleeveguide's window: the suite's user guide (docs/guide.md, built into
// the program) with a list of its sections beside it and a find field.
class GuideViewer : public QMainWindow
{
    Q_OBJECT
public:
    // The whole guide at once, or its first page first and the rest once that
    // has been painted, so that the window shows sooner (the program's way).
    enum class Opening { Whole, FirstPageFirst };
    explicit GuideViewer(Opening opening = Opening::Whole, QWidget *parent = nullptr);

    // The object type of the page's pictures, laid out and painted by the viewer alone.
    static constexpr int PictureObject = QTextFormat::UserObject + 1;

    // The guide's Markdown as built into the program ("" if missing).
    static QString GuideText();
    // The built-in file a picture named in the guide comes from, or "" when
    // the name is not one of the guide's own pictures (which come built in,
    // beside its text). Nothing else is ever read for the guide.
    static QString BuiltInPicture(const QUrl &url);
    // The anchor a heading gets, as GitHub names it ("Saving a design" ->
    // "saving-a-design"), so the guide's own links work here and there.
    static QString Slug(const QString &heading);

    // The start of `markdown` that fills the first screen.
    static QString FirstPage(const QString &markdown);
    // Shows `markdown` and lists its headings. Returns the number of headings.
    int Load(const QString &markdown);

    // The anchors of the headings, in order.
    QStringList Anchors() const { return anchors_; }
    // The pictures decoded so far, in order: those painted at least once.
    QStringList PicturesShown() const;
    // Scrolls to a heading's anchor; false if there is none by that name.
    bool ShowSection(const QString &anchor);
    // Finds the next match of the find field's text, from the top again
    // after the last one; false when there is none.
    bool FindNext();
    // Follows a link the way a click does: "#anchor" in the guide, web
    // and mail addresses outside. Returns false for a link it cannot follow.
    bool FollowLink(const QUrl &url);

    QTextBrowser *browser() const { return browser_; }
    QListWidget *contents() const { return contents_; }
    QLineEdit *findField() const { return find_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetPage(const QString &markdown);

    QString rest_; // the whole guide, while only its first page is shown
    QTextBrowser *browser_ = nullptr;
    QListWidget *contents_ = nullptr;
    QLineEdit *find_ = nullptr;
    QStringList anchors_;
};
