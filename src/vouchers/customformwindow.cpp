#include "vouchers/customformwindow.h"

#include "store/appdir.h"
#include "store/statements.h"
#include "text/amount.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "vouchers/customformstore.h"
#include "vouchers/formscan.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace vouchers {

namespace {
QPushButton *button(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(true);
    return b;
}

// The party fields shown on the voucher page, with the entry that shows each.
struct PartyEntry {
    FieldKind kind;
    const char *name;
};
const PartyEntry kPartyEntries[] = {{FieldKind::PartyName, "partyName"},         {FieldKind::PartyAccount, "partyAccount"},
                                    {FieldKind::PartyBank, "partyBank"},         {FieldKind::PartyProvince, "partyProvince"},
                                    {FieldKind::PartyCity, "partyCity"}};
} // namespace

CustomFormWindow::CustomFormWindow(CustomForm form, QWidget *parent)
    : VoucherWindow(parent, form.name, form.name), m_form(std::move(form)), m_company(connection())
{
    // The kinds carry no scans: the window reads its form's own.
    if (m_form.scan.isEmpty() && m_form.id != 0)
        if (const std::optional<CustomForm> stored = loadCustomForm(connection(), m_form.id))
            m_form.scan = stored->scan;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(m_form.window());
    setWindowTitle(m_form.name);
    printSettings().documentName = m_form.name;

    m_calibration = std::make_unique<Calibration>(store::calibrationFile(customCalibrationFile(m_form)));
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(buildVoucherPage(), QStringLiteral("凭证(&1)"));
    m_tabs->addTab(buildSettingsPage(), QStringLiteral("打印设置(&2)"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);

    m_company.setStatement(store::statements::ownCompany());
    m_company.refresh();
    m_calibration->load();
    m_calibration->setLocked(true);
    takeOver();
    // 套打预览 shows the form's scan as the designer placed it (a form imported again may bring
    // another one).
    if (!m_form.scan.isEmpty())
        keepFormScan(m_form.window(), m_form.scan);
    resize(860, 640);
}

CustomFormWindow::~CustomFormWindow() = default;

QLineEdit *CustomFormWindow::entry(const QString &name) { return m_entries.value(name); }

QWidget *CustomFormWindow::buildVoucherPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);

    auto *searchRow = new QHBoxLayout;
    auto *search = new QLineEdit(page);
    search->setObjectName(QStringLiteral("search"));
    search->setPlaceholderText(QStringLiteral("客户名称或字母简称"));
    auto *find = new QLabel(QStringLiteral("查找客户(&F)："), page);
    find->setBuddy(search);
    auto *byName = button(QStringLiteral("byName"), QStringLiteral("按名称查找(&N)"), page);
    auto *byInitials = button(QStringLiteral("byInitials"), QStringLiteral("按简称查找(&J)"), page);
    auto *refresh = button(QStringLiteral("refresh"), QStringLiteral("刷新(&R)"), page);
    auto *pickCustomer = button(QStringLiteral("pickCustomer"), QStringLiteral("选择客户(&K)…"), page);
    searchRow->addWidget(find);
    searchRow->addWidget(search, 1);
    for (QPushButton *b : {byName, byInitials, refresh, pickCustomer})
        searchRow->addWidget(b);
    v->addLayout(searchRow);
    auto *grid = new QTableView(page);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setMinimumHeight(120);
    grid->setMaximumHeight(170);
    grid->horizontalHeader()->setStretchLastSection(true);
    v->addWidget(grid);

    m_ownLine = new QLabel(page);
    m_ownLine->setObjectName(QStringLiteral("ownCompany"));
    m_ownLine->setWordWrap(true);
    v->addWidget(m_ownLine);

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    const auto add = [&](const QString &name, const QString &caption) {
        auto *edit = new QLineEdit(page);
        edit->setObjectName(name);
        m_entries.insert(name, edit);
        form->addRow(caption, edit);
        return edit;
    };
    for (const PartyEntry &p : kPartyEntries)
        if (p.kind == FieldKind::PartyName || p.kind == FieldKind::PartyAccount || p.kind == FieldKind::PartyBank
            || m_form.has(p.kind))
            add(QString::fromLatin1(p.name), fieldCaption(p.kind, m_form.role) + QStringLiteral("："));
    QLineEdit *number = m_form.has(FieldKind::Number) ? add(QStringLiteral("number"), QStringLiteral("凭证号(&H)：")) : nullptr;

    auto *dateRow = new QHBoxLayout;
    auto *picker = new QDateEdit(page);
    picker->setObjectName(QStringLiteral("datePicker"));
    picker->setCalendarPopup(true);
    auto *confirmDate = button(QStringLiteral("confirmDate"), QStringLiteral("确定日期(&D)"), page);
    QLineEdit *year = new QLineEdit(page), *month = new QLineEdit(page), *day = new QLineEdit(page);
    year->setObjectName(QStringLiteral("year"));
    month->setObjectName(QStringLiteral("month"));
    day->setObjectName(QStringLiteral("day"));
    dateRow->addWidget(picker);
    dateRow->addWidget(confirmDate);
    for (auto [box, unit] : {std::pair{year, "年"}, std::pair{month, "月"}, std::pair{day, "日"}}) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setMaximumWidth(60);
        dateRow->addWidget(box);
        dateRow->addWidget(new QLabel(QString::fromUtf8(unit), page));
    }
    dateRow->addStretch();
    form->addRow(QStringLiteral("日期："), dateRow);
    m_date = std::make_unique<PickedDate>(picker, year, month, day);

    QLineEdit *amount = add(QStringLiteral("amount"), QStringLiteral("金额(&M)："));
    m_words = new QLabel(page);
    m_words->setObjectName(QStringLiteral("amountWords"));
    form->addRow(QStringLiteral("大写："), m_words);
    connect(amount, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_words->setText(text::convertAmount(text, text::AmountVariant::ElevenPlaces, 11).words);
    });

    auto *purposeRow = new QHBoxLayout;
    auto *purpose = new QLineEdit(page);
    purpose->setObjectName(QStringLiteral("purpose"));
    m_entries.insert(QStringLiteral("purpose"), purpose);
    auto *pickPurpose = button(QStringLiteral("pickPurpose"), QStringLiteral("选择用途(&Y)…"), page);
    purposeRow->addWidget(purpose, 1);
    purposeRow->addWidget(pickPurpose);
    auto *purposeLabel = new QLabel(QStringLiteral("用途(&U)："), page);
    purposeLabel->setBuddy(purpose);
    form->addRow(purposeLabel, purposeRow);
    if (m_form.has(FieldKind::Password))
        add(QStringLiteral("password"), QStringLiteral("支付密码："));
    for (const QString &caption : m_form.noteCaptions()) {
        QLineEdit *note = add(QStringLiteral("note_%1").arg(m_notes.size() + 1), caption + QStringLiteral("："));
        m_notes.insert(caption, note);
    }
    for (const QString &group : m_form.tickGroups()) {
        auto *combo = new QComboBox(page);
        combo->setObjectName(QStringLiteral("tick_%1").arg(m_ticks.size() + 1));
        combo->addItem(QStringLiteral("（不勾选）"), QString());
        for (const QString &choice : m_form.choicesOf(group))
            combo->addItem(choice, choice);
        m_ticks.insert(group, combo);
        form->addRow(group + QStringLiteral("："), combo);
    }
    v->addLayout(form);
    v->addStretch();

    auto *buttons = new QHBoxLayout;
    auto *print = button(QStringLiteral("print"), QStringLiteral("打印(&P)"), page);
    auto *preview = button(QStringLiteral("preview"), QStringLiteral("套打预览(&V)"), page);
    auto *exit = button(QStringLiteral("exit"), QStringLiteral("退出(&X)"), page);
    buttons->addStretch();
    for (QPushButton *b : {print, preview, exit})
        buttons->addWidget(b);
    v->addLayout(buttons);

    reference::CustomerSearchSetup setup;
    setup.searchField = search;
    setup.byName = byName;
    setup.byInitials = byInitials;
    setup.grid = grid;
    setup.exitButton = exit;
    setup.focusAfterNameSearch = number ? number : static_cast<QWidget *>(confirmDate);
    setup.focusAfterInitialsSearch = setup.focusAfterNameSearch;
    setup.gridColumns = {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                         {QStringLiteral("zhh"), QStringLiteral("账号"), {}},
                         {QStringLiteral("khh"), QStringLiteral("开户行"), {}}};
    setUpCustomerSearch(setup);
    setPurposeField(purpose);
    grid->setColumnWidth(0, 260);
    grid->setColumnWidth(1, 200);
    connectCommonButtons({refresh, {pickCustomer}, pickPurpose, print, preview});
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    connect(confirmDate, &QPushButton::clicked, this, [this, amount] {
        m_date->confirm();
        amount->setFocus();
    });

    ui::focusOnKey(search, Qt::Key_Return, byInitials);
    if (number)
        ui::focusOnKey(number, Qt::Key_Return, confirmDate);
    // Enter runs through every entry the form needs, then to 打印.
    QList<QWidget *> chain{amount, purpose};
    if (QLineEdit *password = entry(QStringLiteral("password")))
        chain << password;
    for (const QString &caption : m_form.noteCaptions())
        chain << m_notes.value(caption);
    for (const QString &group : m_form.tickGroups())
        chain << m_ticks.value(group);
    chain << print;
    for (int i = 0; i + 1 < chain.size(); ++i)
        ui::focusOnKey(chain[i], Qt::Key_Return, chain[i + 1]);
    QHash<QString, QWidget *> targets{{key::date, confirmDate},
                                      {key::amount, amount},
                                      {key::purpose, purpose},
                                      {key::counterparty, search}};
    if (number)
        targets.insert(key::number, number);
    setFocusTargets(targets);
    return page;
}

QWidget *CustomFormWindow::buildSettingsPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *note = new QLabel(QStringLiteral("单位：毫米。正数向右、向下移动，负数向左、向上。“整张凭证”移动所有栏目，"
                                           "各栏目的设置再移动该栏目。"),
                            page);
    note->setWordWrap(true);
    v->addWidget(note);
    auto *scroll = new QScrollArea(page);
    scroll->setWidgetResizable(true);
    auto *inner = new QWidget;
    auto *grid = new QGridLayout(inner);
    grid->addWidget(new QLabel(QStringLiteral("栏目"), inner), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("左右"), inner), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("上下"), inner), 0, 2);
    const auto row = [&](const QString &caption, const QString &xKey, const QString &yKey) {
        const int r = grid->rowCount();
        grid->addWidget(new QLabel(caption, inner), r, 0);
        for (int c = 0; c < 2; ++c) {
            auto *box = new QLineEdit(inner);
            const QString key = c == 0 ? xKey : yKey;
            box->setObjectName(QStringLiteral("cal_") + key);
            box->setMaximumWidth(120);
            grid->addWidget(box, r, 1 + c);
            m_calibration->addOffset(key, box);
        }
    };
    row(QStringLiteral("整张凭证"), kFormX0, kFormY0);
    for (const CustomField &f : m_form.fields) {
        QString caption = fieldCaption(f.kind, m_form.role);
        if (!f.text.isEmpty())
            caption += QStringLiteral("：") + f.text + (f.choice.isEmpty() ? QString() : QStringLiteral(" ") + f.choice);
        row(caption, f.xKey(), f.yKey());
    }
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(grid->rowCount(), 1);
    scroll->setWidget(inner);
    v->addWidget(scroll, 1);
    auto *buttons = new QHBoxLayout;
    m_edit = button(QStringLiteral("editCalibration"), QStringLiteral("修改(&E)"), page);
    m_save = button(QStringLiteral("saveCalibration"), QStringLiteral("保存(&S)"), page);
    m_cancel = button(QStringLiteral("cancelCalibration"), QStringLiteral("取消(&C)"), page);
    m_exitSettings = button(QStringLiteral("exitSettings"), QStringLiteral("退出(&X)"), page);
    buttons->addStretch();
    for (QPushButton *b : {m_edit, m_save, m_cancel, m_exitSettings})
        buttons->addWidget(b);
    v->addLayout(buttons);
    connect(m_edit, &QPushButton::clicked, this, &CustomFormWindow::editCalibration);
    connect(m_save, &QPushButton::clicked, this, &CustomFormWindow::saveCalibration);
    connect(m_cancel, &QPushButton::clicked, this, &CustomFormWindow::cancelCalibration);
    connect(m_exitSettings, &QPushButton::clicked, this, &QWidget::close);
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);
    return page;
}

QList<QWidget *> CustomFormWindow::calibrationBoxes() const { return m_calibration->boxes(); }

void CustomFormWindow::editCalibration()
{
    m_calibration->setLocked(false);
    m_save->setEnabled(true);
    m_cancel->setEnabled(true);
    m_edit->setEnabled(false);
    m_exitSettings->setEnabled(false);
}

void CustomFormWindow::saveCalibration()
{
    if (!m_calibration->save()) {
        ui::tell(this, QStringLiteral("设置没有保存：无法写入文件“%1”。").arg(m_calibration->fileName()), windowTitle(),
                 ui::Icon::Warning);
        return;
    }
    cancelCalibration();
}

void CustomFormWindow::cancelCalibration()
{
    m_calibration->load(); // the boxes show what is stored again
    m_calibration->setLocked(true);
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);
    m_edit->setEnabled(true);
    m_exitSettings->setEnabled(true);
}

void CustomFormWindow::activate()
{
    m_date->setToday();
    if (m_calibration->isLocked())
        m_calibration->load();
    m_company.refresh();
    customers().refresh();
    takeOver();
    if (QWidget *search = findChild<QWidget *>(QStringLiteral("search")))
        search->setFocus();
}

void CustomFormWindow::takeOver()
{
    m_ownLine->setText(QStringLiteral("本单位（%1）：%2　账号：%3　开户行：%4")
                           .arg(m_form.role == kRolePayer ? kRolePayee : kRolePayer, m_company.text(QStringLiteral("gsmc")),
                                m_company.text(QStringLiteral("zhh")), m_company.text(QStringLiteral("khh"))));
    const store::DataSource &c = customers();
    const auto set = [this](const char *name, const QString &text) {
        if (QLineEdit *e = entry(QString::fromLatin1(name)))
            e->setText(text);
    };
    set("partyName", c.text(QStringLiteral("gsmc")));
    set("partyAccount", c.text(QStringLiteral("zhh")));
    set("partyBank", c.text(QStringLiteral("khh")));
    set("partyProvince", c.text(QStringLiteral("sheng")));
    set("partyCity", c.text(QStringLiteral("shi")));
}

void CustomFormWindow::setCounterparty(const VoucherData &data)
{
    const auto set = [this](const char *name, const QString &text) {
        if (QLineEdit *e = entry(QString::fromLatin1(name)))
            e->setText(text);
    };
    set("partyName", data.value(key::counterparty));
    set("partyAccount", data.value(key::account));
    set("partyBank", data.value(key::bank));
    set("partyProvince", data.value(key::province));
    set("partyCity", data.value(key::city));
}

QList<DataProblem> CustomFormWindow::fill(const VoucherData &data)
{
    QList<DataProblem> problems = chooseCustomer(data);
    if (QLineEdit *number = entry(QStringLiteral("number")))
        number->setText(data.value(key::number));
    m_date->take(dataDate(data, problems));
    entry(QStringLiteral("amount"))->setText(data.value(key::amount));
    entry(QStringLiteral("purpose"))->setText(data.value(key::purpose));
    if (QLineEdit *password = entry(QStringLiteral("password")))
        password->setText(data.value(key::paymentCode));
    for (auto it = m_notes.cbegin(); it != m_notes.cend(); ++it)
        it.value()->setText(data.value(noteKey(it.key())));
    for (auto it = m_ticks.cbegin(); it != m_ticks.cend(); ++it) {
        const QString choice = data.value(tickKey(it.key())).trimmed();
        const int index = it.value()->findData(choice);
        if (index < 0)
            problems.append({tickKey(it.key()), QStringLiteral("“%1”应为%2之一")
                                                    .arg(it.key(), m_form.choicesOf(it.key()).join(QStringLiteral("、")))});
        it.value()->setCurrentIndex(qMax(0, index));
    }
    return problems;
}

CustomEntries CustomFormWindow::entries() const
{
    CustomEntries e;
    CustomFace &f = e.face;
    f.ownName = m_company.text(QStringLiteral("gsmc"));
    f.ownAccount = m_company.text(QStringLiteral("zhh"));
    f.ownBank = m_company.text(QStringLiteral("khh"));
    f.ownProvince = m_company.text(QStringLiteral("hp"));
    f.ownCity = m_company.text(QStringLiteral("hc"));
    const auto text = [this](const char *name) {
        const QLineEdit *edit = m_entries.value(QString::fromLatin1(name));
        return edit ? edit->text() : QString();
    };
    f.partyName = text("partyName");
    f.partyAccount = text("partyAccount");
    f.partyBank = text("partyBank");
    f.partyProvince = text("partyProvince");
    f.partyCity = text("partyCity");
    f.number = text("number");
    f.amount = text("amount");
    f.purpose = text("purpose");
    f.password = text("password");
    for (auto it = m_notes.cbegin(); it != m_notes.cend(); ++it)
        f.notes.insert(it.key(), it.value()->text());
    for (auto it = m_ticks.cbegin(); it != m_ticks.cend(); ++it)
        f.choices.insert(it.key(), it.value()->currentData().toString());
    if (m_date->confirmed().isValid())
        setFaceDate(f, m_date->confirmed());
    e.voucherDate = m_date->historyText();
    return e;
}

Voucher CustomFormWindow::voucher(Settings settings) const
{
    return customVoucher(m_form, entries(),
                         settings == Settings::Saved ? m_calibration->values() : m_calibration->typedValues(),
                         QDate::currentDate());
}

} // namespace vouchers
