// The built-in vouchers as the start of a form of one's own (以此为模板): each built-in routine
// prints a face whose every text is a mark standing for a field of the vocabulary; where each
// mark lands, at what size and in what space, is the field.

#include "vouchers/customform.h"

#include "printing/pagewriter_recorder.h"
#include "store/appdir.h"
#include "store/connection.h"
#include "vouchers/bankforms.h"
#include "vouchers/cheque.h"
#include "vouchers/deposit.h"
#include "vouchers/general.h"
#include "vouchers/listcontext.h"
#include "vouchers/voucherdata.h"

#include <QHash>
#include <QMap>

namespace vouchers {

namespace {

// The field a mark stands for; a run of cells by its cell, counted from the 分 cell.
struct Meaning {
    FieldKind kind;
    QString text, choice;
    int cell = -1;
};

class Marks {
public:
    QString mark(FieldKind kind, const QString &text = {}, const QString &choice = {})
    {
        return add({kind, text, choice, -1});
    }
    QStringList cells(int count)
    {
        QStringList c;
        for (int i = 0; i < count; ++i)
            c << add({FieldKind::AmountCells, {}, {}, i});
        return c;
    }
    const Meaning *meaningOf(const QString &text) const
    {
        const auto it = m_meanings.constFind(text);
        return it == m_meanings.constEnd() ? nullptr : &*it;
    }

private:
    QString add(const Meaning &m)
    {
        const QString mark(QChar(char16_t(0xE000 + int(m_meanings.size()))));
        m_meanings.insert(mark, m);
        return mark;
    }
    QHash<QString, Meaning> m_meanings;
};

// Prints the routine and reads the fields back from where the marks landed; rows give each
// mark's size and space as its table holds them.
CustomForm readBack(const Marks &marks, const PrintRoutine &routine, const QList<PrintField> &rows)
{
    QHash<QString, const PrintField *> rowOf;
    for (const PrintField &r : rows)
        rowOf.insert(r.text, &r);
    RecordingPageWriter recorder;
    routine(recorder);
    CustomForm form;
    double x = 0, y = 0, size = 9;
    QMap<int, QPointF> cellAt; // 分 first
    double cellPoints = 9;
    int cellsAt = -1;          // where the run stands among the fields
    for (const PrintOp &op : recorder.ops()) {
        switch (op.kind) {
        case PrintOp::Kind::PageHeight: form.height = int(op.a); break;
        case PrintOp::Kind::PageWidth: form.width = int(op.a); break;
        case PrintOp::Kind::FontSize: size = op.a; break;
        case PrintOp::Kind::CurrentX: x = op.a; break;
        case PrintOp::Kind::CurrentY: y = op.a; break;
        case PrintOp::Kind::Text: {
            const Meaning *m = marks.meaningOf(op.text);
            if (!m)
                break;
            const PrintField *row = rowOf.value(op.text);
            if (m->kind == FieldKind::AmountCells) {
                cellAt.insert(m->cell, QPointF(x, y));
                cellPoints = row ? row->points : size;
                if (cellsAt < 0)
                    cellsAt = int(form.fields.size());
                break;
            }
            CustomField f;
            f.serial = form.nextSerial();
            f.kind = m->kind;
            f.x = x;
            f.y = y;
            f.points = row ? row->points : size;
            f.width = row ? row->space : 0;
            f.text = m->text;
            f.choice = m->choice;
            form.fields.append(f);
            break;
        }
        default: break;
        }
    }
    if (cellAt.size() >= 2) {
        CustomField f;
        f.serial = form.nextSerial();
        f.kind = FieldKind::AmountCells;
        f.cells = int(cellAt.size());
        const QPointF left = cellAt.last(), right = cellAt.first();
        f.x = left.x();
        f.y = left.y();
        f.pitch = (right.x() - left.x()) / (f.cells - 1);
        f.points = cellPoints;
        form.fields.insert(cellsAt, f);
    }
    // A place that reaches the form's edge ends there, wherever the calibration moved the field.
    for (CustomField &f : form.fields)
        if (f.width > 0)
            f.width = qMax(0.0, qMin(f.width, form.width - f.x));
    return form;
}

void markDate(Marks &m, QString &year, QString &month, QString &day)
{
    year = m.mark(FieldKind::Year);
    month = m.mark(FieldKind::Month);
    day = m.mark(FieldKind::Day);
}

void markBankForm(Marks &m, BankFormFace &f)
{
    markDate(m, f.year, f.month, f.day);
    f.payerName = m.mark(FieldKind::OwnName);
    f.payerAccount = m.mark(FieldKind::OwnAccount);
    f.payerBank = m.mark(FieldKind::OwnBank);
    f.amountWords = m.mark(FieldKind::AmountWords);
    f.payeeName = m.mark(FieldKind::PartyName);
    f.payeeAccount = m.mark(FieldKind::PartyAccount);
    f.payeeBank = m.mark(FieldKind::PartyBank);
    f.cells = m.cells(kDepositCells);
    f.paymentCode = m.mark(FieldKind::Password);
    f.purpose = m.mark(FieldKind::Purpose);
}

} // namespace

std::optional<CustomForm> formFromBuiltIn(const QString &window)
{
    const VoucherKind *kind = findVoucherKind(window);
    if (!kind || kind->window.startsWith(QStringLiteral("zdy")))
        return std::nullopt;
    store::Connection connection;
    ListContext context(connection);
    Marks m;
    CustomForm form;
    const QString method = QStringLiteral("汇款方式");
    if (kind->window == QLatin1String("zpdy")) {
        const Calibration &c = context.calibration(QStringLiteral("mqtx.ini"), chequeKeyBoxes());
        ChequeFace f;
        f.counterfoil = c.isOn(kCounterfoilSwitch);
        markDate(m, f.year, f.month, f.day);
        f.capitalYear = m.mark(FieldKind::CapitalYear);
        f.capitalMonth = m.mark(FieldKind::CapitalMonth);
        f.capitalDay = m.mark(FieldKind::CapitalDay);
        if (f.counterfoil) {
            f.counterfoilPayee = m.mark(FieldKind::PartyName);
            f.counterfoilAmount = m.mark(FieldKind::AmountFigures);
            f.counterfoilPurpose = m.mark(FieldKind::Purpose);
        }
        f.payee = m.mark(FieldKind::PartyName);
        if (c.isOn(kBankSwitch)) {
            f.bank = m.mark(FieldKind::OwnBank);
            f.account = m.mark(FieldKind::OwnAccount);
        }
        f.amountWords = m.mark(FieldKind::AmountWords);
        f.purpose = m.mark(FieldKind::Purpose);
        f.cells = m.cells(kChequeCells);
        const Offsets offsets = c.values();
        form = readBack(m, [&](PageWriter &w) { printCheque(w, f, offsets); }, chequeFields(f));
    } else if (kind->window == QLatin1String("jzddy")) {
        DepositFace f;
        markDate(m, f.year, f.month, f.day);
        f.remitterName = m.mark(FieldKind::PartyName);
        f.remitterAccount = m.mark(FieldKind::PartyAccount);
        f.remitterBank = m.mark(FieldKind::PartyBank);
        f.amountWords = m.mark(FieldKind::AmountWords);
        f.payeeName = m.mark(FieldKind::OwnName);
        f.payeeAccount = m.mark(FieldKind::OwnAccount);
        f.payeeBank = m.mark(FieldKind::OwnBank);
        f.cells = m.cells(kDepositCells);
        f.billKind = m.mark(FieldKind::Note, QStringLiteral("票据种类"));
        f.billNumber = m.mark(FieldKind::Number);
        f.billCount = m.mark(FieldKind::Note, QStringLiteral("票据张数"));
        f.purpose = m.mark(FieldKind::Purpose);
        const Offsets offsets = context.calibration(QStringLiteral("jzddy.ini"), depositKeyBoxes()).values();
        form = readBack(m, [&](PageWriter &w) { printDeposit(w, f, offsets); }, depositFields(f));
    } else if (kind->window == QLatin1String("tydhpz")) {
        GeneralFace f;
        markDate(m, f.year, f.month, f.day);
        f.payerName = m.mark(FieldKind::OwnName);
        f.payerAccount = m.mark(FieldKind::OwnAccount);
        f.payerProvince = m.mark(FieldKind::OwnProvince);
        f.payerCity = m.mark(FieldKind::OwnCity);
        f.payerBank = m.mark(FieldKind::OwnBank);
        f.amountWords = m.mark(FieldKind::AmountWords);
        f.payeeName = m.mark(FieldKind::PartyName);
        f.payeeAccount = m.mark(FieldKind::PartyAccount);
        f.payeeProvince = m.mark(FieldKind::PartyProvince);
        f.payeeCity = m.mark(FieldKind::PartyCity);
        f.payeeBank = m.mark(FieldKind::PartyBank);
        f.password = m.mark(FieldKind::Password);
        f.purpose = m.mark(FieldKind::Purpose);
        f.cells = m.cells(11);
        const Offsets layout = context.generalLayout();
        form = readBack(m, [&](PageWriter &w) { printGeneral(w, f, layout); }, generalFields(f));
    } else if (kind->window == QLatin1String("jhdhpz")) {
        WireFace f;
        markBankForm(m, f);
        f.normalMark = m.mark(FieldKind::Tick, method, QStringLiteral("普通"));
        f.urgentMark = m.mark(FieldKind::Tick, method, QStringLiteral("加急"));
        const printing::GlobalOffsets global = context.globalOffsets();
        form = readBack(m, [&](PageWriter &w) { printWire(w, f, global); }, wireFields(f));
    } else if (kind->window == QLatin1String("nhjsywsqs")) {
        ApplicationFace f;
        markBankForm(m, f);
        for (const QString &type : applicationTypes())
            f.typeMarks << m.mark(FieldKind::Tick, QStringLiteral("业务类型"), type);
        f.normalMark = m.mark(FieldKind::Tick, method, QStringLiteral("普通"));
        f.urgentMark = m.mark(FieldKind::Tick, method, QStringLiteral("加急"));
        const printing::GlobalOffsets global = context.globalOffsets();
        form = readBack(m, [&](PageWriter &w) { printApplication(w, f, global); }, applicationFields(f));
    } else {
        return std::nullopt; // the notice is drawn whole on plain paper, lines and all
    }
    form.name = kind->name + QStringLiteral("（自定义）");
    form.role = kind->customer == QStringLiteral("收款人") ? kRolePayee : kRolePayer;
    form.scan = loadFormScan(kind->window);
    return form;
}

} // namespace vouchers
