#include "printing/pagewriter_printer.h"

#include "ui/fonts.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPen>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

namespace printing {

namespace {
constexpr double kTwipsPerInch = 1440;
constexpr double kTwipsPerPoint = 20;
// Ruled lines of a drawn form: half a point, visible on any printer.
constexpr double kLineWidthTwips = 10;

// The print engine's property for extra options of a CUPS job (a list of name, value, name, value),
// the way Qt's own print dialog passes them on. Ignored by every other engine.
const auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// CUPS turns the "media" Qt sends (Custom.800x250) into hundredths of a millimetre and back, and
// the page comes out 799 x 249 points with the drawing centred on it, about a third of a
// millimetre off. The printer's own custom page size option takes the points as they are.
void passCustomPageSize(QPrinter &printer, const QSizeF &points)
{
    if (printer.outputFormat() != QPrinter::NativeFormat || !QPrinterInfo(printer).supportsCustomPageSizes())
        return;
    QPrintEngine *engine = printer.printEngine();
    QStringList options = engine->property(kCupsOptions).toStringList();
    for (int i = 0; i + 1 < options.size(); i += 2) {
        if (options[i] == QLatin1String("PageSize")) {
            options.remove(i, 2);
            i -= 2;
        }
    }
    options << QStringLiteral("PageSize")
            << QStringLiteral("Custom.%1x%2").arg(points.width(), 0, 'g', 10).arg(points.height(), 0, 'g', 10);
    engine->setProperty(kCupsOptions, options);
}
} // namespace

PrinterPageWriter::PrinterPageWriter(QPrinter &printer) : m_printer(printer) {}

PrinterPageWriter::~PrinterPageWriter()
{
    if (m_painter.isActive())
        m_painter.end();
}

void PrinterPageWriter::applyPageSize()
{
    if (m_pageHeight <= 0 && m_pageWidth <= 0)
        return; // the printer's own paper
    // A side not given keeps the paper's current one.
    const QRectF paper = m_printer.pageLayout().fullRectPoints();
    const double w = m_pageWidth > 0 ? m_pageWidth / kTwipsPerPoint : paper.width();
    const double h = m_pageHeight > 0 ? m_pageHeight / kTwipsPerPoint : paper.height();
    // Exact match: a near standard size must not replace the one asked for, and the page stays
    // as wide and as high as given (portrait of a wide size is a wide page, not a rotated one).
    const QPageSize size(QSizeF(w, h), QPageSize::Point, QString(), QPageSize::ExactMatch);
    m_printer.setPageOrientation(QPageLayout::Portrait);
    m_printer.setPageSize(size);
    if (size.key().startsWith(QLatin1String("Custom.")))
        passCustomPageSize(m_printer, QSizeF(w, h));
}

void PrinterPageWriter::countFromThePrintableArea()
{
    if (m_printer.fullPage())
        return; // a file: the paper's corner
    // Qt keeps page margins of its own (10 pt) unless told otherwise; the printable area is
    // what the printer reports for this paper (the PPD's ImageableArea or HWMargins).
    QPageLayout layout = m_printer.pageLayout();
    layout.setMargins(layout.minimumMargins());
    m_printer.setPageLayout(layout);
}

bool PrinterPageWriter::begin()
{
    if (m_painter.isActive())
        return true;
    if (m_failed)
        return false;
    applyPageSize();
    countFromThePrintableArea();
    if (!m_painter.begin(&m_printer)) {
        m_failed = true;
        return false;
    }
    m_ascent = -1; // a new painter: its font is set afresh
    QPen pen(Qt::black);
    pen.setWidthF(kLineWidthTwips * m_printer.logicalDpiX() / kTwipsPerInch);
    pen.setCapStyle(Qt::SquareCap); // corners of a drawn frame close
    m_painter.setPen(pen);
    applyFont();
    return true;
}

bool PrinterPageWriter::ensureBegun() { return m_painter.isActive() || begin(); }

void PrinterPageWriter::applyFont()
{
    if (m_fontSize == m_appliedSize && m_ascent >= 0)
        return; // a voucher sets the size before every field, mostly the one it has
    QFont font(ui::songFamily());
    // Point size against the printer's resolution: exact for any size, not only whole pixels.
    font.setPointSizeF(m_fontSize);
    m_painter.setFont(font);
    m_appliedSize = m_fontSize;
    m_ascent = QFontMetricsF(m_painter.font(), m_painter.device()).ascent();
}

void PrinterPageWriter::setFontSize(double points)
{
    if (!(points > 0))
        return; // no font has a size of zero or less; the last one stays
    m_fontSize = points;
    if (m_painter.isActive())
        applyFont();
}

QPointF PrinterPageWriter::toDevice(double x, double y) const
{
    return {x * m_printer.logicalDpiX() / kTwipsPerInch, y * m_printer.logicalDpiY() / kTwipsPerInch};
}

void PrinterPageWriter::printText(const QString &text)
{
    if (!ensureBegun() || text.isEmpty())
        return;
    // The position is the text's top-left corner; the painter wants the baseline.
    m_painter.drawText(toDevice(m_x, m_y) + QPointF(0, m_ascent), text);
}

void PrinterPageWriter::line(double x1, double y1, double x2, double y2)
{
    if (!ensureBegun())
        return;
    m_painter.drawLine(toDevice(x1, y1), toDevice(x2, y2));
}

bool PrinterPageWriter::newPage()
{
    if (!ensureBegun())
        return false;
    if (!m_printer.newPage()) {
        m_failed = true;
        return false;
    }
    return true;
}

void PrinterPageWriter::endDocument()
{
    if (!m_painter.isActive())
        return;
    const bool ended = m_painter.end();
    if (!ended || m_printer.printerState() == QPrinter::Error)
        m_failed = true;
}

} // namespace printing
