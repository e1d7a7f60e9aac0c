#include "history/workbookexport.h"

#include "store/datasource.h"
#include "store/failures.h"
#include "text/amount.h"
#include "text/numbers.h"
#include "store/leftovers.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace history {

namespace {

ExportResult failed(ExportResult r, const QString &error)
{
    r.status = ExportResult::Status::Failed;
    r.error = error;
    return r;
}

QString libraryError(lxw_error e) { return QString::fromUtf8(lxw_strerror(e)); }

// Excel's date serials start in 1900; earlier dates are written as text.
bool fitsDateCell(const QDate &d) { return d.isValid() && d.year() >= 1900 && d.year() <= 9999; }

// Sheet column widths in characters, by the kind of value a column holds.
double columnWidth(const QString &column)
{
    if (column.endsWith(QLatin1String("rq")))
        return 12; // dates
    if (column.endsWith(QLatin1String("mc")))
        return 30; // names
    if (column.endsWith(QLatin1String("khh")))
        return 28; // banks
    if (column.endsWith(QLatin1String("zhh")))
        return 24; // account numbers
    if (column == QLatin1String("sheng") || column == QLatin1String("shi"))
        return 8;
    return 12;
}

// One cell as the writer thread needs it: no Qt value types cross the threads.
struct Cell {
    enum class Kind { Text, Date, Amount };
    lxw_row_t row;
    lxw_col_t col;
    Kind kind;
    lxw_datetime date;
    qsizetype text; // offset of the NUL-terminated UTF-8 text in the batch's buffer
    double amount;  // yuan
};

// The cells of some rows; their texts share one buffer, so a cell costs no allocation.
struct Batch {
    std::vector<Cell> cells;
    QByteArray texts;

    void addText(lxw_row_t row, lxw_col_t col, const QString &text)
    {
        const qsizetype at = texts.size();
        texts.resize(at + text.size() * 3 + 1); // the most UTF-8 can take
        char *end = m_encoder.appendToBuffer(texts.data() + at, text);
        *end++ = '\0';
        texts.resize(end - texts.constData());
        cells.push_back({row, col, Cell::Kind::Text, {}, at, 0.0});
    }
    void addDate(lxw_row_t row, lxw_col_t col, const QDate &d)
    {
        cells.push_back({row, col, Cell::Kind::Date, {d.year(), d.month(), d.day(), 0, 0, 0.0}, 0, 0.0});
    }

    // An amount as a number a sheet can add up, shown with its two decimals.
    void addAmount(lxw_row_t row, lxw_col_t col, qint64 fen)
    {
        cells.push_back({row, col, Cell::Kind::Amount, {}, 0, double(fen) / 100.0});
    }

private:
    QStringEncoder m_encoder{QStringEncoder::Utf8};
};

constexpr int kBatchRows = 256;
constexpr std::size_t kMaxQueuedBatches = 8; // keeps memory flat when the writer falls behind

// The workbook is written on a thread of its own: reading the rows (the data source, on the
// caller's connection) and producing the sheet's XML then run side by side. The queue between
// them is bounded, so memory stays flat whatever the number of rows.
class SheetWriter {
public:
    SheetWriter(const QString &fileName, const QVector<store::GridColumn> &columns)
        : m_folder(QFileInfo(fileName).absolutePath())
    {
        lxw_workbook_options options;
        std::memset(&options, 0, sizeof options);
        options.constant_memory = LXW_TRUE; // rows go to disk as they are written
        m_book = workbook_new_opt(QFile::encodeName(fileName).constData(), &options);
        if (!m_book)
            return;
        m_sheet = workbook_add_worksheet(m_book, nullptr);
        lxw_format *captionFormat = workbook_add_format(m_book);
        m_dateFormat = workbook_add_format(m_book);
        m_amountFormat = workbook_add_format(m_book);
        if (!m_sheet || !captionFormat || !m_dateFormat || !m_amountFormat) {
            lxw_workbook_free(m_book);
            m_book = nullptr;
            return;
        }
        format_set_bold(captionFormat);
        format_set_num_format(m_dateFormat, "yyyy-mm-dd");
        format_set_num_format(m_amountFormat, "0.00");
        // Wide enough that a date never shows as ###### and names read whole; the caption row
        // stays in view while scrolling.
        for (int c = 0; c < columns.size(); ++c)
            worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), columnWidth(columns.at(c).column),
                                 nullptr);
        worksheet_freeze_panes(m_sheet, 1, 0);
        for (int c = 0; c < columns.size(); ++c)
            worksheet_write_string(m_sheet, 0, lxw_col_t(c), columns.at(c).caption.toUtf8().constData(),
                                   captionFormat);
        m_thread = std::thread([this] { run(); });
    }

    ~SheetWriter()
    {
        finish(false);
    }

    bool isValid() const { return m_book != nullptr; }
    // Set by the writer when a cell could not be written; the reader stops then.
    bool hasFailed() const { return m_failed.load(); }

    void push(Batch batch)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_space.wait(lock, [this] { return m_queue.size() < kMaxQueuedBatches || m_failed.load(); });
        if (m_failed.load())
            return;
        m_queue.push_back(std::move(batch));
        m_ready.notify_one();
    }

    // Ends the queue. keep: the workbook is saved (its file is complete when this returns);
    // otherwise it is dropped. waiting() runs now and then while the file is being saved.
    void finish(bool keep, const std::function<void()> &waiting = {})
    {
        if (!m_thread.joinable())
            return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_ended = true;
            m_keep = keep;
            if (!keep)
                m_queue.clear(); // dropped anyway: no need to write what is still queued
            m_ready.notify_one();
        }
        if (waiting) {
            while (!m_done.load()) {
                waiting();
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        m_thread.join();
    }

    QString error() const { return m_error; }

private:
    void run()
    {
        for (;;) {
            Batch batch;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_ready.wait(lock, [this] { return !m_queue.empty() || m_ended; });
                if (m_queue.empty())
                    break;
                batch = std::move(m_queue.front());
                m_queue.pop_front();
                m_space.notify_one();
            }
            if (!m_failed.load())
                write(batch);
        }
        if (m_keep && !m_failed.load()) {
            errno = 0;
            const lxw_error closed = workbook_close(m_book); // writes the file and frees the workbook
            if (closed != LXW_NO_ERROR) {
                // The library says only which step failed; the folder says why.
                const QString cause = store::writeCause(m_folder, errno);
                m_error = cause.isEmpty() ? QStringLiteral("工作簿无法保存：%1").arg(libraryError(closed))
                                          : QStringLiteral("工作簿无法保存：%1（%2）").arg(cause, store::folderLabel(m_folder));
                m_failed = true;
            }
        } else {
            lxw_workbook_free(m_book);
        }
        m_book = nullptr;
        m_done = true;
    }

    void write(const Batch &batch)
    {
        for (const Cell &cell : batch.cells) {
            lxw_datetime date = cell.date;
            lxw_error e = LXW_NO_ERROR;
            switch (cell.kind) {
            case Cell::Kind::Date: e = worksheet_write_datetime(m_sheet, cell.row, cell.col, &date, m_dateFormat); break;
            case Cell::Kind::Amount:
                e = worksheet_write_number(m_sheet, cell.row, cell.col, cell.amount, m_amountFormat);
                break;
            case Cell::Kind::Text:
                e = worksheet_write_string(m_sheet, cell.row, cell.col, batch.texts.constData() + cell.text, nullptr);
                break;
            }
            if (e != LXW_NO_ERROR) {
                // Rows go to a temporary file of the library's until the workbook is saved.
                const QString cause = store::writeCause(QDir::tempPath(), errno);
                m_error = QStringLiteral("第 %1 行第 %2 列无法写入：%3")
                              .arg(cell.row + 1) // the sheet counts rows from 1
                              .arg(cell.col + 1)
                              .arg(cause.isEmpty() ? libraryError(e)
                                                   : QStringLiteral("%1（%2）").arg(cause, store::folderLabel(QDir::tempPath())));
                std::lock_guard<std::mutex> lock(m_mutex);
                m_failed = true;
                m_space.notify_all();
                return;
            }
        }
    }

    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_dateFormat = nullptr;
    lxw_format *m_amountFormat = nullptr;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::condition_variable m_space;
    std::deque<Batch> m_queue;
    bool m_ended = false;
    bool m_keep = false;
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_done{false};
    QString m_error; // written by the writer thread, read after join
    QString m_folder;
};

} // namespace

QString cellText(const QString &value, bool *cut, bool *cleaned)
{
    *cut = false;
    *cleaned = false;
    // XML 1.0 holds tab, line feed, carriage return and everything from U+0020 except the
    // surrogates on their own and U+FFFE/U+FFFF.
    QString text;
    text.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
            text += c;
            text += value.at(++i);
            continue;
        }
        const ushort u = c.unicode();
        if ((u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) || c.isSurrogate() || u == 0xFFFE || u == 0xFFFF) {
            *cleaned = true;
            continue;
        }
        text += c;
    }

    // "_x0041_" in a cell is read as the character U+0041; a literal one has its underscore
    // written as "_x005F_". The escapes count against the cell's length, so the text is cut
    // until its written form fits (never between the halves of a surrogate pair).
    static const QRegularExpression literal(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
    const auto written = [](const QString &t) {
        return t.contains(QLatin1String("_x")) ? QString(t).replace(literal, QStringLiteral("_x005F_\\1")) : t;
    };
    QString out = written(text);
    int keep = int(text.size());
    while (out.size() > kCellCharacters) {
        keep -= int(out.size()) - kCellCharacters;
        if (keep > 0 && text.at(keep - 1).isHighSurrogate())
            --keep;
        *cut = true;
        out = written(text.left(keep));
    }
    return out;
}

QString workbookFileName(const QString &chosen)
{
    if (chosen.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".xlsx");
}

ExportResult exportWorkbook(const store::DataSource &rows, const QVector<store::GridColumn> &columns,
                            const QString &chosenPath, const ExportOptions &options)
{
    ExportResult result;
    result.path = workbookFileName(chosenPath);
    result.rowsAvailable = rows.recordCount();
    if (result.rowsAvailable == 0) {
        result.status = ExportResult::Status::NoRows;
        return result;
    }
    const QFileInfo target(result.path);
    if (target.isDir())
        return failed(result, QStringLiteral("%1 是一个文件夹。").arg(result.path));

    // The temporary name lives in the target's folder so that the final rename cannot cross
    // file systems; it also proves early that the folder takes new files. It stays open, marked
    // in use, while the library writes it by name; what an export cut off by a crash left under
    // such a name goes first.
    store::removeLeftoversOf(result.path);
    QTemporaryFile temp(store::temporaryTemplate(result.path));
    if (!store::openInUse(temp)) {
        const QString cause = store::writeCause(target.absolutePath(), errno);
        return failed(result, QStringLiteral("无法在%1中建立文件：%2")
                                  .arg(store::folderLabel(target.absolutePath()),
                                       cause.isEmpty() ? temp.errorString() : cause));
    }
    const QString tempName = temp.fileName();

    QVector<int> positions;
    int amountColumn = -1;
    for (const store::GridColumn &c : columns) {
        if (c.column == QLatin1String("fkje"))
            amountColumn = int(positions.size());
        positions << rows.columnIndex(c.column);
    }

    SheetWriter writer(tempName, columns);
    if (!writer.isValid())
        return failed(result, QStringLiteral("无法建立工作簿。"));

    const int total = std::min(result.rowsAvailable, std::max(0, options.maxRows));
    const int step = std::max(1, options.progressStep);
    bool cancelled = false;
    Batch batch;
    for (int r = 0; r < total && !writer.hasFailed(); ++r) {
        const lxw_row_t sheetRow = lxw_row_t(r) + 1;
        for (int c = 0; c < positions.size(); ++c) {
            if (positions.at(c) < 0)
                continue;
            const QVariant v = rows.valueAt(r, positions.at(c));
            if (v.isNull() || !v.isValid())
                continue;
            if (v.typeId() == QMetaType::QDate) {
                const QDate d = v.toDate();
                if (fitsDateCell(d))
                    batch.addDate(sheetRow, lxw_col_t(c), d);
                else
                    batch.addText(sheetRow, lxw_col_t(c), d.toString(Qt::ISODate));
            } else {
                // A column's own format where it has one (the void mark of a row); a stored
                // date column's format gives its text as stored.
                const store::GridColumn &column = columns.at(c);
                const QString value = column.format ? column.format(v) : v.toString();
                if (value.isEmpty())
                    continue;
                // The amount as a number, so that a sheet sums it; the history keeps its text, and
                // a text that is no amount goes as text.
                if (c == amountColumn)
                    if (const std::optional<qint64> fen = text::parseFen(text::halfWidth(value))) {
                        batch.addAmount(sheetRow, lxw_col_t(c), *fen);
                        continue;
                    }
                bool cut = false, cleaned = false;
                const QString text = cellText(value, &cut, &cleaned);
                if (cut && (result.cutRows.isEmpty() || result.cutRows.last() != int(sheetRow) + 1))
                    result.cutRows << int(sheetRow) + 1;
                if (cleaned && (result.cleanedRows.isEmpty() || result.cleanedRows.last() != int(sheetRow) + 1))
                    result.cleanedRows << int(sheetRow) + 1;
                if (!text.isEmpty())
                    batch.addText(sheetRow, lxw_col_t(c), text);
            }
        }
        result.rowsWritten = r + 1;
        if ((r + 1) % kBatchRows == 0 || r + 1 == total) {
            writer.push(std::move(batch));
            batch = Batch();
        }
        if (options.progress && (result.rowsWritten % step == 0 || result.rowsWritten == total)
            && !options.progress(result.rowsWritten, total)) {
            cancelled = true;
            break;
        }
    }

    if (cancelled || writer.hasFailed()) {
        writer.finish(false);
        if (writer.hasFailed())
            return failed(result, writer.error());
        result.status = ExportResult::Status::Cancelled;
        return result;
    }
    // Saving compresses the whole sheet; the caller's progress display keeps being served, and
    // a cancel meanwhile still leaves no file.
    writer.finish(true, [&] {
        if (options.progress && !options.progress(total, total))
            cancelled = true;
    });
    if (writer.hasFailed())
        return failed(result, writer.error());
    if (cancelled) {
        result.status = ExportResult::Status::Cancelled;
        return result;
    }
    // Readable by others as any new file would be, not only by the owner as temporaries are.
    QFile::setPermissions(tempName, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                        | QFile::ReadOther);
    if (std::rename(QFile::encodeName(tempName).constData(),
                    QFile::encodeName(result.path).constData()) != 0)
        return failed(result, QStringLiteral("无法保存为 %1：%2")
                                  .arg(result.path, store::writeCause(target.absolutePath(), errno)));
    temp.setAutoRemove(false); // it is the workbook now
    result.status = ExportResult::Status::Written;
    return result;
}

} // namespace history
