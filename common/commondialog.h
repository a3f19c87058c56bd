#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;
class CommonDialog;

// What shows the dialogs: Qt's own in the programs, a script in tests.
// Each call returns true when the user confirmed and leaves its answer in
// the dialog's properties.
class DialogBackend
{
public:
    virtual ~DialogBackend() = default;
    virtual bool open(CommonDialog &dlg, QWidget *parent) = 0;
    virtual bool save(CommonDialog &dlg, QWidget *parent) = 0;
    virtual bool color(CommonDialog &dlg, QWidget *parent) = 0;
    virtual bool font(CommonDialog &dlg, QWidget *parent) = 0;
    virtual bool printer(CommonDialog &dlg, QWidget *parent) = 0;
    // A yes-or-no question, its text plain; true for yes.
    virtual bool question(CommonDialog &dlg, QWidget *parent, const QString &title, const QString &text);
};

// A window's one common-dialog service. Its settings keep their values from
// one dialog to the next for the whole run.
class CommonDialog
{
public:
    explicit CommonDialog(QWidget *owner);
    ~CommonDialog();
    CommonDialog(const CommonDialog &) = delete;
    CommonDialog &operator=(const CommonDialog &) = delete;

    QString FileName;
    QString Filter;     // "Display|*.a;*.b" pairs separated by '|'
    QString DefaultExt; // with or without the leading '.'
    int Flags = 0;
    bool CancelError = false;
    // The Filter entry shown first; after the dialog, the one chosen (from 1).
    int FilterIndex = 1;
    // A check box in the next open or save dialog only, when its text is set; its state is
    // offered and, once the dialog is confirmed, the one chosen.
    QString CheckBoxText;
    bool CheckBoxChecked = false;

    qint32 Color = 0;
    QString FontName;
    float FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontStrikethru = false;
    bool FontUnderline = false;

    // Each returns false on cancel (or when the dialog cannot be shown).
    bool ShowOpen();
    bool ShowSave();
    bool ShowColor();
    bool ShowFont();
    bool ShowPrinter();
    // Asks a yes-or-no question; true for yes.
    bool Ask(const QString &title, const QString &text);

    // The program's one printer object; set-up choices stay on it.
    QPrinter &Printer();
    // True once the printer dialog was confirmed: prints go to its choice
    // rather than to the system's default.
    bool PrinterChosen = false;

    // "Quirewell Files|*.qwd" -> "Quirewell Files (*.qwd)"
    static QString QtFilter(const QString &filter);

    // Replaces the backend of every dialog service (tests answer by script). nullptr restores
    // Qt's.
    static void SetBackend(DialogBackend *backend);

private:
    DialogBackend &backend();
    QWidget *owner_;
    std::unique_ptr<QPrinter> printer_;
};

// Qt's dialogs.
class QtDialogBackend : public DialogBackend
{
public:
    bool open(CommonDialog &dlg, QWidget *parent) override;
    bool save(CommonDialog &dlg, QWidget *parent) override;
    bool color(CommonDialog &dlg, QWidget *parent) override;
    bool font(CommonDialog &dlg, QWidget *parent) override;
    bool printer(CommonDialog &dlg, QWidget *parent) override;
    bool question(CommonDialog &dlg, QWidget *parent, const QString &title, const QString &text) override;

    // The font chooser with a colour choice; replaceable by the designer.
    static std::function<bool(CommonDialog &, QWidget *)> fontChooser;
};
