#include "vouchers/formpreview.h"

#include "ui/prompter.h"
#include "printing/pagewriter_recorder.h"

#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace vouchers {

namespace {
constexpr double kTwipsPerMm = 1440 / 25.4;
constexpr double kA4Width = 11906, kA4Height = 16838; // twips
const QString kTitle = QStringLiteral("套打预览");
} // namespace

QImage composeFormPreview(const FormScan &scan, const PrintRoutine &routine, QList<PainterPageWriter::Drawn> *drawn)
{
    RecordingPageWriter rec;
    routine(rec);
    const double pageW = rec.pageWidth() > 0 ? rec.pageWidth() : kA4Width;
    const double pageH = rec.pageHeight() > 0 ? rec.pageHeight() : kA4Height;
    const QTransform toImage = scan.formToImage();

    QImage picture;
    if (scan.isEmpty()) {
        const QRectF page = toImage.mapRect(QRectF(0, 0, pageW, pageH));
        picture = QImage(page.size().toSize() + QSize(1, 1), QImage::Format_RGB32);
        picture.fill(Qt::white);
    } else {
        picture = scan.image.convertToFormat(QImage::Format_RGB32);
    }
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setTransform(toImage);
    // The paper's edge, where the voucher's page ends.
    QPen outline(QColor(150, 150, 150), 0, Qt::DashLine);
    p.setPen(outline);
    p.drawRect(QRectF(0, 0, pageW, pageH));
    p.setPen(QPen(Qt::black, 10)); // half a point, as printed
    // The routine drives the painter exactly as it drives the printer: the same operations in the
    // same order, with the names of the fields besides.
    PainterPageWriter writer(p);
    routine(writer);
    // Texts that do not fit even at the smallest size stand in red frames.
    p.setPen(QPen(Qt::red, 20));
    for (const PainterPageWriter::Drawn &d : writer.drawn())
        if (d.tooWide)
            p.drawRect(d.rect);
    p.end();
    if (drawn) {
        drawn->clear();
        for (PainterPageWriter::Drawn d : writer.drawn()) {
            d.rect = toImage.mapRect(d.rect);
            drawn->append(d);
        }
    }
    return picture;
}

// Shows the picture at the preview's zoom and tells the window where the mouse is.
class FormPreviewCanvas : public QWidget {
public:
    explicit FormPreviewCanvas(FormPreviewWindow *owner) : QWidget(owner), m_owner(owner) { setMouseTracking(true); }
    double zoom = 1;

    void update(const QImage &picture)
    {
        m_picture = picture;
        resize((QSizeF(picture.size()) * zoom).toSize());
        QWidget::update();
    }
    QPointF toImage(const QPointF &p) const { return p / zoom; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.scale(zoom, zoom);
        p.drawImage(0, 0, m_picture);
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        setToolTip(m_owner->describeAt(toImage(e->position())));
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        if (e->button() == Qt::LeftButton)
            m_owner->placeAt(toImage(e->position()));
    }
    void wheelEvent(QWheelEvent *e) override
    {
        if (!(e->modifiers() & Qt::ControlModifier)) {
            e->ignore();
            return;
        }
        m_owner->setZoom(zoom * (e->angleDelta().y() > 0 ? 1.25 : 0.8));
    }

private:
    FormPreviewWindow *m_owner;
    QImage m_picture;
};

FormPreviewWindow::FormPreviewWindow(const QString &window, std::function<PrintRoutine()> source, QWidget *parent)
    : QWidget(parent, Qt::Window), m_window(window), m_source(std::move(source))
{
    setObjectName(QStringLiteral("tdyl"));
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *chooseButton = new QPushButton(QStringLiteral("选择扫描图(&O)…"), this);
    chooseButton->setObjectName(QStringLiteral("chooseScan"));
    auto *clearButton = new QPushButton(QStringLiteral("清除扫描图"), this);
    clearButton->setObjectName(QStringLiteral("clearScan"));
    m_dpi = new QDoubleSpinBox(this);
    m_dpi->setObjectName(QStringLiteral("dpi"));
    m_dpi->setRange(0, 2400);
    m_dpi->setDecimals(0);
    m_dpi->setSpecialValueText(QStringLiteral("未知"));
    m_dpi->setSuffix(QStringLiteral(" dpi"));
    auto *placeButton = new QPushButton(QStringLiteral("两点定位(&L)"), this);
    placeButton->setObjectName(QStringLiteral("placeScan"));
    m_pointX = new QDoubleSpinBox(this);
    m_pointY = new QDoubleSpinBox(this);
    for (QDoubleSpinBox *b : {m_pointX, m_pointY}) {
        b->setRange(0, 1000);
        b->setDecimals(1);
        b->setSuffix(QStringLiteral(" mm"));
    }
    m_pointX->setObjectName(QStringLiteral("pointX"));
    m_pointY->setObjectName(QStringLiteral("pointY"));
    auto *zoomIn = new QPushButton(QStringLiteral("放大"), this);
    auto *zoomOut = new QPushButton(QStringLiteral("缩小"), this);
    auto *fit = new QPushButton(QStringLiteral("适合宽度"), this);
    auto *close = new QPushButton(QStringLiteral("关闭(&C)"), this);
    for (QPushButton *b : {chooseButton, clearButton, placeButton, zoomIn, zoomOut, fit, close})
        b->setAutoDefault(true);

    // Two rows, so that the window fits beside the voucher's boxes on a small screen.
    auto *tools = new QHBoxLayout;
    tools->addWidget(chooseButton);
    tools->addWidget(clearButton);
    tools->addWidget(new QLabel(QStringLiteral("分辨率"), this));
    tools->addWidget(m_dpi);
    tools->addStretch();
    tools->addWidget(zoomOut);
    tools->addWidget(zoomIn);
    tools->addWidget(fit);
    auto *placing = new QHBoxLayout;
    placing->addWidget(placeButton);
    placing->addWidget(new QLabel(QStringLiteral("第二点在凭证上的位置"), this));
    placing->addWidget(m_pointX);
    placing->addWidget(m_pointY);
    placing->addStretch();

    m_canvas = new FormPreviewCanvas(this);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_canvas);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_status = new QLabel(QStringLiteral("扫描图用实际大小显示：请选择空白凭证的扫描图（PNG、JPEG或PDF），并给出分辨率或两点定位。"),
                          this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_tooWide = new QLabel(this);
    m_tooWide->setObjectName(QStringLiteral("tooWide"));
    m_tooWide->setStyleSheet(QStringLiteral("color: #b00000;"));

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addLayout(placing);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_tooWide);
    layout->addLayout(bottom);

    connect(chooseButton, &QPushButton::clicked, this, &FormPreviewWindow::chooseScan);
    connect(clearButton, &QPushButton::clicked, this, [this] {
        removeFormScan(m_window);
        setScan({});
    });
    connect(m_dpi, &QDoubleSpinBox::valueChanged, this, &FormPreviewWindow::dpiChanged);
    connect(placeButton, &QPushButton::clicked, this, &FormPreviewWindow::startPlacing);
    connect(zoomIn, &QPushButton::clicked, this, [this] { setZoom(zoom() * 1.25); });
    connect(zoomOut, &QPushButton::clicked, this, [this] { setZoom(zoom() * 0.8); });
    connect(fit, &QPushButton::clicked, this, &FormPreviewWindow::fitWidth);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    // The entries and the calibration are typed in the voucher window: look again now and then.
    m_timer = new QTimer(this);
    m_timer->setInterval(250);
    connect(m_timer, &QTimer::timeout, this, [this] { refresh(); });
    m_timer->start();

    resize(960, 640);
    setScan(loadFormScan(m_window));
}

double FormPreviewWindow::zoom() const { return m_canvas->zoom; }

void FormPreviewWindow::fitWidth()
{
    if (!m_picture.isNull())
        setZoom(double(qMax(200, m_scroll->viewport()->width() - 4)) / m_picture.width());
}

void FormPreviewWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The whole width at first sight, once the window has its size.
    QTimer::singleShot(0, this, &FormPreviewWindow::fitWidth);
}

void FormPreviewWindow::setZoom(double zoom)
{
    m_canvas->zoom = qBound(0.05, zoom, 8.0);
    m_canvas->update(m_picture);
}

void FormPreviewWindow::setScan(const FormScan &scan)
{
    m_scan = scan;
    const QSignalBlocker quiet(m_dpi);
    m_dpi->setValue(scan.dpi);
    m_dpi->setEnabled(!scan.isEmpty());
    if (scan.isEmpty())
        m_status->setText(QStringLiteral("没有扫描图：凭证画在白纸上，虚线为纸张边缘。可选择空白凭证的扫描图（PNG、JPEG或PDF），"
                                         "按分辨率或两点定位放在实际位置。"));
    else if (scan.dpi <= 0 && !scan.placed)
        m_status->setText(QStringLiteral("扫描图中没有分辨率：请填写扫描时的分辨率（dpi），或用“两点定位”。"));
    else
        m_status->setText(QStringLiteral("扫描图按实际大小放置。鼠标停在字段上可看到字段名称；修改打印设置后立即重画。"));
    refresh(true);
    fitWidth();
}

void FormPreviewWindow::chooseScan()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("选择空白凭证的扫描图"), QString(),
                                                      QStringLiteral("扫描图 (*.png *.jpg *.jpeg *.pdf)"));
    if (file.isEmpty())
        return;
    QString error;
    const FormScan scan = importFormScan(m_window, file, &error);
    if (scan.isEmpty()) {
        ui::tell(this, error, kTitle, ui::Icon::Warning);
        return;
    }
    setScan(scan);
}

void FormPreviewWindow::dpiChanged(double dpi)
{
    m_scan.dpi = dpi;
    m_scan.placed = false; // the resolution now decides the scale
    saveFormScanPlacement(m_window, m_scan);
    refresh(true);
}

void FormPreviewWindow::startPlacing()
{
    if (m_scan.isEmpty()) {
        ui::tell(this, QStringLiteral("请先选择扫描图。"), kTitle, ui::Icon::Information);
        return;
    }
    m_placing = 1;
    m_status->setText(QStringLiteral("请在图上点击凭证的左上角。"));
}

void FormPreviewWindow::placeAt(const QPointF &imagePoint)
{
    if (m_placing == 1) {
        m_scan.imageA = imagePoint;
        m_scan.formA = QPointF(0, 0);
        m_placing = 2;
        m_status->setText(QStringLiteral("请点击第二点：它在凭证上的位置（距左上角的毫米数）填在上方的两个框里。"));
        return;
    }
    if (m_placing == 2) {
        m_scan.imageB = imagePoint;
        m_scan.formB = QPointF(m_pointX->value() * kTwipsPerMm, m_pointY->value() * kTwipsPerMm);
        m_scan.placed = true;
        m_placing = 0;
        if (!saveFormScanPlacement(m_window, m_scan))
            ui::tell(this, QStringLiteral("定位没有保存。"), kTitle, ui::Icon::Warning);
        m_status->setText(QStringLiteral("已按两点定位。"));
        refresh(true);
    }
}

void FormPreviewWindow::refresh(bool force)
{
    if (!m_source)
        return;
    RecordingPageWriter rec;
    m_source()(rec);
    if (!force && rec.ops() == m_lastOps)
        return;
    m_lastOps = rec.ops();
    rebuild();
}

void FormPreviewWindow::rebuild()
{
    m_picture = composeFormPreview(m_scan, m_source(), &m_drawn);
    m_canvas->update(m_picture);
    updateTooWide();
}

void FormPreviewWindow::updateTooWide()
{
    QStringList fields;
    for (const PainterPageWriter::Drawn &d : std::as_const(m_drawn))
        if (d.tooWide)
            fields << QStringLiteral("“%1”").arg(d.field);
    m_tooWide->setText(fields.isEmpty() ? QString()
                                        : QStringLiteral("红框中的%1太长，缩小到6磅仍放不下，请缩短。")
                                              .arg(fields.join(QStringLiteral("、"))));
}

QString FormPreviewWindow::describeAt(const QPointF &imagePoint) const
{
    for (const PainterPageWriter::Drawn &d : m_drawn)
        if (d.rect.contains(imagePoint))
            return d.field.isEmpty() ? d.text : QStringLiteral("%1：%2").arg(d.field, d.text);
    return QString();
}

} // namespace vouchers
