// Reading the first worksheet of an .xlsx workbook: a zip of XML parts, read through libzip and
// Qt's XML stream reader (the shared texts and the sheet, when plainly written, through the
// quicker QuickXml). Nothing in the file is trusted: every part's size is counted while it is
// inflated, every reference is checked, and no XML document type (with its entities) is taken.

#include "sheets/cells.h"
#include "sheets/quickxml.h"
#include "sheets/sheets.h"

#include <QDateTime>
#include <QHash>
#include <QUrl>
#include <QVector>
#include <QXmlStreamReader>

#include <zip.h>

namespace sheets {

namespace {

// Uncompressed sizes taken at most, counted while inflating (a declared size means nothing).
constexpr qint64 kMaxSheetXml = 256LL * 1024 * 1024; // a million rows of short cells are far less
constexpr qint64 kMaxStringsXml = 64LL * 1024 * 1024;
constexpr qint64 kMaxOtherXml = 16LL * 1024 * 1024; // workbook, relationships, styles
constexpr qint64 kMaxEntries = 100000;
constexpr int kMaxSharedStrings = 2000000;
// What no workbook's XML comes near: the XML reader's stack grows with the nesting, its time
// with the square of one element's attributes (40,000 of them took 2 s), its memory with a run
// of text or one tag.
constexpr int kMaxDepth = 256;
constexpr int kMaxAttributes = 64;
constexpr qint64 kMaxRun = 1024 * 1024;

QString mb(qint64 bytes) { return QString::number(bytes / (1024 * 1024)); }

QString zipProblem(int code)
{
    switch (code) {
    case ZIP_ER_NOZIP:
        return QStringLiteral("找不到 zip 目录，文件可能没有完整保存或下载");
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
        return QStringLiteral("zip 结构不完整或前后矛盾");
    case ZIP_ER_CRC:
        return QStringLiteral("数据校验失败");
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
        return QStringLiteral("压缩数据无效");
    case ZIP_ER_COMPNOTSUPP:
        return QStringLiteral("使用了不支持的压缩方式");
    case ZIP_ER_MEMORY:
        return QStringLiteral("内存不足");
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_ENCRNOTSUPP:
        return QStringLiteral("内容设有密码");
    case ZIP_ER_INVAL:
        return QStringLiteral("zip 记载的内容无效");
    default:
        return QStringLiteral("zip 错误代码 %1").arg(code);
    }
}

// "xl/worksheets/../sharedStrings.xml" and the like, relative to the part that names it; an empty
// text when the name leaves the package.
QString resolvePart(const QString &fromPart, const QString &target)
{
    QString t = QUrl::fromPercentEncoding(target.toUtf8());
    QStringList parts;
    if (!t.startsWith(QLatin1Char('/'))) {
        parts = fromPart.split(QLatin1Char('/'));
        parts.removeLast();
    }
    for (const QString &piece : t.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (piece == QLatin1String("."))
            continue;
        if (piece == QLatin1String("..")) {
            if (parts.isEmpty())
                return QString();
            parts.removeLast();
            continue;
        }
        parts << piece;
    }
    return parts.join(QLatin1Char('/'));
}

QString relationshipsOf(const QString &part)
{
    const int slash = int(part.lastIndexOf(QLatin1Char('/')));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

// A text as the workbook escapes what XML cannot hold: _x000D_ for a carriage return,
// _x005F_ for the underscore of a literal "_x...._".
QString unescaped(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('_') && i + 6 < text.size() && text.at(i + 1) == QLatin1Char('x')
            && text.at(i + 6) == QLatin1Char('_')) {
            bool ok = false;
            const uint code = QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

// "AB12" as 1-based column and row; false when it is no cell reference within the sheet.
bool parseReference(QStringView ref, int *column, int *row)
{
    int i = 0, c = 0, r = 0;
    while (i < ref.size() && i < 3 && ref.at(i).isLetter() && ref.at(i).unicode() < 128) {
        c = c * 26 + (ref.at(i).toUpper().unicode() - 'A' + 1);
        ++i;
    }
    if (i == 0 || i == ref.size())
        return false;
    const int digitsFrom = i;
    for (; i < ref.size(); ++i) {
        const char16_t d = ref.at(i).unicode();
        if (d < '0' || d > '9' || i - digitsFrom >= 7)
            return false;
        r = r * 10 + (d - '0');
    }
    if (c < 1 || c > kMaxColumns || r < 1 || r > kMaxRows)
        return false;
    *column = c;
    *row = r;
    return true;
}

class Archive {
public:
    explicit Archive(const QByteArray &bytes) : m_bytes(bytes) {}
    ~Archive()
    {
        if (m_zip)
            zip_discard(m_zip);
    }
    Archive(const Archive &) = delete;
    Archive &operator=(const Archive &) = delete;

    bool open(QString *problem)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
        if (source)
            m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!m_zip) {
            *problem = zipProblem(zip_error_code_zip(&error));
            if (source)
                zip_source_free(source);
        }
        zip_error_fini(&error);
        if (m_zip && zip_get_num_entries(m_zip, 0) > kMaxEntries) {
            *problem = QStringLiteral("zip 中的文件多得不正常");
            return false;
        }
        return m_zip != nullptr;
    }

    // The entry of a part (names compare regardless of case, as in any package), or -1.
    zip_int64_t locate(const QString &part) const
    {
        if (part.isEmpty())
            return -1;
        return zip_name_locate(m_zip, part.toUtf8().constData(), ZIP_FL_NOCASE);
    }

    zip_t *handle() const { return m_zip; }

private:
    const QByteArray &m_bytes;
    zip_t *m_zip = nullptr;
};

// One part's XML, inflated a piece at a time into the stream reader, never beyond a limit.
class Part {
public:
    Part(const Archive &archive, const QString &name, qint64 limit) : m_name(name), m_limit(limit)
    {
        const zip_int64_t index = archive.locate(name);
        if (index < 0) {
            m_missing = true;
            return;
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.handle(), zip_uint64_t(index), 0, &stat) == 0
            && (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
            m_problem = zipProblem(ZIP_ER_NOPASSWD);
            return;
        }
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(limit)) {
            m_problem = tooLarge();
            return;
        }
        m_file = zip_fopen_index(archive.handle(), zip_uint64_t(index), 0);
        if (!m_file)
            m_problem = zipProblem(zip_error_code_zip(zip_get_error(archive.handle())));
    }
    ~Part()
    {
        if (m_file)
            zip_fclose(m_file);
    }
    Part(const Part &) = delete;
    Part &operator=(const Part &) = delete;

    bool missing() const { return m_missing; }

    // The next token; EndDocument once the root element has closed, Invalid on any failure
    // (problem() says which).
    QXmlStreamReader::TokenType next()
    {
        if (m_done)
            return QXmlStreamReader::EndDocument;
        if (!m_problem.isEmpty() || m_missing)
            return QXmlStreamReader::Invalid;
        for (;;) {
            const QXmlStreamReader::TokenType t = m_xml.readNext();
            if (t == QXmlStreamReader::Invalid) {
                if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && !m_atEnd) {
                    if (!fill())
                        return QXmlStreamReader::Invalid;
                    continue;
                }
                m_problem = QStringLiteral("XML 内容无效（第 %1 行第 %2 列）")
                                .arg(m_xml.lineNumber())
                                .arg(m_xml.columnNumber());
                return t;
            }
            if (t == QXmlStreamReader::DTD || t == QXmlStreamReader::EntityReference) {
                // A workbook has no document type; one is only there to define entities.
                m_problem = QStringLiteral("含有不允许的 XML 文档类型声明");
                return QXmlStreamReader::Invalid;
            }
            if (t == QXmlStreamReader::StartElement && ++m_depth > kMaxDepth) {
                m_problem = QStringLiteral("XML 的层次深得不正常");
                return QXmlStreamReader::Invalid;
            }
            if (t == QXmlStreamReader::EndElement && --m_depth == 0)
                m_done = true;
            if (t == QXmlStreamReader::StartElement)
                m_attributes = m_xml.attributes();
            return t;
        }
    }

    QXmlStreamReader &xml() { return m_xml; }
    // The token just read, as QuickXml tells it.
    QStringView name() const { return m_xml.name(); }
    QStringView attribute(QLatin1StringView qualifiedName) const { return m_attributes.value(qualifiedName); }
    QStringView text() const { return m_xml.text(); }

    // The whole part into *out, counted and looked at as next() does; false on any failure
    // (problem() says which), among them a part larger than the limit.
    bool readWhole(QByteArray *out)
    {
        if (!m_problem.isEmpty() || m_missing)
            return false;
        for (;;) {
            char buffer[65536];
            const qint64 n = readChunk(buffer, sizeof buffer);
            if (n <= 0)
                return n == 0;
            out->append(buffer, qsizetype(n));
        }
    }

    QString problem() const
    {
        if (m_missing)
            return QStringLiteral("缺少 %1").arg(m_name);
        return m_problem.isEmpty() ? QString() : QStringLiteral("%1：%2").arg(m_name, m_problem);
    }
    int depth() const { return m_depth; }

private:
    QString tooLarge() const { return QStringLiteral("解压后超过 %1 MB").arg(mb(m_limit)); }

    bool fill()
    {
        char buffer[65536];
        const qint64 n = readChunk(buffer, sizeof buffer);
        if (n < 0)
            return false;
        if (n == 0)
            m_atEnd = true;
        else
            m_xml.addData(QByteArray(buffer, int(n)));
        return true;
    }

    // The next bytes of the part, counted against the limit and looked at by guard(): how many
    // (0 at its end), or -1 on any failure (problem() says which).
    qint64 readChunk(char *buffer, qint64 size)
    {
        const zip_int64_t n = zip_fread(m_file, buffer, zip_uint64_t(size));
        if (n < 0) {
            m_problem = zipProblem(zip_error_code_zip(zip_file_get_error(m_file)));
            return -1;
        }
        m_read += n;
        if (m_read > m_limit) {
            m_problem = tooLarge();
            return -1;
        }
        return n == 0 || guard(buffer, n) ? n : -1;
    }

    // Looks at the bytes before the XML reader does: the attributes of a tag (counted by their
    // "=", which only makes the count higher) and the length of a run of text or of one tag.
    bool guard(const char *bytes, qint64 n)
    {
        for (qint64 i = 0; i < n; ++i) {
            const char c = bytes[i];
            if (c == '<' || c == '>') {
                m_inTag = c == '<';
                m_equals = 0;
                m_run = 0;
            } else if (++m_run > kMaxRun) {
                m_problem = QStringLiteral("XML 中有一段内容长得不正常");
                return false;
            } else if (c == '=' && m_inTag && ++m_equals > kMaxAttributes) {
                m_problem = QStringLiteral("XML 元素的属性多得不正常");
                return false;
            }
        }
        return true;
    }

    QString m_name;
    qint64 m_limit;
    zip_file_t *m_file = nullptr;
    QXmlStreamReader m_xml;
    QXmlStreamAttributes m_attributes;
    qint64 m_read = 0;
    int m_depth = 0;
    bool m_inTag = false;
    int m_equals = 0;
    qint64 m_run = 0;
    bool m_missing = false;
    bool m_atEnd = false;
    bool m_done = false;
    QString m_problem;
};

struct Relationship {
    QString type;   // the last piece of the type's address: "worksheet", "sharedStrings", ...
    QString target; // the part, resolved
};

// The relationships of a part by id; *present false when the part has none.
bool readRelationships(const Archive &archive, const QString &part, QHash<QString, Relationship> *out,
                       bool *present, QString *problem)
{
    Part rels(archive, relationshipsOf(part), kMaxOtherXml);
    *present = !rels.missing();
    if (rels.missing())
        return true;
    for (;;) {
        const auto t = rels.next();
        if (t == QXmlStreamReader::EndDocument)
            return true;
        if (t == QXmlStreamReader::Invalid) {
            *problem = rels.problem();
            return false;
        }
        if (t != QXmlStreamReader::StartElement || rels.xml().name() != QLatin1String("Relationship"))
            continue;
        const QXmlStreamAttributes a = rels.xml().attributes();
        if (a.value(QLatin1String("TargetMode")) == QLatin1String("External"))
            continue;
        const QString type = a.value(QLatin1String("Type")).toString();
        out->insert(a.value(QLatin1String("Id")).toString(),
                    {type.mid(type.lastIndexOf(QLatin1Char('/')) + 1),
                     resolvePart(part, a.value(QLatin1String("Target")).toString())});
    }
}

class Reader {
public:
    Reader(const QByteArray &bytes, const QString &name, const ReadOptions &options)
        : m_archive(bytes), m_name(name), m_options(options)
    {
    }

    Sheet read()
    {
        QString problem;
        if (!m_archive.open(&problem))
            return fail(QStringLiteral("工作簿 %1 已损坏（%2），无法读取。请确认文件已完整保存或下载，"
                                       "或在 Excel 或 WPS 表格中打开后另存一份再试。")
                            .arg(m_name, problem));
        QString workbookPart;
        if (!findWorkbook(&workbookPart, &problem))
            return fail(damaged(problem));
        if (workbookPart.isEmpty())
            return fail(QStringLiteral("文件 %1 是 zip 压缩包，但不是 Excel 工作簿（.xlsx），无法读取。").arg(m_name));

        QHash<QString, Relationship> rels;
        bool present = false;
        if (!readRelationships(m_archive, workbookPart, &rels, &present, &problem))
            return fail(damaged(problem));
        if (!present)
            return fail(damaged(QStringLiteral("缺少 %1").arg(relationshipsOf(workbookPart))));

        QString sheetPart;
        if (!readWorkbook(workbookPart, rels, &sheetPart, &problem))
            return fail(damaged(problem));
        if (sheetPart.isEmpty())
            return fail(QStringLiteral("工作簿 %1 中没有工作表。").arg(m_name));

        for (const Relationship &r : std::as_const(rels)) {
            if (r.type == QLatin1String("sharedStrings") && m_strings.isEmpty() && !readStrings(r.target, &problem))
                return fail(damaged(problem));
            if (r.type == QLatin1String("styles") && m_dateStyles.isEmpty() && !readStyles(r.target, &problem))
                return fail(damaged(problem));
        }
        if (!readSheetPart(sheetPart))
            return fail(m_sheet.error);
        return m_sheet;
    }

private:
    Sheet fail(const QString &error)
    {
        Sheet failed;
        failed.error = error;
        return failed;
    }

    QString damaged(const QString &problem) const
    {
        return QStringLiteral("工作簿 %1 已损坏或不完整（%2），无法读取。"
                              "请在 Excel 或 WPS 表格中打开它，另存一份后再试。")
            .arg(m_name, problem);
    }

    // The workbook part the package names, or xl/workbook.xml where it names none.
    bool findWorkbook(QString *part, QString *problem)
    {
        QHash<QString, Relationship> rels;
        bool present = false;
        if (!readRelationships(m_archive, QString(), &rels, &present, problem))
            return false;
        for (const Relationship &r : std::as_const(rels))
            if (r.type == QLatin1String("officeDocument") && m_archive.locate(r.target) >= 0)
                *part = r.target;
        if (part->isEmpty() && m_archive.locate(QStringLiteral("xl/workbook.xml")) >= 0)
            *part = QStringLiteral("xl/workbook.xml");
        return true;
    }

    bool readWorkbook(const QString &workbookPart, const QHash<QString, Relationship> &rels, QString *sheetPart,
                      QString *problem)
    {
        Part part(m_archive, workbookPart, kMaxOtherXml);
        QString first, preferred;
        for (;;) {
            const auto t = part.next();
            if (t == QXmlStreamReader::EndDocument)
                break;
            if (t == QXmlStreamReader::Invalid) {
                *problem = part.problem();
                return false;
            }
            if (t != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes a = part.xml().attributes();
            if (part.xml().name() == QLatin1String("workbookPr")) {
                const auto v = a.value(QLatin1String("date1904"));
                m_from1904 = v == QLatin1String("1") || v == QLatin1String("true");
            } else if (part.xml().name() == QLatin1String("sheet")) {
                QString id;
                for (const QXmlStreamAttribute &attribute : a)
                    if (attribute.name() == QLatin1String("id") && !attribute.namespaceUri().isEmpty())
                        id = attribute.value().toString();
                const auto r = rels.constFind(id);
                if (r == rels.constEnd() || r->type != QLatin1String("worksheet"))
                    continue; // a chart sheet, a macro sheet
                const QString name = a.value(QLatin1String("name")).toString();
                if (first.isEmpty()) {
                    first = r->target;
                    m_sheet.sheetName = name;
                }
                if (preferred.isEmpty() && !m_options.preferredSheet.isEmpty()
                    && name.compare(m_options.preferredSheet, Qt::CaseInsensitive) == 0) {
                    preferred = r->target;
                    m_sheet.sheetName = name;
                }
            }
        }
        *sheetPart = preferred.isEmpty() ? first : preferred;
        return true;
    }

    // How a part's tokens were read: to the end, refused with a message, or (the quick reader
    // only) found not plain, to be read again by the full reader.
    enum class Read { Done, Refused, NotPlain };
    static Read invalid(Part &part, QString *problem)
    {
        *problem = part.problem();
        return Read::Refused;
    }
    static Read invalid(QuickXml &, QString *) { return Read::NotPlain; }

    // A part through the quick reader when it is plain, otherwise through the full one; read(tokens,
    // problem) takes the tokens and must start from nothing each time, since a part the quick reader
    // gives up on is read again from its first byte.
    template <class ReadTokens, class Reset>
    bool readPart(const QString &name, qint64 limit, ReadTokens read, Reset reset, QString *problem, bool *missing)
    {
        *missing = false;
        if (m_options.quickXml) {
            Part whole(m_archive, name, limit);
            if (whole.missing()) {
                *missing = true;
                return false;
            }
            QByteArray bytes;
            if (whole.readWhole(&bytes)) {
                QuickXml quick(bytes, kMaxDepth);
                const Read r = read(quick, problem);
                if (r != Read::NotPlain)
                    return r == Read::Done;
                reset();
            }
        }
        Part part(m_archive, name, limit);
        if (part.missing()) {
            *missing = true;
            return false;
        }
        return read(part, problem) == Read::Done;
    }

    bool readStrings(const QString &name, QString *problem)
    {
        bool missing = false;
        const bool ok = readPart(
            name, kMaxStringsXml, [this, &name](auto &part, QString *why) { return stringsFrom(part, name, why); },
            [this] { m_strings.clear(); }, problem, &missing);
        return ok || missing; // a workbook without texts may name the part all the same
    }

    template <class Tokens>
    Read stringsFrom(Tokens &part, const QString &name, QString *problem)
    {
        QString text;
        bool inItem = false, inText = false;
        int phonetic = 0;
        for (;;) {
            const auto t = part.next();
            if (t == QXmlStreamReader::EndDocument)
                return Read::Done;
            if (t == QXmlStreamReader::Invalid)
                return invalid(part, problem);
            const auto element = part.name();
            if (t == QXmlStreamReader::StartElement) {
                if (element == QLatin1String("si")) {
                    inItem = true;
                    text.clear();
                } else if (element == QLatin1String("rPh")) {
                    ++phonetic; // the reading aid above the text, not the text
                } else if (element == QLatin1String("t") && inItem && phonetic == 0) {
                    inText = true;
                }
            } else if (t == QXmlStreamReader::Characters) {
                if (inText) {
                    text += part.text();
                    if (text.size() > kMaxCellCharacters)
                        text.truncate(kMaxCellCharacters + 1); // refused where a cell uses it
                }
            } else if (t == QXmlStreamReader::EndElement) {
                if (element == QLatin1String("t")) {
                    inText = false;
                } else if (element == QLatin1String("rPh")) {
                    phonetic = std::max(0, phonetic - 1);
                } else if (element == QLatin1String("si") && inItem) {
                    inItem = false;
                    if (m_strings.size() >= kMaxSharedStrings) {
                        *problem = QStringLiteral("%1：文字多得不正常").arg(name);
                        return Read::Refused;
                    }
                    m_strings.append(unescaped(text));
                }
            }
        }
    }

    bool readStyles(const QString &name, QString *problem)
    {
        Part part(m_archive, name, kMaxOtherXml);
        if (part.missing())
            return true; // every cell in the general format
        QHash<int, QString> codes;
        QVector<int> formats;
        bool inCodes = false, inCellFormats = false;
        for (;;) {
            const auto t = part.next();
            if (t == QXmlStreamReader::EndDocument)
                break;
            if (t == QXmlStreamReader::Invalid) {
                *problem = part.problem();
                return false;
            }
            const QStringView element = part.xml().name();
            if (t == QXmlStreamReader::StartElement) {
                const QXmlStreamAttributes a = part.xml().attributes();
                if (element == QLatin1String("numFmts"))
                    inCodes = true;
                else if (element == QLatin1String("numFmt") && inCodes)
                    codes.insert(a.value(QLatin1String("numFmtId")).toInt(), a.value(QLatin1String("formatCode")).toString());
                else if (element == QLatin1String("cellXfs"))
                    inCellFormats = true;
                else if (element == QLatin1String("xf") && inCellFormats)
                    formats << a.value(QLatin1String("numFmtId")).toInt();
            } else if (t == QXmlStreamReader::EndElement) {
                if (element == QLatin1String("numFmts"))
                    inCodes = false;
                else if (element == QLatin1String("cellXfs"))
                    inCellFormats = false;
            }
        }
        m_dateStyles.reserve(formats.size());
        for (int f : std::as_const(formats)) {
            const auto own = codes.constFind(f);
            m_dateStyles << (own != codes.constEnd() ? isDateFormatCode(*own) : isBuiltInDateFormat(f));
        }
        return true;
    }

    // The cell being read.
    struct Cell {
        int column = 0;
        QString type;
        int style = 0;
        bool formula = false;
        QString value;  // <v>
        QString inline_; // <is>
    };

    bool refuse(int row, int column, const QString &what)
    {
        m_sheet.error = QStringLiteral("工作簿 %1 的工作表 %2 第 %3 行第 %4 列%5，无法读取。")
                            .arg(m_name, m_sheet.sheetName)
                            .arg(row)
                            .arg(column)
                            .arg(what);
        return false;
    }

    // The cell's text into the row; false with the sheet's error set.
    bool finishCell(const Cell &cell, int row, QStringList *cells)
    {
        if (m_options.columns > 0 && cell.column > m_options.columns)
            return true;
        QString text;
        const QString &type = cell.type;
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int index = cell.value.trimmed().toInt(&ok);
            if (!ok || index < 0 || index >= m_strings.size())
                return refuse(row, cell.column, QStringLiteral("引用的文字不存在"));
            text = m_strings.at(index);
        } else if (type == QLatin1String("inlineStr")) {
            text = unescaped(cell.inline_);
        } else if (type == QLatin1String("str")) {
            text = unescaped(cell.value);
        } else if (type == QLatin1String("b") || type == QLatin1String("e")) {
            const QString shown = type == QLatin1String("e") ? cell.value.trimmed()
                                  : cell.value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE")
                                                                                : QStringLiteral("FALSE");
            m_sheet.error = cell.formula ? unusableFormulaMessage(m_sheet.sheetName, row, cell.column, shown)
                                         : unusableValueMessage(m_sheet.sheetName, row, cell.column, shown);
            return false;
        } else if (type == QLatin1String("d")) {
            const QString v = cell.value.trimmed();
            if (!v.isEmpty()) {
                const QDateTime when = QDateTime::fromString(v, Qt::ISODate);
                const QDate day = when.isValid() ? when.date() : QDate::fromString(v, Qt::ISODate);
                if (!day.isValid())
                    return refuse(row, cell.column, QStringLiteral("的日期无效"));
                text = day.toString(QStringLiteral("yyyy-MM-dd"));
                if (when.isValid() && when.time() != QTime(0, 0))
                    text += when.time().toString(QStringLiteral(" HH:mm:ss"));
            }
        } else if (type.isEmpty() || type == QLatin1String("n")) {
            const QString v = cell.value.trimmed();
            if (!v.isEmpty()) {
                bool ok = false;
                const double number = v.toDouble(&ok);
                if (!ok || !std::isfinite(number))
                    return refuse(row, cell.column, QStringLiteral("的数字无效"));
                const bool date = cell.style >= 0 && cell.style < m_dateStyles.size() && m_dateStyles.at(cell.style);
                text = date ? serialDateText(number, m_from1904) : numberCellText(number);
            }
        } else {
            return refuse(row, cell.column, QStringLiteral("的类型无法识别"));
        }
        if (text.isEmpty())
            return true;
        if (text.size() > kMaxCellCharacters) {
            m_sheet.error = cellTooLongMessage(QStringLiteral("工作簿 %1 的工作表 %2").arg(m_name, m_sheet.sheetName),
                                               row, cell.column);
            return false;
        }
        m_characters += text.size();
        if (cell.column > cells->size() || m_characters > kMaxCharacters) {
            m_kept += std::max<qint64>(0, cell.column - cells->size());
            if (m_kept > kMaxCells || m_characters > kMaxCharacters) {
                m_sheet.error = tooManyCellsMessage(QStringLiteral("工作簿 %1 的工作表 %2").arg(m_name, m_sheet.sheetName));
                return false;
            }
            while (cells->size() < cell.column)
                cells->append(QString());
        }
        (*cells)[cell.column - 1] = text;
        return true;
    }

    bool readSheetPart(const QString &name)
    {
        bool missing = false;
        QString unused;
        const bool ok = readPart(
            name, kMaxSheetXml, [this](auto &part, QString *) { return sheetFrom(part); },
            [this] {
                m_sheet.header.clear();
                m_sheet.rows.clear();
                m_sheet.error.clear();
                m_kept = 0;
                m_characters = 0;
            },
            &unused, &missing);
        if (missing)
            m_sheet.error = QStringLiteral("工作簿 %1 不完整：缺少工作表 %2 的内容（%3），无法读取。"
                                           "请在 Excel 或 WPS 表格中打开它，另存一份后再试。")
                                .arg(m_name, m_sheet.sheetName, name);
        return ok;
    }

    template <class Tokens>
    Read sheetFrom(Tokens &part)
    {
        int rowDepth = -1, cellDepth = -1;
        int previousRow = 0, row = 0, lastColumn = 0;
        bool rowNumbered = false;
        enum class In { Nothing, Value, InlineText } in = In::Nothing;
        int inlineDepth = -1, phonetic = 0;
        Cell cell;
        QStringList cells;

        for (;;) {
            const auto t = part.next();
            if (t == QXmlStreamReader::EndDocument)
                break;
            if (t == QXmlStreamReader::Invalid) {
                QString problem;
                const Read r = invalid(part, &problem);
                if (r == Read::Refused)
                    m_sheet.error = damaged(problem);
                return r;
            }
            if (t == QXmlStreamReader::StartElement) {
                const auto element = part.name();
                const int depth = part.depth();
                if (rowDepth < 0 && element == QLatin1String("row")) {
                    rowDepth = depth;
                    cells.clear();
                    lastColumn = 0;
                    const QStringView r = part.attribute(QLatin1String("r"));
                    rowNumbered = !r.isEmpty();
                    if (rowNumbered) {
                        bool ok = false;
                        row = r.toInt(&ok);
                        if (!ok || row < 1 || row > kMaxRows)
                            return refused(previousRow + 1, 1, QStringLiteral("所在行的编号无效"));
                        if (row <= previousRow)
                            return refused(row, 1, QStringLiteral("所在的行出现了不止一次或顺序错乱"));
                    } else {
                        row = 0; // from its first numbered cell, or the row after the previous one
                    }
                } else if (rowDepth >= 0 && cellDepth < 0 && depth == rowDepth + 1 && element == QLatin1String("c")) {
                    cellDepth = depth;
                    cell = Cell();
                    const QStringView r = part.attribute(QLatin1String("r"));
                    if (!r.isEmpty()) {
                        int column = 0, cellRow = 0;
                        if (!parseReference(r, &column, &cellRow))
                            return refused(row ? row : previousRow + 1, lastColumn + 1,
                                          QStringLiteral("的位置“%1”无效").arg(r.left(20).toString()));
                        if (row == 0 && cellRow > previousRow)
                            row = cellRow;
                        if (cellRow != row)
                            return refused(row ? row : previousRow + 1, column,
                                          QStringLiteral("的位置“%1”与所在行不符").arg(r.toString()));
                        cell.column = column;
                    } else {
                        cell.column = lastColumn + 1;
                    }
                    if (row == 0)
                        row = previousRow + 1;
                    if (cell.column > kMaxColumns || row > kMaxRows)
                        return refused(row, cell.column, QStringLiteral("超出了工作表的范围"));
                    if (cell.column <= lastColumn)
                        return refused(row, cell.column, QStringLiteral("出现了不止一次或顺序错乱"));
                    lastColumn = cell.column;
                    cell.type = part.attribute(QLatin1String("t")).toString();
                    cell.style = part.attribute(QLatin1String("s")).toInt();
                } else if (cellDepth >= 0 && depth == cellDepth + 1) {
                    if (element == QLatin1String("v"))
                        in = In::Value;
                    else if (element == QLatin1String("f"))
                        cell.formula = true;
                    else if (element == QLatin1String("is"))
                        inlineDepth = depth;
                } else if (inlineDepth >= 0) {
                    if (element == QLatin1String("rPh"))
                        ++phonetic;
                    else if (element == QLatin1String("t") && phonetic == 0)
                        in = In::InlineText;
                }
            } else if (t == QXmlStreamReader::Characters) {
                if (in == In::Value)
                    cell.value += part.text();
                else if (in == In::InlineText)
                    cell.inline_ += part.text();
                if (cell.value.size() > kMaxCellCharacters + 64 || cell.inline_.size() > kMaxCellCharacters + 64) {
                    m_sheet.error = cellTooLongMessage(
                        QStringLiteral("工作簿 %1 的工作表 %2").arg(m_name, m_sheet.sheetName), row, cell.column);
                    return Read::Refused;
                }
            } else if (t == QXmlStreamReader::EndElement) {
                const int depth = part.depth() + 1; // of the element that closed
                const auto element = part.name();
                if (cellDepth >= 0 && depth == cellDepth) {
                    cellDepth = -1;
                    inlineDepth = -1;
                    phonetic = 0;
                    in = In::Nothing;
                    if (!finishCell(cell, row, &cells))
                        return Read::Refused;
                } else if (rowDepth >= 0 && depth == rowDepth) {
                    rowDepth = -1;
                    if (row == 0)
                        row = previousRow + 1;
                    if (row > kMaxRows)
                        return refused(row, 1, QStringLiteral("超出了工作表的范围"));
                    while (!cells.isEmpty() && cells.constLast().isEmpty())
                        cells.removeLast();
                    if (row == 1)
                        m_sheet.header = cells;
                    else if (!cells.isEmpty())
                        m_sheet.rows.append(Row{row, cells});
                    previousRow = row;
                    row = 0;
                } else if (element == QLatin1String("sheetData")) {
                    break; // what follows (merged cells, page setup) is not needed
                } else if (inlineDepth >= 0 && element == QLatin1String("rPh")) {
                    phonetic = std::max(0, phonetic - 1);
                } else if (in == In::InlineText && element == QLatin1String("t")) {
                    in = In::Nothing;
                } else if (in == In::Value && element == QLatin1String("v")) {
                    in = In::Nothing;
                }
            }
        }
        return Read::Done;
    }

    Read refused(int row, int column, const QString &what)
    {
        refuse(row, column, what);
        return Read::Refused;
    }

    Archive m_archive;
    QString m_name;
    ReadOptions m_options;
    Sheet m_sheet;
    QStringList m_strings;
    QVector<bool> m_dateStyles;
    bool m_from1904 = false;
    qint64 m_kept = 0;
    qint64 m_characters = 0;
};

} // namespace

Sheet readXlsx(const QByteArray &bytes, const QString &name, const ReadOptions &options)
{
    return Reader(bytes, name, options).read();
}

} // namespace sheets
