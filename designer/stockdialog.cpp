#include "stockdialog.h"
#include "plaintext.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "commondialog.h"
#include "coverdocument.h"
#include "printqueue.h"
#include "stocksheet.h"

namespace {

QString settingsKey(labelstock::Piece piece)
{
    return QStringLiteral("stock/") + labelstock::PieceName(piece);
}

} // namespace

StockDialog::StockDialog(QWidget *parent, const CoverDocument &doc, CommonDialog &dialogs, QString title,
                         QString designPath)
    : QDialog(parent), doc_(doc), dialogs_(dialogs), title_(std::move(title)),
      designPath_(std::move(designPath))
{
    setObjectName(QStringLiteral("StockDialog"));
    setWindowTitle(QStringLiteral("Print On Stock"));
    piece_ = new QComboBox(this);
    piece_->setObjectName(QStringLiteral("StockPiece"));
    for (labelstock::Piece p : {labelstock::Piece::Disc, labelstock::Piece::Cover, labelstock::Piece::Tray})
        piece_->addItem(p == labelstock::Piece::Cover ? QStringLiteral("Booklet Front")
                                                      : casepages::Caption(stocksheet::OutputOf(p)),
                        int(p));
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("StockSearch"));
    search_->setPlaceholderText(QStringLiteral("Search brand, part, description, paper"));
    model_ = new QStandardItemModel(0, 6, this);
    model_->setHorizontalHeaderLabels({QStringLiteral("Brand"), QStringLiteral("Part"),
                                       QStringLiteral("Description"), QStringLiteral("Paper"),
                                       QStringLiteral("Label size"), QStringLiteral("Labels")});
    proxy_ = new QSortFilterProxyModel(this);
    proxy_->setSourceModel(model_);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    proxy_->setFilterKeyColumn(-1);
    proxy_->setSortCaseSensitivity(Qt::CaseInsensitive);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("StockTable"));
    table_->setModel(proxy_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(0, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    labels_ = new QListWidget(this);
    labels_->setObjectName(QStringLiteral("StockLabels"));
    labels_->setMaximumWidth(110);
    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("StockPreview"));
    preview_->setFixedSize(240, 320);
    preview_->setAlignment(Qt::AlignCenter);
    status_ = plaintext::Label(QString(), this); // it shows the chosen path
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *print = buttons->addButton(QStringLiteral("Print"), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("StockPrint"));
    QPushButton *exportButton =
        buttons->addButton(QStringLiteral("Export PDF\u2026"), QDialogButtonBox::ActionRole);
    exportButton->setObjectName(QStringLiteral("StockExport"));

    auto *left = new QVBoxLayout;
    left->addWidget(piece_);
    left->addWidget(search_);
    left->addWidget(table_);
    auto *side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Labels to print:"), this));
    side->addWidget(labels_);
    auto *row = new QHBoxLayout;
    row->addLayout(left, 1);
    row->addLayout(side);
    row->addWidget(preview_);
    auto *all = new QVBoxLayout(this);
    all->addLayout(row);
    all->addWidget(status_);
    all->addWidget(buttons);
    resize(1120, 420);

    connect(piece_, &QComboBox::currentIndexChanged, this, &StockDialog::fill);
    connect(search_, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &StockDialog::selectionChanged);
    connect(labels_, &QListWidget::itemChanged, this, &StockDialog::updatePreview);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(print, &QPushButton::clicked, this, [this] {
        QString error;
        status_->setText(PrintSheet(&error) ? QStringLiteral("Printed.")
                                            : QStringLiteral("Not printed: ") + error);
    });
    connect(exportButton, &QPushButton::clicked, this, &StockDialog::exportPdf);
    fill();
    search_->setFocus();
}

labelstock::Piece StockDialog::Piece() const
{
    return labelstock::Piece(piece_->currentData().toInt());
}

void StockDialog::fill()
{
    const labelstock::Library &library = labelstock::Index();
    shown_ = labelstock::Fitting(library, Piece());
    model_->setRowCount(0);
    const QString last = QSettings().value(settingsKey(Piece())).toString();
    int lastRow = -1;
    for (qsizetype i = 0; i < shown_.size(); ++i) {
        const labelstock::Template &t = shown_[i];
        QList<QStandardItem *> items;
        for (const QString &text : {t.brand, t.part, t.description, t.paper, t.sizeText()})
            items << new QStandardItem(text);
        auto *count = new QStandardItem;
        count->setData(int(t.labelsMm.size()), Qt::DisplayRole);
        items << count;
        items[0]->setData(int(i), Qt::UserRole);
        model_->appendRow(items);
        if (t.name() == last)
            lastRow = int(i);
    }
    table_->resizeColumnsToContents();
    status_->setText(shown_.isEmpty() ? QStringLiteral("No label sheet fits this piece.") : QString());
    const QModelIndex start = proxy_->mapFromSource(model_->index(std::max(lastRow, 0), 0));
    if (start.isValid())
        table_->setCurrentIndex(start);
    else
        selectionChanged();
}

const labelstock::Template *StockDialog::Selected() const
{
    const QModelIndex current = proxy_->mapToSource(table_->currentIndex());
    if (!current.isValid())
        return nullptr;
    const int i = model_->item(current.row(), 0)->data(Qt::UserRole).toInt();
    return i >= 0 && i < shown_.size() ? &shown_[i] : nullptr;
}

void StockDialog::selectionChanged()
{
    const QSignalBlocker block(labels_);
    labels_->clear();
    if (const labelstock::Template *t = Selected()) {
        QSettings().setValue(settingsKey(Piece()), t->name());
        for (qsizetype i = 0; i < t->labelsMm.size(); ++i) {
            auto *item = new QListWidgetItem(QStringLiteral("Label %1").arg(i + 1), labels_);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
    }
    updatePreview();
}

QList<int> StockDialog::ChosenLabels() const
{
    QList<int> chosen;
    for (int i = 0; i < labels_->count(); ++i)
        if (labels_->item(i)->checkState() == Qt::Checked)
            chosen << i;
    return chosen;
}

void StockDialog::updatePreview()
{
    const labelstock::Template *t = Selected();
    if (!t) {
        preview_->clear();
        return;
    }
    const casepages::Page page = stocksheet::SheetPage(doc_, Piece(), *t, ChosenLabels());
    const double k = std::min(preview_->width() / page.size.width(), preview_->height() / page.size.height());
    QImage image((page.size * k).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.scale(k, k);
        // The label outlines as they lie on the sheet, then what prints on them.
        p.setPen(QPen(Qt::lightGray, 0));
        for (const QPointF &at : t->labelsMm) {
            const QRectF r(at * casepages::PxPerMm, t->labelMm * casepages::PxPerMm);
            if (t->shape == labelstock::Shape::Rectangle)
                p.drawRect(r);
            else
                p.drawEllipse(r);
        }
        if (!ChosenLabels().isEmpty())
            page.paint(p);
        p.setPen(QPen(Qt::darkGray, 0));
        p.drawRect(QRectF(QPointF(0, 0), page.size));
    }
    preview_->setPixmap(QPixmap::fromImage(image));
}

bool StockDialog::PrintSheet(QString *error)
{
    const labelstock::Template *t = Selected();
    if (!t || ChosenLabels().isEmpty()) {
        *error = QStringLiteral("Choose a sheet and at least one label.");
        return false;
    }
    QPrinter &printer = dialogs_.Printer();
    const QString queue = dialogs_.PrinterChosen ? printer.printerName() : QString();
    return printqueue::UseChosenOrDefault(printer, queue, error) &&
           stocksheet::Print(printer, doc_, Piece(), *t, ChosenLabels(), title_, error);
}

bool StockDialog::ExportSheet(const QString &path, QString *error)
{
    const labelstock::Template *t = Selected();
    if (!t || ChosenLabels().isEmpty()) {
        *error = QStringLiteral("Choose a sheet and at least one label.");
        return false;
    }
    safewrite::Options options;
    if (!designPath_.isEmpty())
        options.inputs << designPath_;
    return stocksheet::Export(doc_, Piece(), *t, ChosenLabels(), path, pageexport::Format::Pdf, 96, title_,
                              error, options);
}

void StockDialog::exportPdf()
{
    // The dialog service's settings as the other commands left them.
    const QString fileName = dialogs_.FileName, filter = dialogs_.Filter, defaultExt = dialogs_.DefaultExt;
    const int filterIndex = dialogs_.FilterIndex, flags = dialogs_.Flags;
    dialogs_.Filter = QStringLiteral("PDF document|*.pdf");
    dialogs_.FilterIndex = 1;
    dialogs_.DefaultExt = QStringLiteral(".pdf");
    dialogs_.Flags = 2; // ask before replacing a file
    dialogs_.FileName = title_ + u'-' + labelstock::PieceName(Piece()) + QStringLiteral("-stock.pdf");
    const bool chosen = dialogs_.ShowSave() && !dialogs_.FileName.isEmpty();
    const QString path = dialogs_.FileName;
    dialogs_.FileName = fileName;
    dialogs_.Filter = filter;
    dialogs_.DefaultExt = defaultExt;
    dialogs_.FilterIndex = filterIndex;
    dialogs_.Flags = flags;
    if (!chosen)
        return;
    QString error;
    status_->setText(ExportSheet(path, &error) ? QStringLiteral("Exported to %1.").arg(path)
                                               : QStringLiteral("Not exported: ") + error);
}
