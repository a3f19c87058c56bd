#pragma once

#include <QDialog>
#include <QFont>

class CommonDialog;
class QFontDialog;
class QLabel;
class QPushButton;

// The designer's font dialog: Qt's font chooser (face, style, size,
// strikethrough, underline) with a colour choice beside it, which Qt's own
// dialog lacks. It starts from a dialog service's font name, size, colour
// and four style values and writes the confirmed choice back.
class FontColorDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FontColorDialog(const CommonDialog &preset, QWidget *parent = nullptr);

    QFontDialog *chooser() const { return chooser_; }
    QPushButton *colorButton() const { return colorButton_; }
    bool colorOffered() const;

    // The chosen colour as a colour number (0x00BBGGRR or a system colour).
    qint32 color() const { return color_; }
    void setColor(qint32 number);

    // Writes the choice into the service. A face or size the user left as
    // shown keeps the preset's own value, so an installed substitute never
    // renames "MS Sans Serif" and 13.5 points never becomes 14.
    void applyTo(CommonDialog &dlg) const;

    // Shows the dialog modally for a service; false when cancelled.
    static bool Run(CommonDialog &dlg, QWidget *parent);
    // Makes Run the font dialog of every dialog service of the program.
    static void Install();

private:
    void chooseColor();
    void updateSwatch();

    QFontDialog *chooser_ = nullptr;
    QPushButton *colorButton_ = nullptr;
    QLabel *colorLabel_ = nullptr;
    QString presetName_;
    float presetSize_ = 0;
    QString shownFamily_;
    int shownSize_ = 0;
    qint32 color_ = 0;
};
