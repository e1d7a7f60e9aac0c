#pragma once
// The page writer that draws on any painter in twips, for the screen: the form preview draws the
// same operations the printer gets, over a scan of the paper form.

#include "printing/pagewriter.h"

#include <QList>
#include <QPainter>
#include <QRectF>

namespace printing {

// The painter's coordinates are twips (the caller sets up its transform); a text stands with its
// top-left corner at the current position in the Song face at the size set, as on paper.
class PainterPageWriter : public PageWriter {
public:
    explicit PainterPageWriter(QPainter &painter);

    // Where each text went, in twips, with the field it belongs to when the routine named it.
    struct Drawn {
        QRectF rect;
        QString text;
        QString field;
        bool tooWide = false;
    };
    const QList<Drawn> &drawn() const { return m_drawn; }
    // The page size the routine set (twips; 0 when it set none).
    int pageHeight() const { return m_pageHeight; }
    int pageWidth() const { return m_pageWidth; }

    void setPageHeight(int twips) override { m_pageHeight = twips; }
    void setPageWidth(int twips) override { m_pageWidth = twips; }
    void setFontSize(double points) override;
    void setCurrentX(double twips) override { m_x = twips; }
    void setCurrentY(double twips) override { m_y = twips; }
    void printText(const QString &text) override;
    void line(double x1, double y1, double x2, double y2) override;
    void endDocument() override {}
    void nextText(const QString &field, bool tooWide) override;

private:
    QPainter &m_painter;
    QList<Drawn> m_drawn;
    double m_points = 9;
    double m_x = 0, m_y = 0;
    int m_pageHeight = 0, m_pageWidth = 0;
    QString m_field;
    bool m_tooWide = false;
};

} // namespace printing
