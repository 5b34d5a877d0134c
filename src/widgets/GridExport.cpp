#include "widgets/GridExport.h"

#include "core/shared/CsvWriter.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "widgets/FlexGrid.h"
#include "widgets/PagedTable.h"

#include <QDir>
#include <QFileDialog>
#include <QPaintEngine>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <climits>
#include <memory>

namespace M = mdl_Variables_Functions;

namespace kestrel {

namespace {

const QString ExportTitle = QStringLiteral("Export List");

// A preview keeps every page it shows in memory; a list of a million rows
// has tens of thousands of pages, so the preview shows the first ones and
// printing still prints them all.
constexpr int PreviewPages = 200;

const QString ExportFolderKey = QStringLiteral("export/lastFolder");

// Where the export dialog opens: the folder of the last export that was
// saved, in this run or an earlier one (kept in the user's settings), else
// the user's documents; never Kestrel's working folder, which holds its
// parameter files.
QString exportFolder()
{
    const QString remembered = QSettings().value(ExportFolderKey).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// Only a saved file's folder is remembered: one that could not be written
// to must not greet the next export.
void rememberExportFolder(const QString &path)
{
    QSettings().setValue(ExportFolderKey, QFileInfo(path).absolutePath());
}

// A progress dialog for work on many rows or pages: it shows only when the
// work takes a while, and its Cancel stops the work.
class ExportProgress {
public:
    ExportProgress(QWidget *parent, const QString &label, int total)
    {
        if (!parent)
            return;
        m_dialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0,
                                                     std::max(total, 1), parent);
        m_dialog->setObjectName(QStringLiteral("dlg_ExportProgress"));
        m_dialog->setWindowTitle(ExportTitle);
        // Nothing else may touch the grid while its rows are written out.
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(500);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setValue(0);
    }

    void setTotal(int total)
    {
        if (m_dialog)
            m_dialog->setMaximum(std::max(total, 1));
    }

    // False once the operator cancelled.
    bool advance(int done)
    {
        if (!m_dialog)
            return true;
        m_dialog->setValue(done);
        return !m_dialog->wasCanceled();
    }

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};

// The data columns a list shows: those with a width.
std::vector<int> shownColumns(const FlexGrid &grid)
{
    std::vector<int> columns;
    for (int c = grid.FixedCols(); c < grid.Cols(); ++c) {
        if (grid.ColWidth(c) > 0)
            columns.push_back(c);
    }
    return columns;
}

QString suffixOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Csv:
        return QStringLiteral("csv");
    case ExportFormat::Png:
        return QStringLiteral("png");
    case ExportFormat::Pdf:
        break;
    }
    return QStringLiteral("pdf");
}

QString filterOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Csv:
        return QStringLiteral("CSV for spreadsheets: decimal comma, formulas kept as text "
                              "(*.csv)");
    case ExportFormat::Png:
        return QStringLiteral("PNG picture (*.png)");
    case ExportFormat::Pdf:
        break;
    }
    return QStringLiteral("PDF document (*.pdf)");
}

// The caption as a file name: characters no file system takes become "-".
QString fileNameFor(const QString &caption, ExportFormat format)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    QString name = caption.trimmed();
    name.replace(forbidden, QStringLiteral("-"));
    if (name.isEmpty())
        name = QStringLiteral("List");
    return name + QLatin1Char('.') + suffixOf(format);
}

// Where to save, and as what; empty when the operator cancelled.
QString askExportPath(QWidget *parent, const QString &title, const QString &caption,
                      const std::vector<ExportFormat> &offered, ExportFormat *format)
{
    QFileDialog dialog(parent, title);
    dialog.setObjectName(QStringLiteral("dlg_ExportList"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Kestrel asks itself, through its own message service.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (ExportFormat f : offered)
        filters.append(filterOf(f));
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffixOf(offered.front()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString &filter) {
        const qsizetype at = filters.indexOf(filter);
        if (at >= 0)
            dialog.setDefaultSuffix(suffixOf(offered[size_t(at)]));
    });
    dialog.setDirectory(exportFolder());
    dialog.selectFile(fileNameFor(caption, offered.front()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().front();
    const QString suffix = QFileInfo(path).suffix().toLower();
    *format = offered[size_t(std::max<qsizetype>(filters.indexOf(dialog.selectedNameFilter()), 0))];
    for (ExportFormat f : offered) {
        if (suffix == suffixOf(f))
            *format = f;
    }
    return path;
}

// Paints the pages a printer asks for: its page range when the print dialog
// set one, and in a preview no more than the preview can hold.
void printPages(PagedTable &table, QPrinter &printer, QPrintPreviewDialog *preview)
{
    const bool previewing =
        printer.paintEngine() && printer.paintEngine()->type() == QPaintEngine::Picture;
    int first = 0;
    int last = INT_MAX;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage() - 1;
        last = std::max(printer.toPage(), printer.fromPage()) - 1;
    }
    if (previewing)
        last = std::min<qint64>(last, qint64(first) + PreviewPages - 1);
    ExportProgress progress(previewing ? nullptr : preview, QStringLiteral("Printing pages..."), 0);
    table.print(printer, first, last, [&](int page) {
        progress.setTotal(std::min(last, table.pageCount() - 1) - first + 1);
        return progress.advance(page - first);
    });
    if (previewing && preview) {
        const int shown = std::min(table.pageCount() - first, PreviewPages);
        preview->setWindowTitle(
            shown < table.pageCount()
                ? QStringLiteral("Print Preview: pages %1 to %2 of %3 (printing prints all)")
                      .arg(first + 1)
                      .arg(first + shown)
                      .arg(table.pageCount())
                : QStringLiteral("Print Preview"));
    }
}

} // namespace

QString cannotSaveText(const QString &path, const QString &what)
{
    return QStringLiteral("Cannot save the %1 to %2!!!").arg(what, QDir::toNativeSeparators(path));
}

ExportResult writeGridCsv(const FlexGrid &grid, const QString &path, QWidget *progressParent)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return ExportResult::Failed;
    const std::vector<int> columns = shownColumns(grid);
    const FlexGridModel &model = *grid.gridModel();
    std::vector<QAnyStringView> fields(columns.size());
    CsvWriter csv(file);
    const int rows = grid.Rows();
    ExportProgress progress(progressParent, QStringLiteral("Exporting rows..."), rows - 1);
    for (int r = 0; r < rows; ++r) {
        for (size_t c = 0; c < columns.size(); ++c)
            fields[c] = model.textView(r, columns[c]);
        csv.writeRow(fields);
        if ((r & 4095) == 4095 && !progress.advance(r)) {
            file.cancelWriting();
            return ExportResult::Cancelled;
        }
    }
    if (!csv.finish() || !file.commit())
        return ExportResult::Failed;
    return ExportResult::Saved;
}

void setUpPdf(QPdfWriter &pdf, const QString &title)
{
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Kestrel"));
    pdf.setResolution(300);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                  QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
}

ExportResult writeGridPdf(const FlexGrid &grid, const QString &caption, const QString &path,
                          QWidget *progressParent, const QString &note)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return ExportResult::Failed;
    bool cancelled = false;
    bool painted = false;
    {
        QPdfWriter pdf(&file);
        setUpPdf(pdf, caption);
        PagedTable table(grid, caption, QDateTime::currentDateTime(), note);
        ExportProgress progress(progressParent, QStringLiteral("Exporting pages..."), 0);
        painted = table.print(pdf, 0, INT_MAX, [&](int page) {
            progress.setTotal(table.pageCount());
            cancelled = !progress.advance(page);
            return !cancelled;
        });
    }
    if (cancelled) {
        file.cancelWriting();
        return ExportResult::Cancelled;
    }
    if (!painted || !file.commit())
        return ExportResult::Failed;
    return ExportResult::Saved;
}

ExportResult exportFile(const QString &what, const QString &caption,
                        const std::vector<ExportFormat> &offered, QWidget *parent,
                        const ExportWriter &write)
{
    if (offered.empty())
        return ExportResult::Cancelled;
    const QString title = QStringLiteral("Export ") + what;
    ExportFormat format = offered.front();
    const QString path = askExportPath(parent, title, caption, offered, &format);
    if (path.isEmpty())
        return ExportResult::Cancelled;
    if (QFileInfo::exists(path)
        && M::MsgBox(QStringLiteral("File %1 already exists. Do You want to replace it?")
                         .arg(QFileInfo(path).fileName()),
                     M::MsgButtons::YesNo, M::MsgIcon::None, title)
               != M::MsgAnswer::Yes)
        return ExportResult::Cancelled;
    const ExportResult result = write(path, format);
    if (result == ExportResult::Saved)
        rememberExportFolder(path);
    else if (result == ExportResult::Failed)
        M::MsgBox(cannotSaveText(path, what.toLower()), M::MsgButtons::OK, M::MsgIcon::Critical,
                  title);
    return result;
}

ExportResult exportGrid(const FlexGrid &grid, const QString &caption,
                        const std::vector<ExportFormat> &offered, QWidget *parent,
                        const QString &note)
{
    return exportFile(QStringLiteral("List"), caption, offered, parent,
                      [&](const QString &path, ExportFormat format) {
                          return format == ExportFormat::Csv
                                     ? writeGridCsv(grid, path, parent)
                                     : writeGridPdf(grid, caption, path, parent, note);
                      });
}

void showPrintPreview(QPrinter &printer, QWidget *parent,
                      const std::function<void(QPrinter &, QPrintPreviewDialog &)> &paint)
{
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("dlg_PrintPreview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter *target) { paint(*target, preview); });
    preview.exec();
}

void printGrid(const FlexGrid &grid, const QString &caption, QWidget *parent, const QString &note)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(caption);
    printer.setPageOrientation(QPageLayout::Landscape);
    PagedTable table(grid, caption, QDateTime::currentDateTime(), note);
    showPrintPreview(printer, parent, [&](QPrinter &target, QPrintPreviewDialog &preview) {
        printPages(table, target, &preview);
    });
}

} // namespace kestrel
