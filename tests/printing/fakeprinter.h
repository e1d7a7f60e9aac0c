#pragma once
// A QPrinter whose engine records what the painter sends it and fails on demand, so the printing
// paths can be watched without a real printer.

#include <QFont>
#include <QLineF>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPrintEngine>
#include <QPrinter>
#include <QVariant>

struct FakeText {
    QPointF baseline; // device pixels
    QString text;
    QFont font;
};

class FakePrintEngine : public QPaintEngine, public QPrintEngine {
public:
    // minimumMargins: what the printer cannot print on, in points, for every paper (a PPD's
    // HWMargins); the page layout starts with larger margins of its own, as Qt's does.
    explicit FakePrintEngine(int resolution = 600, const QMarginsF &minimumMargins = {})
        : QPaintEngine(QPaintEngine::AllFeatures), m_resolution(resolution), m_minimumMargins(minimumMargins),
          m_layout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                   minimumMargins + QMarginsF(10, 20, 10, 20), QPageLayout::Point, minimumMargins)
    {
    }

    // What may go wrong.
    bool failBegin = false;
    bool failEnd = false;
    bool errorAfterEnd = false;

    // What happened.
    int begins = 0;
    int ends = 0;
    QList<QPageLayout> layoutsAtBegin;
    QList<FakeText> texts;
    QList<QLineF> lines;
    QList<qreal> lineWidths;
    int drawings() const { return int(texts.size() + lines.size()) + otherDrawings; }
    int otherDrawings = 0;

    // QPaintEngine
    bool begin(QPaintDevice *) override
    {
        if (failBegin) {
            m_state = QPrinter::Error;
            return false;
        }
        ++begins;
        layoutsAtBegin.append(m_layout);
        m_state = QPrinter::Active;
        return true;
    }
    bool end() override
    {
        ++ends;
        m_state = errorAfterEnd ? QPrinter::Error : QPrinter::Idle;
        return !failEnd;
    }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { ++otherDrawings; }
    void drawPath(const QPainterPath &) override { ++otherDrawings; }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { ++otherDrawings; }
    void drawLines(const QLineF *l, int n) override
    {
        for (int i = 0; i < n; ++i) {
            lines.append(l[i]);
            lineWidths.append(painter()->pen().widthF());
        }
    }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        texts.append({p, item.text(), item.font()});
    }
    Type type() const override { return QPaintEngine::User; }

    // QPrintEngine
    void setProperty(PrintEnginePropertyKey key, const QVariant &value) override
    {
        switch (key) {
        case PPK_QPageSize: m_layout.setPageSize(value.value<QPageSize>(), m_minimumMargins); break;
        case PPK_Orientation: m_layout.setOrientation(QPageLayout::Orientation(value.toInt())); break;
        case PPK_FullPage:
            m_layout.setMode(value.toBool() ? QPageLayout::FullPageMode : QPageLayout::StandardMode);
            break;
        case PPK_QPageLayout: {
            // A printer keeps its own minimum margins whatever layout it is given.
            const QPageLayout given = value.value<QPageLayout>();
            m_layout = QPageLayout(given.pageSize(), given.orientation(), given.margins(), given.units(),
                                   m_minimumMargins);
            m_layout.setMode(given.mode());
            break;
        }
        case PPK_QPageMargins: {
            const auto pair = value.value<QPair<QMarginsF, QPageLayout::Unit>>();
            m_layout.setUnits(pair.second);
            m_layout.setMargins(pair.first);
            break;
        }
        case PPK_DocumentName: m_docName = value.toString(); break;
        default: break;
        }
    }
    QVariant property(PrintEnginePropertyKey key) const override
    {
        switch (key) {
        case PPK_QPageLayout: return QVariant::fromValue(m_layout);
        case PPK_QPageSize: return QVariant::fromValue(m_layout.pageSize());
        case PPK_QPageMargins:
            return QVariant::fromValue(qMakePair(m_layout.margins(), m_layout.units()));
        case PPK_FullPage: return m_layout.mode() == QPageLayout::FullPageMode;
        case PPK_Orientation: return int(m_layout.orientation());
        case PPK_Resolution: return m_resolution;
        case PPK_DocumentName: return m_docName;
        case PPK_PrinterName: return QStringLiteral("假打印机");
        case PPK_PageRect: return m_layout.paintRectPixels(m_resolution);
        case PPK_PaperRect: return m_layout.fullRectPixels(m_resolution);
        default: return QVariant();
        }
    }
    bool newPage() override
    {
        ++newPages;
        return true;
    }
    int newPages = 0;
    bool abort() override { return false; }
    int metric(QPaintDevice::PaintDeviceMetric m) const override
    {
        const QRect paint = m_layout.paintRectPixels(m_resolution);
        switch (m) {
        case QPaintDevice::PdmWidth: return paint.width();
        case QPaintDevice::PdmHeight: return paint.height();
        case QPaintDevice::PdmWidthMM: return qRound(m_layout.paintRect(QPageLayout::Millimeter).width());
        case QPaintDevice::PdmHeightMM: return qRound(m_layout.paintRect(QPageLayout::Millimeter).height());
        case QPaintDevice::PdmDpiX:
        case QPaintDevice::PdmDpiY:
        case QPaintDevice::PdmPhysicalDpiX:
        case QPaintDevice::PdmPhysicalDpiY: return m_resolution;
        case QPaintDevice::PdmDepth: return 32;
        case QPaintDevice::PdmNumColors: return INT_MAX;
        case QPaintDevice::PdmDevicePixelRatio: return 1;
        case QPaintDevice::PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }
    QPrinter::PrinterState printerState() const override { return m_state; }

private:
    int m_resolution;
    QMarginsF m_minimumMargins;
    QPageLayout m_layout;
    QString m_docName;
    QPrinter::PrinterState m_state = QPrinter::Idle;
};

class FakePrinter : public QPrinter {
public:
    explicit FakePrinter(FakePrintEngine *engine) { setEngines(engine, engine); }
};
