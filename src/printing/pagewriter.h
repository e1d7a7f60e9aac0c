#pragma once
// The printer operations every voucher's print routine talks to, whatever the output is.

#include <QString>

#include <functional>

namespace printing {

// Positions and sizes are twips (1/1440 inch) from the top-left corner of the printable area,
// x to the right and y downwards. A text stands with its top-left corner at (current x, current y).
class PageWriter {
public:
    virtual ~PageWriter() = default;

    // The page size of the document; set before its first text.
    virtual void setPageHeight(int twips) = 0;
    virtual void setPageWidth(int twips) = 0;
    // Applies to every text printed after it until set again.
    virtual void setFontSize(double points) = 0;
    virtual void setCurrentX(double twips) = 0;
    virtual void setCurrentY(double twips) = 0;
    // Draws the text in the current font at the current position; the position does not move.
    virtual void printText(const QString &text) = 0;
    virtual void line(double x1, double y1, double x2, double y2) = 0;
    // Ends the page and hands the document over.
    virtual void endDocument() = 0;

    // Told by a print routine which field of the form the next text fills (its name on the form)
    // and whether it is wider than the place the form has for it even at the smallest size.
    // Draws nothing; a recorder keeps what does not fit, so that the clerk can be told before
    // anything prints, and the preview names the fields.
    virtual void nextText(const QString &field, bool tooWide)
    {
        Q_UNUSED(field);
        Q_UNUSED(tooWide);
    }
};

// A voucher's drawing: calls the operations above and nothing else, so the same routine drives the
// printer, a PDF file, the preview and the recorder of the tests.
using PrintRoutine = std::function<void(PageWriter &)>;

} // namespace printing
