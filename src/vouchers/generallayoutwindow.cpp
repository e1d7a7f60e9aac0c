#include "vouchers/generallayoutwindow.h"

#include "ui/prompter.h"
#include "ui_tydysz.h"

#include <QShowEvent>

namespace vouchers {

namespace {
const QString kTitle = QStringLiteral("通用凭证打印设置");
}

const QList<LayoutBox> &layoutFormBoxes()
{
    static const QList<LayoutBox> boxes = {
        {"Text1", "zhtl"},      {"Text2", "zhtu"},      {"Text19", "rqnl"},     {"Text20", "rqnu"},
        {"Text3", "rqyl"},      {"Text4", "rqyu"},      {"Text21", "rqrl"},     {"Text22", "rqru"},
        {"Text5", "hkrqcl"},    {"Text6", "hkrqcu"},    {"Text7", "hkrzhhl"},   {"Text8", "hkrzhhu"},
        {"Text9", "hcshengl"},  {"Text10", "hcshengu"}, {"Text11", "hcshil"},   {"Text12", "hcshiu"},
        {"Text13", "hchmcl"},   {"Text14", "hchmcu"},   {"Text23", "skrqcl"},   {"Text24", "skrqcu"},
        {"Text25", "skrzhhl"},  {"Text26", "skrzhhu"},  {"Text27", "hrshengl"}, {"Text28", "hrshengu"},
        {"Text29", "hrshil"},   {"Text30", "hrshiu"},   {"Text31", "hrhmcl"},   {"Text32", "hrhmcu"},
        {"Text15", "jedxl"},    {"Text16", "jedxu"},    {"Text33", "jexxl"},    {"Text34", "jexxu"},
        {"Text17", "zhmml"},    {"Text18", "zhmmu"},    {"Text35", "ytl"},      {"Text36", "ytu"},
        {"Text74", "jexxjg"},   {"Text73", "mmjg"},
    };
    return boxes;
}

GeneralLayoutWindow::GeneralLayoutWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(ui::setUpForm<Ui::tydysz>(this)), m_f(*ui), m_layout(m_connection)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The password spacing is kept and saved like every other value, but never shown.
    m_f.passwordSpacing->hide();
    m_f.passwordSpacingLabel->hide();

    connect(m_f.modify, &QPushButton::clicked, this, &GeneralLayoutWindow::modify);
    connect(m_f.save, &QPushButton::clicked, this, &GeneralLayoutWindow::save);
    connect(m_f.cancel, &QPushButton::clicked, this, &GeneralLayoutWindow::cancel);
    connect(m_f.exit, &QPushButton::clicked, this, &QWidget::close);

    m_layout.bind(this, layoutFormBoxes());
    if (!m_layout.load())
        ui::tell(this, QStringLiteral("无法读取通用凭证打印设置：%1").arg(m_layout.errorText()), kTitle,
                 ui::Icon::Critical);
    m_layout.show();
    m_layout.setLocked(true);
}

GeneralLayoutWindow::~GeneralLayoutWindow() { delete ui; }

void GeneralLayoutWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        m_f.modify->setFocus();
}

void GeneralLayoutWindow::setEditing(bool editing)
{
    m_layout.setLocked(!editing);
    m_f.modify->setEnabled(!editing);
    m_f.exit->setEnabled(!editing);
    m_f.save->setEnabled(editing);
    m_f.cancel->setEnabled(editing);
}

void GeneralLayoutWindow::modify()
{
    setEditing(true);
    m_f.firstBox->setFocus();
}

void GeneralLayoutWindow::save()
{
    m_layout.take();
    if (!m_layout.save()) {
        // Nothing was stored: the typed values stay, so the clerk can try again.
        ui::tell(this, QStringLiteral("设置没有保存：%1").arg(m_layout.errorText()), kTitle, ui::Icon::Warning);
        return;
    }
    m_layout.load();
    m_layout.show(); // a typed fraction shows as the whole millimetres it is kept in
    setEditing(false);
}

void GeneralLayoutWindow::cancel()
{
    m_layout.load();
    m_layout.show();
    setEditing(false);
}

} // namespace vouchers
