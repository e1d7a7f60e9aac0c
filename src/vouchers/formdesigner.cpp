#include "vouchers/formdesigner.h"

#include "printing/printing.h"
#include "ui/prompter.h"
#include "vouchers/customformstore.h"
#include "vouchers/formpreview.h"
#include "vouchers/voucherdata.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>

#include <cmath>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vouchers {

namespace {
constexpr double kTwipsPerMm = 1440 / 25.4;
const QString kTitle = QStringLiteral("自定义凭证");

double mm(double twips) { return twips / kTwipsPerMm; }
double twips(double millimetres) { return millimetres * kTwipsPerMm; }

QPushButton *button(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(true);
    return b;
}

QDoubleSpinBox *millimetres(const QString &name, double max, QWidget *parent)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setDecimals(1);
    box->setRange(0, max);
    box->setSingleStep(0.5);
    box->setSuffix(QStringLiteral(" mm"));
    return box;
}

// What the designer writes in each field: plausible texts of the field's length.
CustomFace sampleFace(const CustomForm &form)
{
    CustomFace f;
    f.ownName = QStringLiteral("本单位名称有限公司");
    f.ownAccount = QStringLiteral("6222000011112222333");
    f.ownBank = QStringLiteral("本单位开户银行支行");
    f.ownProvince = QStringLiteral("某省");
    f.ownCity = QStringLiteral("某市");
    f.partyName = QStringLiteral("对方单位名称有限公司");
    f.partyAccount = QStringLiteral("6228000044445555666");
    f.partyBank = QStringLiteral("对方开户银行支行");
    f.partyProvince = QStringLiteral("某省");
    f.partyCity = QStringLiteral("某市");
    f.amount = QStringLiteral("12345.67");
    setFaceDate(f, QDate::currentDate());
    f.purpose = QStringLiteral("货款");
    f.number = QStringLiteral("00012345");
    f.password = QStringLiteral("1234567890123456");
    for (const QString &group : form.tickGroups())
        for (const QString &choice : form.choicesOf(group))
            f.choices.insert(group, choice); // every tick shows: the last choice of each group
    for (const QString &caption : form.noteCaptions())
        f.notes.insert(caption, caption);
    return f;
}
} // namespace

// The scan with the fields drawn as they print, and a frame round each field's place.
class FormCanvas : public QWidget {
public:
    explicit FormCanvas(FormDesignerWindow *designer) : QWidget(designer), m_designer(designer)
    {
        setObjectName(QStringLiteral("canvas"));
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(false);
    }
    void setPicture(const QImage &picture, const QList<QRectF> &boxes, int chosen, double zoom)
    {
        m_picture = picture;
        m_boxes = boxes;
        m_chosen = chosen;
        m_zoom = zoom;
        resize((QSizeF(picture.size()) * zoom).toSize());
        update();
    }
    double zoom() const { return m_zoom; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.scale(m_zoom, m_zoom);
        p.drawImage(0, 0, m_picture);
        for (int i = 0; i < m_boxes.size(); ++i) {
            QPen pen(i == m_chosen ? QColor(220, 0, 0) : QColor(0, 90, 200), 0, i == m_chosen ? Qt::SolidLine : Qt::DashLine);
            pen.setWidthF(i == m_chosen ? 2 / m_zoom : 1 / m_zoom);
            p.setPen(pen);
            p.drawRect(m_boxes[i]);
        }
        if (hasFocus()) {
            p.resetTransform();
            p.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        setFocus();
        const QPointF at = event->position() / m_zoom;
        int hit = -1;
        for (int i = int(m_boxes.size()) - 1; i >= 0 && hit < 0; --i)
            if (m_boxes[i].adjusted(-2, -2, 2, 2).contains(at))
                hit = i;
        if (m_designer->isPlacing()) {
            m_designer->placeAt(at);
            return;
        }
        m_dragFrom = at;
        m_dragging = hit >= 0 && event->button() == Qt::LeftButton;
        if (hit >= 0)
            m_designer->chooseField(hit);
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!m_dragging || m_designer->chosenField() < 0)
            return;
        const QPointF at = event->position() / m_zoom;
        const QTransform toForm = m_designer->form().scan.formToImage().inverted();
        const QPointF d = toForm.map(at) - toForm.map(m_dragFrom);
        m_dragFrom = at;
        m_designer->moveChosen(d.x() / kTwipsPerMm, d.y() / kTwipsPerMm, false);
    }
    void mouseReleaseEvent(QMouseEvent *) override { m_dragging = false; }
    void keyPressEvent(QKeyEvent *event) override
    {
        const double step = event->modifiers() & Qt::ShiftModifier ? 5 : 0.5;
        switch (event->key()) {
        case Qt::Key_Left: m_designer->moveChosen(-step, 0); break;
        case Qt::Key_Right: m_designer->moveChosen(step, 0); break;
        case Qt::Key_Up: m_designer->moveChosen(0, -step); break;
        case Qt::Key_Down: m_designer->moveChosen(0, step); break;
        case Qt::Key_Escape:
            if (m_designer->isPlacing()) {
                m_designer->cancelPlacing();
                break;
            }
            QWidget::keyPressEvent(event);
            return;
        default: QWidget::keyPressEvent(event); return;
        }
        event->accept();
    }
    void focusInEvent(QFocusEvent *event) override
    {
        QWidget::focusInEvent(event);
        update();
    }
    void focusOutEvent(QFocusEvent *event) override
    {
        QWidget::focusOutEvent(event);
        update();
    }

private:
    FormDesignerWindow *m_designer;
    QImage m_picture;
    QList<QRectF> m_boxes;
    int m_chosen = -1;
    double m_zoom = 1;
    QPointF m_dragFrom;
    bool m_dragging = false;
};

FormDesignerWindow::FormDesignerWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("zdypz"));
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    chooseExportFile = [](QWidget *parent, const QString &proposed) {
        QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("导出凭证格式"), proposed,
                                                    QStringLiteral("凭证格式文件 (*.json)"));
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".json");
        return path;
    };
    chooseImportFile = [](QWidget *parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("导入凭证格式"), documentsFolder(),
                                            QStringLiteral("凭证格式文件 (*.json)"));
    };
    chooseScanFile = [](QWidget *parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("选择空白凭证的扫描图"), documentsFolder(),
                                            QStringLiteral("扫描图 (*.png *.jpg *.jpeg *.pdf)"));
    };

    // Left: the forms and what is done with them.
    auto *left = new QVBoxLayout;
    auto *formsLabel = new QLabel(QStringLiteral("已定义的凭证(&L)："), this);
    m_forms = new QListWidget(this);
    m_forms->setObjectName(QStringLiteral("forms"));
    formsLabel->setBuddy(m_forms);
    left->addWidget(formsLabel);
    left->addWidget(m_forms, 1);
    auto *newButton = button(QStringLiteral("newForm"), QStringLiteral("新建(&N)"), this);
    auto *openVoucherButton = button(QStringLiteral("openVoucher"), QStringLiteral("打开凭证(&O)"), this);
    auto *removeButton = button(QStringLiteral("removeForm"), QStringLiteral("删除凭证(&D)"), this);
    auto *importButton = button(QStringLiteral("importForm"), QStringLiteral("导入(&I)…"), this);
    auto *exportButton = button(QStringLiteral("exportForm"), QStringLiteral("导出(&E)…"), this);
    m_template = new QComboBox(this);
    m_template->setObjectName(QStringLiteral("template"));
    for (const VoucherKind &k : voucherKinds())
        if (k.window != QLatin1String("jkddy"))
            m_template->addItem(k.name, k.window);
    auto *templateButton = button(QStringLiteral("fromTemplate"), QStringLiteral("以此为模板(&T)"), this);
    auto *buttonsGrid = new QGridLayout;
    buttonsGrid->addWidget(newButton, 0, 0);
    buttonsGrid->addWidget(openVoucherButton, 0, 1);
    buttonsGrid->addWidget(importButton, 1, 0);
    buttonsGrid->addWidget(exportButton, 1, 1);
    buttonsGrid->addWidget(removeButton, 2, 0);
    left->addLayout(buttonsGrid);
    left->addWidget(m_template);
    left->addWidget(templateButton);

    auto *paper = new QGroupBox(QStringLiteral("凭证"), this);
    auto *paperForm = new QFormLayout(paper);
    m_name = new QLineEdit(paper);
    m_name->setObjectName(QStringLiteral("name"));
    m_role = new QComboBox(paper);
    m_role->setObjectName(QStringLiteral("role"));
    m_role->addItem(QStringLiteral("收款人（本单位付款）"), kRolePayee);
    m_role->addItem(QStringLiteral("付款人（本单位收款）"), kRolePayer);
    m_paperWidth = millimetres(QStringLiteral("paperWidth"), 1000, paper);
    m_paperHeight = millimetres(QStringLiteral("paperHeight"), 1000, paper);
    auto *scanButton = button(QStringLiteral("chooseScan"), QStringLiteral("扫描图(&M)…"), paper);
    m_dpi = new QDoubleSpinBox(paper);
    m_dpi->setObjectName(QStringLiteral("dpi"));
    m_dpi->setRange(0, 10000); // what a form file may hold
    m_dpi->setDecimals(4);     // a PNG states 299.9994 dpi: shown as it is, never rounded away
    m_dpi->setSuffix(QStringLiteral(" dpi"));
    auto *nameLabel = new QLabel(QStringLiteral("名称(&A)："), paper);
    nameLabel->setBuddy(m_name);
    paperForm->addRow(nameLabel, m_name);
    paperForm->addRow(QStringLiteral("客户的身份："), m_role);
    paperForm->addRow(QStringLiteral("纸宽："), m_paperWidth);
    paperForm->addRow(QStringLiteral("纸高："), m_paperHeight);
    auto *scanRow = new QHBoxLayout;
    scanRow->addWidget(scanButton);
    scanRow->addWidget(m_dpi);
    paperForm->addRow(QStringLiteral("扫描图："), scanRow);
    m_pointX = millimetres(QStringLiteral("pointX"), 1000, paper);
    m_pointY = millimetres(QStringLiteral("pointY"), 1000, paper);
    m_pointX->setPrefix(QStringLiteral("左 "));
    m_pointY->setPrefix(QStringLiteral("上 "));
    auto *pointRow = new QHBoxLayout;
    pointRow->addWidget(m_pointX);
    pointRow->addWidget(m_pointY);
    paperForm->addRow(QStringLiteral("第二点："), pointRow);
    auto *placeButton = button(QStringLiteral("placeScan"), QStringLiteral("两点定位(&W)"), paper);
    paperForm->addRow(placeButton);
    left->addWidget(paper);

    // Middle: the scan with its boxes.
    m_canvas = new FormCanvas(this);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("canvasArea"));
    m_scroll->setWidget(m_canvas);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_position = new QLabel(this);
    m_position->setObjectName(QStringLiteral("position"));
    m_zoom = new QDoubleSpinBox(this);
    m_zoom->setObjectName(QStringLiteral("zoom"));
    m_zoom->setRange(10, 400);
    m_zoom->setDecimals(0);
    m_zoom->setSingleStep(10);
    m_zoom->setSuffix(QStringLiteral(" %"));
    m_zoom->setValue(50);
    auto *zoomLabel = new QLabel(QStringLiteral("缩放(&Z)："), this);
    zoomLabel->setBuddy(m_zoom);
    auto *middle = new QVBoxLayout;
    middle->addWidget(m_scroll, 1);
    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(m_position, 1);
    statusRow->addWidget(zoomLabel);
    statusRow->addWidget(m_zoom);
    middle->addLayout(statusRow);
    auto *hint = new QLabel(QStringLiteral("在扫描图上拖动栏目；方向键移动0.5毫米，Shift+方向键移动5毫米。"), this);
    hint->setWordWrap(true);
    middle->addWidget(hint);

    // Right: the fields.
    auto *right = new QVBoxLayout;
    auto *addRow = new QHBoxLayout;
    m_fieldType = new QComboBox(this);
    m_fieldType->setObjectName(QStringLiteral("fieldType"));
    for (const FieldType &t : fieldTypes())
        m_fieldType->addItem(t.caption, int(t.kind));
    auto *addButton = button(QStringLiteral("addField"), QStringLiteral("添加栏目(&F)"), this);
    addRow->addWidget(m_fieldType, 1);
    addRow->addWidget(addButton);
    right->addLayout(addRow);
    m_fields = new QListWidget(this);
    m_fields->setObjectName(QStringLiteral("fields"));
    right->addWidget(m_fields, 1);
    auto *props = new QGroupBox(QStringLiteral("所选栏目"), this);
    auto *propsForm = new QFormLayout(props);
    m_fieldX = millimetres(QStringLiteral("fieldX"), 1000, props);
    m_fieldY = millimetres(QStringLiteral("fieldY"), 1000, props);
    m_fieldPoints = new QDoubleSpinBox(props);
    m_fieldPoints->setObjectName(QStringLiteral("fieldPoints"));
    m_fieldPoints->setRange(5, 72);
    m_fieldPoints->setDecimals(1);
    m_fieldPoints->setSingleStep(0.5);
    m_fieldPoints->setSuffix(QStringLiteral(" 磅"));
    m_fieldWidth = millimetres(QStringLiteral("fieldWidth"), 1000, props);
    m_fieldWidth->setSpecialValueText(QStringLiteral("不限"));
    m_fieldCells = new QSpinBox(props);
    m_fieldCells->setObjectName(QStringLiteral("fieldCells"));
    m_fieldCells->setRange(1, 11);
    m_fieldPitch = millimetres(QStringLiteral("fieldPitch"), 100, props);
    m_fieldPitch->setDecimals(2);
    m_fieldText = new QLineEdit(props);
    m_fieldText->setObjectName(QStringLiteral("fieldText"));
    m_fieldChoice = new QLineEdit(props);
    m_fieldChoice->setObjectName(QStringLiteral("fieldChoice"));
    auto *xLabel = new QLabel(QStringLiteral("左边距(&H)："), props);
    xLabel->setBuddy(m_fieldX);
    auto *yLabel = new QLabel(QStringLiteral("上边距(&Y)："), props);
    yLabel->setBuddy(m_fieldY);
    propsForm->addRow(xLabel, m_fieldX);
    propsForm->addRow(yLabel, m_fieldY);
    propsForm->addRow(QStringLiteral("字号："), m_fieldPoints);
    propsForm->addRow(QStringLiteral("宽度："), m_fieldWidth);
    propsForm->addRow(QStringLiteral("格数："), m_fieldCells);
    propsForm->addRow(QStringLiteral("格距："), m_fieldPitch);
    propsForm->addRow(QStringLiteral("文字/选项组/名称："), m_fieldText);
    propsForm->addRow(QStringLiteral("选项："), m_fieldChoice);
    auto *removeFieldButton = button(QStringLiteral("removeField"), QStringLiteral("删除栏目(&R)"), props);
    propsForm->addRow(removeFieldButton);
    right->addWidget(props);
    auto *bottom = new QHBoxLayout;
    auto *saveButton = button(QStringLiteral("save"), QStringLiteral("保存(&S)"), this);
    auto *exitButton = button(QStringLiteral("exit"), QStringLiteral("退出(&X)"), this);
    bottom->addStretch();
    bottom->addWidget(saveButton);
    bottom->addWidget(exitButton);
    right->addLayout(bottom);

    auto *layout = new QHBoxLayout(this);
    auto *leftBox = new QWidget(this);
    leftBox->setLayout(left);
    leftBox->setMaximumWidth(300);
    auto *rightBox = new QWidget(this);
    rightBox->setLayout(right);
    rightBox->setMaximumWidth(300);
    layout->addWidget(leftBox);
    layout->addLayout(middle, 1);
    layout->addWidget(rightBox);

    connect(newButton, &QPushButton::clicked, this, [this] {
        newForm(QStringLiteral("新凭证"), 210, 99, kRolePayee);
        m_name->setFocus();
        m_name->selectAll();
    });
    connect(templateButton, &QPushButton::clicked, this,
            [this] { startFromBuiltIn(m_template->currentData().toString()); });
    connect(openVoucherButton, &QPushButton::clicked, this, [this] {
        if (m_form.id == 0 || m_modified) {
            if (!save())
                return;
        }
        if (openVoucher)
            openVoucher(m_form);
    });
    connect(removeButton, &QPushButton::clicked, this, &FormDesignerWindow::removeForm);
    connect(importButton, &QPushButton::clicked, this, &FormDesignerWindow::importForm);
    connect(exportButton, &QPushButton::clicked, this, &FormDesignerWindow::exportForm);
    connect(scanButton, &QPushButton::clicked, this, &FormDesignerWindow::pickScan);
    connect(placeButton, &QPushButton::clicked, this, &FormDesignerWindow::startPlacing);
    connect(addButton, &QPushButton::clicked, this,
            [this] { addField(FieldKind(m_fieldType->currentData().toInt())); });
    connect(removeFieldButton, &QPushButton::clicked, this, [this] { removeField(m_chosen); });
    connect(saveButton, &QPushButton::clicked, this, &FormDesignerWindow::save);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_forms, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { openForm(item->data(Qt::UserRole).toLongLong()); });
    // A click or Enter opens a form; the focus arriving in the list does not.
    connect(m_forms, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (!m_showing && item->data(Qt::UserRole).toLongLong() != m_form.id)
            openForm(item->data(Qt::UserRole).toLongLong());
    });
    connect(m_fields, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_showing)
            chooseField(row);
    });
    connect(m_zoom, &QDoubleSpinBox::valueChanged, this, [this] { redraw(); });
    for (QLineEdit *e : {m_name})
        connect(e, &QLineEdit::textEdited, this, &FormDesignerWindow::takeFormBoxes);
    connect(m_role, &QComboBox::currentIndexChanged, this, [this] {
        takeFormBoxes();
        if (!m_showing)
            showForm(); // the fields' captions follow the role
    });
    for (QDoubleSpinBox *b : {m_paperWidth, m_paperHeight, m_dpi})
        connect(b, &QDoubleSpinBox::valueChanged, this, &FormDesignerWindow::takeFormBoxes);
    for (QDoubleSpinBox *b : {m_fieldX, m_fieldY, m_fieldPoints, m_fieldWidth, m_fieldPitch})
        connect(b, &QDoubleSpinBox::valueChanged, this, &FormDesignerWindow::takeFieldBoxes);
    connect(m_fieldCells, &QSpinBox::valueChanged, this, &FormDesignerWindow::takeFieldBoxes);
    for (QLineEdit *e : {m_fieldText, m_fieldChoice})
        connect(e, &QLineEdit::textEdited, this, &FormDesignerWindow::takeFieldBoxes);

    fillFormList();
    if (m_forms->count() > 0)
        openForm(m_forms->item(0)->data(Qt::UserRole).toLongLong());
    else
        newForm(QStringLiteral("新凭证"), 210, 99, kRolePayee);
    resize(1180, 720);
}

FormDesignerWindow::~FormDesignerWindow() = default;

QWidget *FormDesignerWindow::canvas() const { return m_canvas; }

void FormDesignerWindow::fillFormList()
{
    m_showing = true;
    m_forms->clear();
    QString error;
    for (const CustomForm &f : loadCustomForms(m_connection, &error)) {
        auto *item = new QListWidgetItem(f.name, m_forms);
        item->setData(Qt::UserRole, f.id);
        if (f.id == m_form.id)
            m_forms->setCurrentItem(item);
    }
    m_showing = false;
    if (!error.isEmpty())
        ui::tell(this, QStringLiteral("无法读取自定义凭证：%1").arg(error), kTitle, ui::Icon::Warning);
}

bool FormDesignerWindow::keepOrDiscard()
{
    if (!m_modified)
        return true;
    const ui::Button answer = ui::ask(this, QStringLiteral("凭证“%1”已修改，是否保存？").arg(m_form.name), kTitle,
                                      ui::Yes | ui::No | ui::Cancel, ui::Icon::Question, ui::Yes);
    if (answer == ui::Yes)
        return save();
    return answer == ui::No;
}

bool FormDesignerWindow::newForm(const QString &name, double widthMm, double heightMm, const QString &role)
{
    if (!keepOrDiscard())
        return false;
    m_form = CustomForm{};
    m_form.name = name;
    m_form.role = role;
    m_form.width = qRound(twips(widthMm));
    m_form.height = qRound(twips(heightMm));
    m_chosen = -1;
    m_modified = false;
    showForm();
    return true;
}

bool FormDesignerWindow::startFromBuiltIn(const QString &window)
{
    std::optional<CustomForm> form = formFromBuiltIn(window);
    if (!form || !keepOrDiscard())
        return false;
    m_form = *form;
    m_chosen = m_form.fields.isEmpty() ? -1 : 0;
    m_modified = true;
    showForm();
    return true;
}

bool FormDesignerWindow::openForm(qint64 id)
{
    if (id == m_form.id && !m_modified)
        return true;
    if (!keepOrDiscard()) {
        fillFormList();
        return false;
    }
    const std::optional<CustomForm> form = loadCustomForm(m_connection, id);
    if (!form) {
        ui::tell(this, QStringLiteral("无法读取这个凭证格式（可能已被删除）。"), kTitle, ui::Icon::Warning);
        fillFormList();
        return false;
    }
    m_form = *form;
    m_chosen = m_form.fields.isEmpty() ? -1 : 0;
    m_modified = false;
    showForm();
    return true;
}

void FormDesignerWindow::showForm()
{
    m_placing = 0; // another form, or the same one anew: a placing begun stops
    m_showing = true;
    m_name->setText(m_form.name);
    m_role->setCurrentIndex(m_form.role == kRolePayer ? 1 : 0);
    m_paperWidth->setValue(mm(m_form.width));
    m_paperHeight->setValue(mm(m_form.height));
    m_dpi->setValue(m_form.scan.dpi);
    m_dpi->setEnabled(!m_form.scan.isEmpty());
    m_fields->clear();
    for (const CustomField &f : m_form.fields) {
        QString caption = fieldCaption(f.kind, m_form.role);
        if (!f.text.isEmpty())
            caption += QStringLiteral("：") + f.text + (f.choice.isEmpty() ? QString() : QStringLiteral(" ") + f.choice);
        m_fields->addItem(caption);
    }
    m_fields->setCurrentRow(m_chosen);
    m_showing = false;
    showField();
    fitWidth();
    redraw();
}

void FormDesignerWindow::showField()
{
    m_showing = true;
    const bool any = m_chosen >= 0 && m_chosen < m_form.fields.size();
    for (QWidget *w : std::initializer_list<QWidget *>{m_fieldX, m_fieldY, m_fieldPoints, m_fieldWidth, m_fieldCells,
                                                       m_fieldPitch, m_fieldText, m_fieldChoice})
        w->setEnabled(any);
    if (any) {
        const CustomField &f = m_form.fields[m_chosen];
        m_fieldX->setValue(mm(f.x));
        m_fieldY->setValue(mm(f.y));
        m_fieldPoints->setValue(f.points);
        m_fieldWidth->setValue(mm(f.width));
        m_fieldCells->setValue(qMax(1, f.cells));
        m_fieldPitch->setValue(mm(f.pitch));
        m_fieldText->setText(f.text);
        m_fieldChoice->setText(f.choice);
        const bool cells = f.kind == FieldKind::AmountCells;
        m_fieldCells->setEnabled(cells);
        m_fieldPitch->setEnabled(cells);
        m_fieldWidth->setEnabled(!cells);
        m_fieldText->setEnabled(f.kind == FieldKind::FixedText || f.kind == FieldKind::Tick || f.kind == FieldKind::Note);
        m_fieldChoice->setEnabled(f.kind == FieldKind::Tick);
        if (m_fields->currentRow() != m_chosen)
            m_fields->setCurrentRow(m_chosen);
    }
    m_position->setText(positionText());
    m_showing = false;
}

QString FormDesignerWindow::positionText() const
{
    if (m_chosen < 0 || m_chosen >= m_form.fields.size())
        return QStringLiteral("未选栏目");
    const CustomField &f = m_form.fields[m_chosen];
    return QStringLiteral("%1：左 %2 mm，上 %3 mm")
        .arg(fieldCaption(f.kind, m_form.role))
        .arg(mm(f.x), 0, 'f', 1)
        .arg(mm(f.y), 0, 'f', 1);
}

void FormDesignerWindow::fitWidth()
{
    // The whole width of the paper in sight: the zoom at which the picture fills the view.
    const double width = m_form.scan.isEmpty()
                             ? m_form.scan.formToImage().mapRect(QRectF(0, 0, m_form.width, m_form.height)).width()
                             : m_form.scan.image.width();
    const int view = m_scroll->viewport()->width() - 4;
    if (width <= 0 || view <= 0)
        return;
    const QSignalBlocker quiet(m_zoom);
    m_zoom->setValue(qBound(10.0, std::floor(view / width * 100), 400.0));
}

void FormDesignerWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitWidth();
    redraw();
}

void FormDesignerWindow::takeFormBoxes()
{
    if (m_showing)
        return;
    m_form.name = m_name->text();
    m_form.role = m_role->currentData().toString();
    m_form.width = qRound(twips(m_paperWidth->value()));
    m_form.height = qRound(twips(m_paperHeight->value()));
    if (!m_form.scan.isEmpty() && qAbs(m_dpi->value() - m_form.scan.dpi) > 1e-6) {
        m_form.scan.dpi = m_dpi->value();
        m_form.scan.placed = false; // the resolution now decides the scale
    }
    changed();
}

void FormDesignerWindow::takeFieldBoxes()
{
    if (m_showing || m_chosen < 0 || m_chosen >= m_form.fields.size())
        return;
    CustomField &f = m_form.fields[m_chosen];
    f.x = twips(m_fieldX->value());
    f.y = twips(m_fieldY->value());
    f.points = m_fieldPoints->value();
    f.width = twips(m_fieldWidth->value());
    if (f.kind == FieldKind::AmountCells) {
        f.cells = m_fieldCells->value();
        f.pitch = twips(m_fieldPitch->value());
    }
    f.text = m_fieldText->text();
    f.choice = m_fieldChoice->text();
    m_position->setText(positionText());
    changed();
}

void FormDesignerWindow::changed()
{
    m_modified = true;
    redraw();
}

void FormDesignerWindow::setScan(const FormScan &scan)
{
    m_form.scan = scan;
    m_modified = true;
    showForm();
}

void FormDesignerWindow::pickScan()
{
    const QString file = chooseScanFile ? chooseScanFile(this) : QString();
    if (file.isEmpty())
        return;
    QString error;
    const FormScan scan = readFormScan(file, &error);
    if (scan.isEmpty()) {
        ui::tell(this, error, kTitle, ui::Icon::Warning);
        return;
    }
    setScan(scan);
    if (scan.dpi <= 0)
        ui::tell(this, QStringLiteral("扫描图中没有分辨率：请在“扫描图”旁填写扫描时的分辨率（dpi），栏目才按实际大小放在扫描图上。"),
                 kTitle, ui::Icon::Information);
}

void FormDesignerWindow::startPlacing()
{
    if (m_form.scan.isEmpty()) {
        ui::tell(this, QStringLiteral("请先选择空白凭证的扫描图。"), kTitle, ui::Icon::Information);
        return;
    }
    m_placing = 1;
    m_position->setText(QStringLiteral("两点定位：请在扫描图上点击凭证的左上角。"));
    m_canvas->setFocus();
}

void FormDesignerWindow::cancelPlacing()
{
    m_placing = 0;
    showField();
}

void FormDesignerWindow::setSecondPoint(double xMm, double yMm)
{
    m_pointX->setValue(xMm);
    m_pointY->setValue(yMm);
}

void FormDesignerWindow::placeAt(const QPointF &imagePoint)
{
    if (m_placing == 1) {
        m_firstPoint = imagePoint; // taken only with the second
        m_placing = 2;
        m_position->setText(QStringLiteral("两点定位：请点击第二点（它在凭证上的位置：左 %1 mm，上 %2 mm）。")
                                .arg(m_pointX->value(), 0, 'f', 1)
                                .arg(m_pointY->value(), 0, 'f', 1));
        return;
    }
    if (m_placing != 2)
        return;
    m_placing = 0;
    const QPointF form(twips(m_pointX->value()), twips(m_pointY->value()));
    // The second point right of and below the corner, on the picture as on the form.
    const QPointF d = imagePoint - m_firstPoint;
    if ((form.x() <= 0 && form.y() <= 0) || (form.x() > 0 && d.x() <= 0) || (form.y() > 0 && d.y() <= 0)) {
        ui::tell(this, QStringLiteral("第二点应在左上角的右下方，并填写它在凭证上的位置（毫米）。没有定位。"), kTitle,
                 ui::Icon::Information);
        showField();
        return;
    }
    m_form.scan.imageA = m_firstPoint;
    m_form.scan.formA = QPointF(0, 0);
    m_form.scan.imageB = imagePoint;
    m_form.scan.formB = form;
    m_form.scan.placed = true;
    m_modified = true;
    showField();
    redraw();
}

int FormDesignerWindow::addField(FieldKind kind)
{
    CustomField f;
    f.serial = m_form.nextSerial();
    f.kind = kind;
    f.x = m_form.width / 3.0;
    f.y = m_form.height / 3.0;
    f.points = 10;
    if (kind == FieldKind::AmountCells) {
        f.cells = 11;
        f.pitch = twips(5);
    }
    if (kind == FieldKind::FixedText)
        f.text = QStringLiteral("文字");
    if (kind == FieldKind::Tick) {
        f.text = QStringLiteral("汇款方式");
        f.choice = QStringLiteral("加急");
    }
    if (kind == FieldKind::Note)
        f.text = QStringLiteral("备注");
    m_form.fields.append(f);
    m_chosen = int(m_form.fields.size()) - 1;
    m_modified = true;
    showForm();
    return m_chosen;
}

void FormDesignerWindow::chooseField(int index)
{
    m_chosen = index >= 0 && index < m_form.fields.size() ? index : -1;
    showField();
    redraw();
}

void FormDesignerWindow::setFieldPlace(int index, double xMm, double yMm)
{
    if (index < 0 || index >= m_form.fields.size())
        return;
    m_form.fields[index].x = twips(xMm);
    m_form.fields[index].y = twips(yMm);
    m_modified = true;
    chooseField(index);
}

void FormDesignerWindow::setField(int index, const CustomField &field)
{
    if (index < 0 || index >= m_form.fields.size())
        return;
    const int serial = m_form.fields[index].serial;
    m_form.fields[index] = field;
    m_form.fields[index].serial = serial;
    m_modified = true;
    m_chosen = index;
    showForm();
}

void FormDesignerWindow::removeField(int index)
{
    if (index < 0 || index >= m_form.fields.size())
        return;
    m_form.lastSerial = qMax(m_form.lastSerial, m_form.fields[index].serial); // never given again
    m_form.fields.removeAt(index);
    m_chosen = qMin(index, int(m_form.fields.size()) - 1);
    m_modified = true;
    showForm();
}

void FormDesignerWindow::moveChosen(double dxMm, double dyMm, bool keepInSight)
{
    if (m_chosen < 0 || m_chosen >= m_form.fields.size())
        return;
    CustomField &f = m_form.fields[m_chosen];
    // Kept on the paper; a step is a whole number of tenths of a millimetre.
    f.x = qBound(0.0, f.x + twips(dxMm), double(m_form.width - 1));
    f.y = qBound(0.0, f.y + twips(dyMm), double(m_form.height - 1));
    m_modified = true;
    showField();
    redraw(keepInSight);
}

QRectF FormDesignerWindow::boxOf(int index) const
{
    if (index < 0 || index >= m_form.fields.size())
        return {};
    const CustomField &f = m_form.fields[index];
    const CustomFace face = sampleFace(m_form);
    double width = f.width;
    if (f.kind == FieldKind::AmountCells)
        width = f.pitch * (f.cells - 1) + f.points * 20 * 0.6;
    else if (width <= 0)
        width = qMax(200.0, textWidth(fieldText(f, face), f.points));
    return m_form.scan.formToImage().mapRect(QRectF(f.x, f.y, width, f.points * 20 * 1.2));
}

void FormDesignerWindow::redraw(bool keepInSight)
{
    const CustomForm form = m_form;
    const CustomFace face = sampleFace(form);
    const QImage picture = composeFormPreview(form.scan, [&](PageWriter &w) { printCustomForm(w, form, face, {}); });
    QList<QRectF> boxes;
    for (int i = 0; i < m_form.fields.size(); ++i)
        boxes.append(boxOf(i));
    m_canvas->setPicture(picture, boxes, m_chosen, m_zoom->value() / 100.0);
    // Not while the mouse drags: the picture must not scroll under it.
    if (keepInSight && m_chosen >= 0 && m_chosen < boxes.size())
        m_scroll->ensureVisible(int(boxes[m_chosen].center().x() * m_canvas->zoom()),
                                int(boxes[m_chosen].center().y() * m_canvas->zoom()), 60, 40);
}

bool FormDesignerWindow::save()
{
    const QString problem = saveCustomForm(m_connection, m_form);
    if (!problem.isEmpty()) {
        ui::tell(this, QStringLiteral("凭证没有保存：%1。").arg(problem), kTitle, ui::Icon::Warning);
        return false;
    }
    m_modified = false;
    fillFormList();
    return true;
}

bool FormDesignerWindow::removeForm()
{
    if (m_form.id == 0) {
        ui::tell(this, QStringLiteral("这个凭证还没有保存。"), kTitle, ui::Icon::Information);
        return false;
    }
    if (ui::ask(this, QStringLiteral("删除凭证“%1”吗？已打印的记录仍保留在打印历史中。").arg(m_form.name), kTitle,
                ui::Yes | ui::No, ui::Icon::Question, ui::No)
        != ui::Yes)
        return false;
    if (const QString error = removeCustomForm(m_connection, m_form.id); !error.isEmpty()) {
        ui::tell(this, QStringLiteral("凭证没有删除：%1").arg(error), kTitle, ui::Icon::Warning);
        return false;
    }
    m_modified = false;
    m_form = CustomForm{};
    fillFormList();
    if (m_forms->count() > 0)
        openForm(m_forms->item(0)->data(Qt::UserRole).toLongLong());
    else
        newForm(QStringLiteral("新凭证"), 210, 99, kRolePayee);
    return true;
}

bool FormDesignerWindow::exportTo(const QString &path)
{
    if (const QString problem = formProblem(m_form); !problem.isEmpty()) {
        ui::tell(this, QStringLiteral("凭证没有导出：%1。").arg(problem), kTitle, ui::Icon::Warning);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(formToJson(m_form)) < 0 || !file.commit()) {
        ui::tell(this, QStringLiteral("无法写入文件“%1”：%2").arg(path, file.errorString()), kTitle, ui::Icon::Warning);
        return false;
    }
    return true;
}

void FormDesignerWindow::exportForm()
{
    const QString path = chooseExportFile ? chooseExportFile(this, documentsFolder() + QLatin1Char('/') + m_form.name
                                                                        + QStringLiteral(".json"))
                                          : QString();
    if (!path.isEmpty() && exportTo(path))
        ui::tell(this, QStringLiteral("凭证“%1”已导出到“%2”。").arg(m_form.name, path), kTitle, ui::Icon::Information);
}

bool FormDesignerWindow::importFrom(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui::tell(this, QStringLiteral("无法读取文件“%1”：%2").arg(path, file.errorString()), kTitle, ui::Icon::Warning);
        return false;
    }
    // A form file is small; anything far larger is no form file.
    const QByteArray json = file.read(64 * 1024 * 1024);
    QString error;
    std::optional<CustomForm> form = formFromJson(json, &error);
    if (!form) {
        ui::tell(this, QStringLiteral("没有导入：%1").arg(error), kTitle, ui::Icon::Warning);
        return false;
    }
    if (!keepOrDiscard())
        return false;
    if (const qint64 same = customFormMarked(m_connection, form->uid); same != 0) {
        // The same form again (a colleague's later version): its calibration here stays with it.
        if (ui::ask(this, QStringLiteral("这个凭证格式已经导入过（“%1”）。用文件中的格式替换它吗？").arg(form->name), kTitle,
                    ui::Yes | ui::No, ui::Icon::Question, ui::No)
            != ui::Yes)
            return false;
        form->id = same;
    } else if (const qint64 named = customFormNamed(m_connection, form->name); named != 0) {
        // Another form of that name: replaced, and printed with a calibration of its own from zero.
        if (ui::ask(this, QStringLiteral("已有名为“%1”的凭证。用导入的格式替换它吗？").arg(form->name), kTitle,
                    ui::Yes | ui::No, ui::Icon::Question, ui::No)
            != ui::Yes)
            return false;
        form->id = named;
    }
    if (const QString problem = saveCustomForm(m_connection, *form); !problem.isEmpty()) {
        ui::tell(this, QStringLiteral("没有导入：%1。").arg(problem), kTitle, ui::Icon::Warning);
        return false;
    }
    m_form = *form;
    m_chosen = m_form.fields.isEmpty() ? -1 : 0;
    m_modified = false;
    fillFormList();
    showForm();
    return true;
}

void FormDesignerWindow::importForm()
{
    const QString path = chooseImportFile ? chooseImportFile(this) : QString();
    if (!path.isEmpty() && importFrom(path))
        ui::tell(this, QStringLiteral("凭证“%1”已导入。").arg(m_form.name), kTitle, ui::Icon::Information);
}

void FormDesignerWindow::closeEvent(QCloseEvent *event)
{
    if (!keepOrDiscard()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace vouchers
