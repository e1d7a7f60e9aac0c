#pragma once
// Reading a printed PDF from outside, with the poppler tools: word boxes, page size, where the ink is.

#include <QImage>
#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QDir>
#include <QFile>
#include <QMarginsF>

#include <optional>

#include <pwd.h>
#include <unistd.h>

#include <climits>

namespace pdftools {

// Where the PDF printer puts the jobs of the user running the test ("Out" of its configuration).
inline QString pdfPrinterOutput()
{
    QString out = QStringLiteral("/var/spool/cups-pdf/${USER}");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!conf.atEnd()) {
            const QString line = QString::fromUtf8(conf.readLine()).trimmed();
            if (line.startsWith(QLatin1String("Out ")) || line.startsWith(QLatin1String("Out\t")))
                out = line.mid(4).trimmed();
        }
    }
    if (const passwd *pw = getpwuid(geteuid())) {
        out.replace(QLatin1String("${HOME}"), QString::fromLocal8Bit(pw->pw_dir));
        out.replace(QLatin1String("${USER}"), QString::fromLocal8Bit(pw->pw_name));
    }
    return out;
}

inline QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The file a job of the PDF printer became: it names the file after the job's title.
inline QString jobFile(const QString &dir, const QString &title)
{
    const QStringList found = QDir(dir).entryList({title + QLatin1Char('*')}, QDir::Files);
    return found.isEmpty() ? QString() : QDir(dir).filePath(found.first());
}

// The hardware margins a CUPS queue's PPD file declares for custom page sizes, in points, read
// from the file CUPS keeps for the queue; nothing when the queue or the line is missing.
inline std::optional<QMarginsF> ppdHardwareMargins(const QString &queue)
{
    QFile ppd(QStringLiteral("/etc/cups/ppd/%1.ppd").arg(queue));
    if (!ppd.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    static const QRegularExpression re(QStringLiteral(R"re(^\*HWMargins:\s*([\d.]+)\s+([\d.]+)\s+([\d.]+)\s+([\d.]+))re"));
    while (!ppd.atEnd()) {
        const auto m = re.match(QString::fromLatin1(ppd.readLine()));
        // The order in the file is left, bottom, right, top.
        if (m.hasMatch())
            return QMarginsF(m.captured(1).toDouble(), m.captured(4).toDouble(), m.captured(3).toDouble(),
                             m.captured(2).toDouble());
    }
    return std::nullopt;
}

// Whether a queue exists and writes PDF files (the cups-pdf backend), so a test job lands on no paper.
inline bool isPdfQueue(const QString &queue)
{
    return run(QStringLiteral("lpstat"), {QStringLiteral("-v"), queue}).contains(QLatin1String("cups-pdf:"));
}

struct Word {
    QRectF box; // points, from the page's top-left corner
    QString text;
};

inline bool available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

inline QString unescape(QString s)
{
    return s.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

// The words of one page (1-based), or of every page when page is 0.
inline QList<Word> words(const QString &pdf, int page = 0)
{
    QStringList args = {QStringLiteral("-bbox")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    const QString html = run(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"));
    static const QRegularExpression re(QStringLiteral(
        R"re(<word xMin="([\d.\-]+)" yMin="([\d.\-]+)" xMax="([\d.\-]+)" yMax="([\d.\-]+)">([^<]*)</word>)re"));
    QList<Word> out;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const QPointF tl(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF br(m.captured(3).toDouble(), m.captured(4).toDouble());
        out.append({QRectF(tl, br), unescape(m.captured(5))});
    }
    return out;
}

inline const Word *find(const QList<Word> &ws, const QString &text)
{
    for (const Word &w : ws)
        if (w.text == text)
            return &w;
    return nullptr;
}

// The first page's size in points; invalid when the file cannot be read.
inline QSizeF pageSize(const QString &pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    static const QRegularExpression re(QStringLiteral(R"re(Page size:\s+([\d.]+) x ([\d.]+) pts)re"));
    const auto m = re.match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

inline int pageCount(const QString &pdf)
{
    static const QRegularExpression re(QStringLiteral(R"re(Pages:\s+(\d+))re"));
    const auto m = re.match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The first page as a grey image at the given resolution.
inline QImage render(const QString &pdf, int dpi)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                                     QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, base});
    return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

inline bool dark(const QImage &img, int x, int y)
{
    return x >= 0 && y >= 0 && x < img.width() && y < img.height() && img.constScanLine(y)[x] < 128;
}

// The box around every dark pixel, in points; empty when the page is blank.
inline QRectF inkBox(const QString &pdf, int dpi = 288)
{
    const QImage img = render(pdf, dpi);
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (dark(img, x, y)) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return QRectF();
    const double k = 72.0 / dpi;
    return QRectF(QPointF(x0 * k, y0 * k), QPointF((x1 + 1) * k, (y1 + 1) * k));
}

// The box around the dark pixels inside an area of the first page, in points.
inline QRectF inkWithin(const QString &pdf, const QRectF &area, int dpi = 288)
{
    const QImage img = render(pdf, dpi);
    const double k = dpi / 72.0;
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
    for (int y = qMax(0, int(area.top() * k)); y < qMin(img.height(), int(area.bottom() * k) + 1); ++y)
        for (int x = qMax(0, int(area.left() * k)); x < qMin(img.width(), int(area.right() * k) + 1); ++x)
            if (dark(img, x, y)) {
                x0 = qMin(x0, x);
                y0 = qMin(y0, y);
                x1 = qMax(x1, x);
                y1 = qMax(y1, y);
            }
    if (x1 < 0)
        return QRectF();
    return QRectF(QPointF(x0 / k, y0 / k), QPointF((x1 + 1) / k, (y1 + 1) / k));
}

} // namespace pdftools
