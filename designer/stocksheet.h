#pragma once

#include <QList>
#include <QString>

#include "casepages.h"
#include "labelstock.h"
#include "safewrite.h"

class CoverDocument;
class QPrinter;

// A piece of the case on a sheet of label stock: painted by the case's own routines, at true
// size, centred on each chosen label of the template, from the paper's own corner.
namespace stocksheet {

// What the command line and the menus call the piece.
casepages::Output OutputOf(labelstock::Piece piece);
bool PieceOf(casepages::Output output, labelstock::Piece *piece);

// The disc takes the template's diameter and hole; the cover and the tray card keep their sizes.
CoverDocument PieceDocument(const CoverDocument &doc, labelstock::Piece piece, const labelstock::Template &t);

// The sheet with the piece on `labels` (0-based, in the sheet's numbering; all when empty).
casepages::Page SheetPage(const CoverDocument &doc, labelstock::Piece piece, const labelstock::Template &t,
                          const QList<int> &labels);

// The sheet as a page of the paper's size, no margin: a PDF or a PNG.
bool Export(const CoverDocument &doc, labelstock::Piece piece, const labelstock::Template &t,
            const QList<int> &labels, const QString &path, pageexport::Format format, int dpi,
            const QString &title, QString *error, const safewrite::Options &options = {});

// One job on the template's paper, drawn from the paper's corner; the printer's paper and
// margins are as before afterwards.
bool Print(QPrinter &printer, const CoverDocument &doc, labelstock::Piece piece,
           const labelstock::Template &t, const QList<int> &labels, const QString &docName, QString *error);

} // namespace stocksheet
