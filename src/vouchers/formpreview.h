#pragma once
// 套打预览: the voucher as it will print, drawn over a scan of the blank paper form at true scale
// (or on white with the page's outline), redrawn as entries and calibration are typed.

#include "vouchers/vocabulary.h"
#include "vouchers/formscan.h"
#include "printing/pagewriter.h"
#include "printing/pagewriter_painter.h"
#include "printing/pagewriter_recorder.h"

#include <QImage>
#include <QList>
#include <QWidget>

#include <functional>

class QDoubleSpinBox;
class QLabel;
class QScrollArea;
class QTimer;

namespace vouchers {

// The picture the preview shows: the scan (or white paper of the voucher's page size, A4 when it
// sets none) with every text and line of the routine drawn where the printer puts them. One image
// pixel is one scan pixel; *drawn gets each text's place in image pixels.
QImage composeFormPreview(const FormScan &scan, const PrintRoutine &routine,
                          QList<PainterPageWriter::Drawn> *drawn = nullptr);

class FormPreviewCanvas;

class FormPreviewWindow : public QWidget {
    Q_OBJECT
public:
    // window: the voucher window's name (its scan is kept under it); source: the voucher as it
    // stands now, asked again whenever the preview looks.
    FormPreviewWindow(const QString &window, std::function<PrintRoutine()> source, QWidget *parent = nullptr);

    const FormScan &scan() const { return m_scan; }
    double zoom() const;
    // The texts as last drawn (image pixels) and the picture.
    const QList<PainterPageWriter::Drawn> &drawn() const { return m_drawn; }
    const QImage &picture() const { return m_picture; }

    // Draws again when the voucher has changed since the last look.
    void refresh(bool force = false);
    void setZoom(double zoom);
    // The text under a point of the picture, as the status line names it.
    QString describeAt(const QPointF &imagePoint) const;
    // Placing: the next two clicks on the picture mark the form's top-left corner and a point whose
    // place on the form (millimetres) the two boxes give.
    void startPlacing();
    void placeAt(const QPointF &imagePoint);
    void chooseScan();
    void setScan(const FormScan &scan);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fitWidth();
    void rebuild();
    void dpiChanged(double dpi);
    void updateTooWide();

    QString m_window;
    std::function<PrintRoutine()> m_source;
    FormScan m_scan;
    QList<PrintOp> m_lastOps;
    QImage m_picture;
    QList<PainterPageWriter::Drawn> m_drawn;
    int m_placing = 0; // 0: not placing, 1: waiting for the corner, 2: for the second point

    FormPreviewCanvas *m_canvas;
    QScrollArea *m_scroll;
    QDoubleSpinBox *m_dpi;
    QDoubleSpinBox *m_pointX;
    QDoubleSpinBox *m_pointY;
    QLabel *m_status;
    QLabel *m_tooWide;
    QTimer *m_timer;
};

} // namespace vouchers
