#pragma once

#include <QDialog>

#include "casepages.h"
#include "labelstock.h"

class CommonDialog;
class CoverDocument;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

// "Print On Stock…": the label sheets that fit a piece, sortable and searchable, a preview of
// the sheet with the piece on the labels chosen, and Print and Export PDF on that sheet. The
// last sheet chosen for each piece is kept in the user's settings.
class StockDialog : public QDialog
{
public:
    StockDialog(QWidget *parent, const CoverDocument &doc, CommonDialog &dialogs, QString title,
                QString designPath);

    // The sheet selected, nullptr when none.
    const labelstock::Template *Selected() const;
    QList<int> ChosenLabels() const;
    labelstock::Piece Piece() const;
    bool PrintSheet(QString *error);
    bool ExportSheet(const QString &path, QString *error);

private:
    void fill();
    void selectionChanged();
    void updatePreview();
    void exportPdf();

    const CoverDocument &doc_;
    CommonDialog &dialogs_;
    QString title_, designPath_;
    QList<labelstock::Template> shown_;
    QComboBox *piece_;
    QLineEdit *search_;
    QStandardItemModel *model_;
    QSortFilterProxyModel *proxy_;
    QTableView *table_;
    QListWidget *labels_;
    QLabel *preview_, *status_;
};
