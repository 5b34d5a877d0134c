#pragma once
// A grid's list out of Kestrel: saved as CSV for a spreadsheet or as a PDF
// of paged tables, or printed through the standard print dialog after a
// preview. The file dialog, its remembered folder and the preview serve
// every other export too (the turnover chart's). Files are written whole
// or not at all (QSaveFile): a failure or a cancel leaves whatever was
// there before untouched. Long lists show a progress dialog whose Cancel
// stops the work; rows go straight from the grid to the file, never
// through a second copy.

#include <QString>
#include <functional>
#include <vector>

class QPdfWriter;
class QPrintPreviewDialog;
class QPrinter;
class QWidget;

namespace kestrel {

class FlexGrid;

enum class ExportFormat { Csv, Pdf, Png };

enum class ExportResult { Saved, Cancelled, Failed };

// The header row and every data row of the grid, as the grid shows them,
// to path as CSV (see CsvWriter). The row-header column is left out.
// progressParent: the window a progress dialog belongs to; null for none.
ExportResult writeGridCsv(const FlexGrid &grid, const QString &path, QWidget *progressParent);

// The grid as a PDF of paged tables (see PagedTable) under caption; note,
// when there is one, says on every page what the list is (for example only
// part of it).
ExportResult writeGridPdf(const FlexGrid &grid, const QString &caption, const QString &path,
                          QWidget *progressParent, const QString &note = QString());

// What every export command does: asks for a file in one of the offered
// formats (the file's ending decides, else the chosen filter), asks before
// replacing a file, has write put it there, and reports a file that could
// not be written in a message. The dialog, titled "Export " + what, opens
// in the folder of the last export that was saved (remembered in the
// user's settings across runs), at first in the user's documents folder;
// it proposes caption as the file's name.
using ExportWriter = std::function<ExportResult(const QString &path, ExportFormat format)>;
ExportResult exportFile(const QString &what, const QString &caption,
                        const std::vector<ExportFormat> &offered, QWidget *parent,
                        const ExportWriter &write);

// The export of a grid's list: exportFile writing CSV or PDF.
ExportResult exportGrid(const FlexGrid &grid, const QString &caption,
                        const std::vector<ExportFormat> &offered, QWidget *parent,
                        const QString &note = QString());

// What the operator's print command does: a preview of the pages, from which
// the standard print dialog prints them.
void printGrid(const FlexGrid &grid, const QString &caption, QWidget *parent,
               const QString &note = QString());

// What every print command does: a preview in which paint draws the pages
// on the printer it is handed (the preview's own, then the one the standard
// print dialog chose).
void showPrintPreview(QPrinter &printer, QWidget *parent,
                      const std::function<void(QPrinter &, QPrintPreviewDialog &)> &paint);

// Every PDF Kestrel writes: A4 landscape, 12 mm margins, 300 dots per inch,
// titled, made by Kestrel.
void setUpPdf(QPdfWriter &pdf, const QString &title);

// The message shown when a file cannot be written; what was being saved
// ("list", "chart").
QString cannotSaveText(const QString &path, const QString &what = QStringLiteral("list"));

} // namespace kestrel
