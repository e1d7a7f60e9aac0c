#pragma once
// A page writer that keeps every operation, so print routines can be checked and replayed.

#include "printing/pagewriter.h"

#include <QList>
#include <QString>

#include <iosfwd>

namespace printing {

// One printer operation with its arguments. Unused arguments stay zero, the text stays empty
// unless the operation prints one.
struct PrintOp {
    enum class Kind { PageHeight, PageWidth, FontSize, CurrentX, CurrentY, Text, Line, EndDocument };

    Kind kind = Kind::EndDocument;
    double a = 0, b = 0, c = 0, d = 0; // the value (PageHeight..CurrentY) or x1, y1, x2, y2 (Line)
    QString text;

    static PrintOp pageHeight(int twips) { return {Kind::PageHeight, double(twips), 0, 0, 0, {}}; }
    static PrintOp pageWidth(int twips) { return {Kind::PageWidth, double(twips), 0, 0, 0, {}}; }
    static PrintOp fontSize(double points) { return {Kind::FontSize, points, 0, 0, 0, {}}; }
    static PrintOp currentX(double twips) { return {Kind::CurrentX, twips, 0, 0, 0, {}}; }
    static PrintOp currentY(double twips) { return {Kind::CurrentY, twips, 0, 0, 0, {}}; }
    static PrintOp printText(const QString &t) { return {Kind::Text, 0, 0, 0, 0, t}; }
    static PrintOp line(double x1, double y1, double x2, double y2) { return {Kind::Line, x1, y1, x2, y2, {}}; }
    static PrintOp endDocument() { return {Kind::EndDocument, 0, 0, 0, 0, {}}; }

    // Readable form for failure messages, e.g. `text "壹拾贰元整"` or `line (1140, 456)-(10830, 456)`.
    QString toString() const;
    // Sends the operation to a writer.
    void applyTo(PageWriter &w) const;
};

bool operator==(const PrintOp &x, const PrintOp &y);
inline bool operator!=(const PrintOp &x, const PrintOp &y) { return !(x == y); }

// A text as it lands on the page: the position and size in force when it was printed. This is the
// shape of the vouchers' print tables (position, size, text).
struct PlacedText {
    double x = 0;
    double y = 0;
    double size = 0;
    QString text;
    QString toString() const;
};

bool operator==(const PlacedText &p, const PlacedText &q);
inline bool operator!=(const PlacedText &p, const PlacedText &q) { return !(p == q); }

// Printing for GoogleTest's messages and, through toString() found by argument lookup, for QCOMPARE.
std::ostream &operator<<(std::ostream &os, const PrintOp &op);
std::ostream &operator<<(std::ostream &os, const PlacedText &t);
char *toString(const PrintOp &op);
char *toString(const PlacedText &t);

class RecordingPageWriter : public PageWriter {
public:
    void setPageHeight(int twips) override;
    void setPageWidth(int twips) override;
    void setFontSize(double points) override;
    void setCurrentX(double twips) override;
    void setCurrentY(double twips) override;
    void printText(const QString &text) override;
    void line(double x1, double y1, double x2, double y2) override;
    void endDocument() override;
    void nextText(const QString &field, bool tooWide) override;

    const QList<PrintOp> &ops() const { return m_ops; }
    void clear()
    {
        m_ops.clear();
        m_tooWide.clear();
    }
    // The fields that did not fit their place, with the index of their text among placedTexts().
    struct TooWide {
        QString field;
        int text;
    };
    const QList<TooWide> &tooWide() const { return m_tooWide; }

    // Every printed text with the position and font size in force at that moment. A size never
    // set reads as 0.
    QList<PlacedText> placedTexts() const;
    // The page size last set, 0 when never set.
    int pageHeight() const;
    int pageWidth() const;
    int endDocumentCount() const;
    // Every operation on a line of its own, for failure messages.
    QString dump() const;

private:
    double lastValue(PrintOp::Kind kind) const;
    QList<PrintOp> m_ops;
    QList<TooWide> m_tooWide;
};

// Sends recorded operations to another writer, in order.
void replay(const QList<PrintOp> &ops, PageWriter &to);

} // namespace printing
