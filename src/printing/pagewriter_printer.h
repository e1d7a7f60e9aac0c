#pragma once
// The page writer that draws on a QPrinter: the system printer, a PDF file or the preview.

#include "printing/pagewriter.h"

#include <QPainter>

class QPrinter;

namespace printing {

// Draws in the printer's own coordinates, converting twips by the printer's resolution, so a
// position lands on the twip whatever the resolution. The origin is the top-left corner of the
// printable area the printer reports for the paper with fullPage() off (the page margins are set
// to the printer's minimum ones when the job starts), the paper's corner with it on (a PDF file).
//
// The job starts with the first drawing (or an explicit begin()) and uses the page size set up to
// then; a page size set while a document is open applies to the next one. Drawing after
// endDocument() starts a new document on the same printer. Text is set in the Song face at the
// size given in points; a size never set is 9 points.
class PrinterPageWriter : public PageWriter {
public:
    explicit PrinterPageWriter(QPrinter &printer);
    ~PrinterPageWriter() override; // a document still open is ended and handed over

    // Applies the page size and starts the job; false when the printer refused to start it.
    // Once starting or finishing a document has failed, later drawing is ignored.
    bool begin();
    bool isActive() const { return m_painter.isActive(); }
    bool hasFailed() const { return m_failed; }

    void setPageHeight(int twips) override { m_pageHeight = twips; }
    void setPageWidth(int twips) override { m_pageWidth = twips; }
    void setFontSize(double points) override;
    void setCurrentX(double twips) override { m_x = twips; }
    void setCurrentY(double twips) override { m_y = twips; }
    void printText(const QString &text) override;
    void line(double x1, double y1, double x2, double y2) override;
    void endDocument() override;
    // Ends the page and starts the next one of the same document (a batch of vouchers); false when
    // the printer refused.
    bool newPage();

private:
    bool ensureBegun();
    void applyPageSize();
    void countFromThePrintableArea();
    void applyFont();
    QPointF toDevice(double x, double y) const;

    QPrinter &m_printer;
    QPainter m_painter;
    int m_pageHeight = 0;
    int m_pageWidth = 0;
    double m_fontSize = 9;
    double m_appliedSize = 0; // the size of the painter's font
    double m_ascent = -1;     // its ascent in device pixels; -1 before the first font
    double m_x = 0;
    double m_y = 0;
    bool m_failed = false;
};

} // namespace printing
