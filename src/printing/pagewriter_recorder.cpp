#include "printing/pagewriter_recorder.h"

#include <QByteArray>

#include <ostream>

namespace printing {

namespace {

QString num(double v) { return QString::number(v, 'g', 10); }

QString quoted(const QString &s)
{
    QString out = s;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

} // namespace

QString PrintOp::toString() const
{
    switch (kind) {
    case Kind::PageHeight: return QStringLiteral("page height %1").arg(num(a));
    case Kind::PageWidth: return QStringLiteral("page width %1").arg(num(a));
    case Kind::FontSize: return QStringLiteral("font size %1").arg(num(a));
    case Kind::CurrentX: return QStringLiteral("current x %1").arg(num(a));
    case Kind::CurrentY: return QStringLiteral("current y %1").arg(num(a));
    case Kind::Text: return QStringLiteral("text %1").arg(quoted(text));
    case Kind::Line:
        return QStringLiteral("line (%1, %2)-(%3, %4)").arg(num(a), num(b), num(c), num(d));
    case Kind::EndDocument: return QStringLiteral("end document");
    }
    return QString();
}

void PrintOp::applyTo(PageWriter &w) const
{
    switch (kind) {
    case Kind::PageHeight: w.setPageHeight(int(a)); break;
    case Kind::PageWidth: w.setPageWidth(int(a)); break;
    case Kind::FontSize: w.setFontSize(a); break;
    case Kind::CurrentX: w.setCurrentX(a); break;
    case Kind::CurrentY: w.setCurrentY(a); break;
    case Kind::Text: w.printText(text); break;
    case Kind::Line: w.line(a, b, c, d); break;
    case Kind::EndDocument: w.endDocument(); break;
    }
}

bool operator==(const PrintOp &x, const PrintOp &y)
{
    return x.kind == y.kind && x.a == y.a && x.b == y.b && x.c == y.c && x.d == y.d && x.text == y.text;
}

QString PlacedText::toString() const
{
    return QStringLiteral("(%1, %2) %3pt %4").arg(num(x), num(y), num(size), quoted(text));
}

bool operator==(const PlacedText &p, const PlacedText &q)
{
    return p.x == q.x && p.y == q.y && p.size == q.size && p.text == q.text;
}

std::ostream &operator<<(std::ostream &os, const PrintOp &op) { return os << op.toString().toStdString(); }
std::ostream &operator<<(std::ostream &os, const PlacedText &t) { return os << t.toString().toStdString(); }
char *toString(const PrintOp &op) { return qstrdup(op.toString().toUtf8().constData()); }
char *toString(const PlacedText &t) { return qstrdup(t.toString().toUtf8().constData()); }

void RecordingPageWriter::setPageHeight(int twips) { m_ops.append(PrintOp::pageHeight(twips)); }
void RecordingPageWriter::setPageWidth(int twips) { m_ops.append(PrintOp::pageWidth(twips)); }
void RecordingPageWriter::setFontSize(double points) { m_ops.append(PrintOp::fontSize(points)); }
void RecordingPageWriter::setCurrentX(double twips) { m_ops.append(PrintOp::currentX(twips)); }
void RecordingPageWriter::setCurrentY(double twips) { m_ops.append(PrintOp::currentY(twips)); }
void RecordingPageWriter::printText(const QString &text) { m_ops.append(PrintOp::printText(text)); }
void RecordingPageWriter::line(double x1, double y1, double x2, double y2)
{
    m_ops.append(PrintOp::line(x1, y1, x2, y2));
}
void RecordingPageWriter::nextText(const QString &field, bool tooWide)
{
    if (!tooWide)
        return;
    int texts = 0;
    for (const PrintOp &op : m_ops)
        texts += op.kind == PrintOp::Kind::Text;
    m_tooWide.append({field, texts}); // the next text printed is the one
}

void RecordingPageWriter::endDocument() { m_ops.append(PrintOp::endDocument()); }

QList<PlacedText> RecordingPageWriter::placedTexts() const
{
    QList<PlacedText> out;
    double x = 0, y = 0, size = 0;
    for (const PrintOp &op : m_ops) {
        switch (op.kind) {
        case PrintOp::Kind::CurrentX: x = op.a; break;
        case PrintOp::Kind::CurrentY: y = op.a; break;
        case PrintOp::Kind::FontSize: size = op.a; break;
        case PrintOp::Kind::Text: out.append({x, y, size, op.text}); break;
        default: break;
        }
    }
    return out;
}

double RecordingPageWriter::lastValue(PrintOp::Kind kind) const
{
    for (auto it = m_ops.crbegin(); it != m_ops.crend(); ++it)
        if (it->kind == kind)
            return it->a;
    return 0;
}

int RecordingPageWriter::pageHeight() const { return int(lastValue(PrintOp::Kind::PageHeight)); }
int RecordingPageWriter::pageWidth() const { return int(lastValue(PrintOp::Kind::PageWidth)); }

int RecordingPageWriter::endDocumentCount() const
{
    int n = 0;
    for (const PrintOp &op : m_ops)
        n += op.kind == PrintOp::Kind::EndDocument;
    return n;
}

QString RecordingPageWriter::dump() const
{
    QStringList lines;
    for (const PrintOp &op : m_ops)
        lines << op.toString();
    return lines.join(QLatin1Char('\n'));
}

void replay(const QList<PrintOp> &ops, PageWriter &to)
{
    for (const PrintOp &op : ops)
        op.applyTo(to);
}

} // namespace printing
