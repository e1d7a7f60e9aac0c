#include "vouchers/customform.h"

#include "text/amount.h"
#include "text/capitaldate.h"
#include "vouchers/voucher.h"

#include <QBuffer>
#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace vouchers {

namespace {
constexpr double kTwipsPerMm = 1440 / 25.4;
const QString kFormat = QStringLiteral("lanshi-voucher-form");
} // namespace

const QList<FieldType> &fieldTypes()
{
    static const QList<FieldType> types = {
        {FieldKind::PartyName, QStringLiteral("partyName"), QStringLiteral("对方户名")},
        {FieldKind::PartyAccount, QStringLiteral("partyAccount"), QStringLiteral("对方账号")},
        {FieldKind::PartyBank, QStringLiteral("partyBank"), QStringLiteral("对方开户行")},
        {FieldKind::PartyProvince, QStringLiteral("partyProvince"), QStringLiteral("对方所在省")},
        {FieldKind::PartyCity, QStringLiteral("partyCity"), QStringLiteral("对方所在市")},
        {FieldKind::OwnName, QStringLiteral("ownName"), QStringLiteral("本单位户名")},
        {FieldKind::OwnAccount, QStringLiteral("ownAccount"), QStringLiteral("本单位账号")},
        {FieldKind::OwnBank, QStringLiteral("ownBank"), QStringLiteral("本单位开户行")},
        {FieldKind::OwnProvince, QStringLiteral("ownProvince"), QStringLiteral("本单位所在省")},
        {FieldKind::OwnCity, QStringLiteral("ownCity"), QStringLiteral("本单位所在市")},
        {FieldKind::AmountWords, QStringLiteral("amountWords"), QStringLiteral("大写金额")},
        {FieldKind::AmountFigures, QStringLiteral("amountFigures"), QStringLiteral("小写金额（￥）")},
        {FieldKind::AmountCells, QStringLiteral("amountCells"), QStringLiteral("金额格")},
        {FieldKind::Date, QStringLiteral("date"), QStringLiteral("日期（数字）")},
        {FieldKind::Year, QStringLiteral("year"), QStringLiteral("年（数字）")},
        {FieldKind::Month, QStringLiteral("month"), QStringLiteral("月（数字）")},
        {FieldKind::Day, QStringLiteral("day"), QStringLiteral("日（数字）")},
        {FieldKind::CapitalYear, QStringLiteral("capitalYear"), QStringLiteral("年（大写）")},
        {FieldKind::CapitalMonth, QStringLiteral("capitalMonth"), QStringLiteral("月（大写）")},
        {FieldKind::CapitalDay, QStringLiteral("capitalDay"), QStringLiteral("日（大写）")},
        {FieldKind::Purpose, QStringLiteral("purpose"), QStringLiteral("用途")},
        {FieldKind::Number, QStringLiteral("number"), QStringLiteral("凭证号")},
        {FieldKind::Password, QStringLiteral("password"), QStringLiteral("支付密码")},
        {FieldKind::FixedText, QStringLiteral("fixedText"), QStringLiteral("固定文字")},
        {FieldKind::Tick, QStringLiteral("tick"), QStringLiteral("勾选（√）")},
        {FieldKind::Note, QStringLiteral("note"), QStringLiteral("打印时填写")},
    };
    return types;
}

const FieldType &fieldType(FieldKind kind)
{
    for (const FieldType &t : fieldTypes())
        if (t.kind == kind)
            return t;
    return fieldTypes().first();
}

QString fieldCaption(FieldKind kind, const QString &role)
{
    const bool ownPays = role != kRolePayer;
    const QString party = ownPays ? kRolePayee : kRolePayer;
    const QString own = ownPays ? kRolePayer : kRolePayee;
    switch (kind) {
    case FieldKind::PartyName: return party + QStringLiteral("户名");
    case FieldKind::PartyAccount: return party + QStringLiteral("账号");
    case FieldKind::PartyBank: return party + QStringLiteral("开户行");
    case FieldKind::PartyProvince: return party + QStringLiteral("所在省");
    case FieldKind::PartyCity: return party + QStringLiteral("所在市");
    case FieldKind::OwnName: return own + QStringLiteral("户名（本单位）");
    case FieldKind::OwnAccount: return own + QStringLiteral("账号（本单位）");
    case FieldKind::OwnBank: return own + QStringLiteral("开户行（本单位）");
    case FieldKind::OwnProvince: return own + QStringLiteral("所在省（本单位）");
    case FieldKind::OwnCity: return own + QStringLiteral("所在市（本单位）");
    default: return fieldType(kind).caption;
    }
}

bool operator==(const CustomField &a, const CustomField &b)
{
    return a.serial == b.serial && a.kind == b.kind && a.x == b.x && a.y == b.y && a.points == b.points
           && a.width == b.width && a.cells == b.cells && a.pitch == b.pitch && a.text == b.text && a.choice == b.choice;
}

int CustomForm::nextSerial() const
{
    int next = lastSerial + 1;
    for (const CustomField &f : fields)
        next = qMax(next, f.serial + 1);
    return next;
}

bool CustomForm::has(FieldKind kind) const
{
    for (const CustomField &f : fields)
        if (f.kind == kind)
            return true;
    return false;
}

QStringList CustomForm::tickGroups() const
{
    QStringList groups;
    for (const CustomField &f : fields)
        if (f.kind == FieldKind::Tick && !groups.contains(f.text))
            groups << f.text;
    return groups;
}

QStringList CustomForm::choicesOf(const QString &group) const
{
    QStringList choices;
    for (const CustomField &f : fields)
        if (f.kind == FieldKind::Tick && f.text == group && !choices.contains(f.choice))
            choices << f.choice;
    return choices;
}

QStringList CustomForm::noteCaptions() const
{
    QStringList captions;
    for (const CustomField &f : fields)
        if (f.kind == FieldKind::Note && !captions.contains(f.text))
            captions << f.text;
    return captions;
}

QList<KeyBox> CustomForm::calibrationKeys() const
{
    QList<KeyBox> keys = {{kFormX0, QString(), false}, {kFormY0, QString(), false}};
    for (const CustomField &f : fields)
        keys += QList<KeyBox>{{f.xKey(), QString(), false}, {f.yKey(), QString(), false}};
    return keys;
}

QString formProblem(const CustomForm &form)
{
    const QString name = form.name.trimmed();
    if (name.isEmpty())
        return QStringLiteral("请输入凭证名称");
    if (name.size() > 40)
        return QStringLiteral("凭证名称最多40个字");
    if (form.role != kRolePayee && form.role != kRolePayer)
        return QStringLiteral("客户的身份应为“收款人”或“付款人”");
    const auto mm = [](double twips) { return twips / kTwipsPerMm; };
    if (mm(form.width) < 10 || mm(form.width) > 1000 || mm(form.height) < 10 || mm(form.height) > 1000)
        return QStringLiteral("纸张的宽和高应在10到1000毫米之间");
    QSet<int> serials;
    for (int i = 0; i < form.fields.size(); ++i) {
        const CustomField &f = form.fields[i];
        const QString which = QStringLiteral("第%1个栏目“%2”").arg(i + 1).arg(fieldCaption(f.kind, form.role));
        if (f.serial < 1)
            return which + QStringLiteral("的编号不对");
        if (serials.contains(f.serial))
            return which + QStringLiteral("的编号重复");
        serials.insert(f.serial);
        if (!std::isfinite(f.x) || !std::isfinite(f.y) || f.x < 0 || f.y < 0 || f.x >= form.width || f.y >= form.height)
            return which + QStringLiteral("不在纸张上");
        if (!std::isfinite(f.points) || f.points < 5 || f.points > 72)
            return which + QStringLiteral("的字号应在5到72磅之间");
        if (!std::isfinite(f.width) || f.width < 0 || f.x + f.width > form.width + 0.5)
            return which + QStringLiteral("的宽度超出纸张");
        if (f.kind == FieldKind::AmountCells) {
            if (f.cells < 1 || f.cells > text::amountPlaces(text::AmountVariant::ElevenPlaces))
                return which + QStringLiteral("的格数应在1到11之间");
            if (!std::isfinite(f.pitch) || f.pitch <= 0 || f.x + f.pitch * (f.cells - 1) >= form.width)
                return which + QStringLiteral("的格距应大于零，最右一格在纸张上");
        }
        if (f.kind == FieldKind::FixedText && f.text.trimmed().isEmpty())
            return which + QStringLiteral("没有文字");
        if (f.kind == FieldKind::Tick && (f.text.trimmed().isEmpty() || f.choice.trimmed().isEmpty()))
            return which + QStringLiteral("应有选项组和选项，如“汇款方式”和“加急”");
        if (f.kind == FieldKind::Note && f.text.trimmed().isEmpty())
            return which + QStringLiteral("应有名称，如“备注”");
    }
    // Notes and tick groups name columns of a payment list: none may stand for another column.
    static const QStringList taken = {
        QStringLiteral("收款人"), QStringLiteral("付款人"), QStringLiteral("收款人名称"), QStringLiteral("收款人户名"),
        QStringLiteral("付款人名称"), QStringLiteral("付款人户名"), QStringLiteral("账号"), QStringLiteral("帐号"),
        QStringLiteral("开户行"), QStringLiteral("开户银行"), QStringLiteral("省"), QStringLiteral("所在省"),
        QStringLiteral("市"), QStringLiteral("所在市"), QStringLiteral("金额"), QStringLiteral("小写金额"),
        QStringLiteral("日期"), QStringLiteral("用途"), QStringLiteral("款项用途"), QStringLiteral("凭证号"),
        QStringLiteral("凭证号码"), QStringLiteral("支付密码")};
    const QStringList notes = form.noteCaptions(), groups = form.tickGroups();
    for (const QString &caption : notes + groups)
        if (taken.contains(caption.trimmed()) || (notes.contains(caption) && groups.contains(caption)))
            return QStringLiteral("“%1”已是付款清单中另一列的名称，请为附言或勾选组另取名称").arg(caption);
    return QString();
}

void setFaceDate(CustomFace &face, const QDate &date)
{
    face.date = date.toString(QStringLiteral("yyyy-MM-dd"));
    face.year = QString::number(date.year());
    face.month = QString::number(date.month());
    face.day = QString::number(date.day());
    face.capitalYear = text::capitalYear(date.year());
    face.capitalMonth = text::capitalMonth(date.month()).value_or(QString());
    face.capitalDay = text::capitalDay(date.day()).value_or(QString());
}

QString fieldText(const CustomField &f, const CustomFace &face)
{
    switch (f.kind) {
    case FieldKind::OwnName: return face.ownName;
    case FieldKind::OwnAccount: return face.ownAccount;
    case FieldKind::OwnBank: return face.ownBank;
    case FieldKind::OwnProvince: return face.ownProvince;
    case FieldKind::OwnCity: return face.ownCity;
    case FieldKind::PartyName: return face.partyName;
    case FieldKind::PartyAccount: return face.partyAccount;
    case FieldKind::PartyBank: return face.partyBank;
    case FieldKind::PartyProvince: return face.partyProvince;
    case FieldKind::PartyCity: return face.partyCity;
    case FieldKind::AmountWords:
        return amountWords(face.amount, text::AmountVariant::ElevenPlaces,
                           text::amountPlaces(text::AmountVariant::ElevenPlaces));
    case FieldKind::AmountFigures: return text::currencyText(face.amount);
    case FieldKind::AmountCells: return fieldCells(f, face).join(QString());
    case FieldKind::Date: return face.date;
    case FieldKind::Year: return face.year;
    case FieldKind::Month: return face.month;
    case FieldKind::Day: return face.day;
    case FieldKind::CapitalYear: return face.capitalYear;
    case FieldKind::CapitalMonth: return face.capitalMonth;
    case FieldKind::CapitalDay: return face.capitalDay;
    case FieldKind::Purpose: return face.purpose;
    case FieldKind::Number: return face.number;
    case FieldKind::Password: return face.password;
    case FieldKind::FixedText: return f.text;
    case FieldKind::Tick: return face.choices.value(f.text) == f.choice ? QStringLiteral("√") : QString();
    case FieldKind::Note: return face.notes.value(f.text);
    }
    return QString();
}

QStringList fieldCells(const CustomField &f, const CustomFace &face)
{
    // amountCells gives the 分 cell first; the form reads them from the left.
    QStringList cells = amountCells(face.amount, text::AmountVariant::ElevenPlaces, f.cells);
    while (cells.size() < f.cells)
        cells.append(QString());
    std::reverse(cells.begin(), cells.end());
    return cells;
}

QList<PrintField> customFields(const CustomForm &form, const CustomFace &face)
{
    QList<PrintField> rows;
    for (const CustomField &f : form.fields) {
        if (f.kind == FieldKind::AmountCells) {
            const QStringList cells = fieldCells(f, face);
            for (int left = 0; left < f.cells; ++left)
                rows.append({f.x + f.pitch * left, f.xKey(), f.y, f.yKey(), f.points, cells[left]});
            continue;
        }
        PrintField row{f.x, f.xKey(), f.y, f.yKey(), f.points, fieldText(f, face)};
        if (f.width > 0)
            setSpace(row, fieldCaption(f.kind, form.role), f.width);
        rows.append(row);
    }
    return rows;
}

void printCustomForm(PageWriter &w, const CustomForm &form, const CustomFace &face, const Offsets &offsets)
{
    printFields(w, form.height, form.width, offsets.value(kFormX0), offsets.value(kFormY0), customFields(form, face),
                offsets);
}

namespace {

QJsonArray point(const QPointF &p) { return {p.x(), p.y()}; }
QPointF pointOf(const QJsonValue &v)
{
    const QJsonArray a = v.toArray();
    return a.size() == 2 ? QPointF(a[0].toDouble(), a[1].toDouble()) : QPointF();
}

} // namespace

QJsonObject scanPlacementJson(const FormScan &scan)
{
    QJsonObject s;
    s[QStringLiteral("dpi")] = scan.dpi;
    s[QStringLiteral("placed")] = scan.placed;
    s[QStringLiteral("imageA")] = point(scan.imageA);
    s[QStringLiteral("imageB")] = point(scan.imageB);
    s[QStringLiteral("formA")] = point(scan.formA);
    s[QStringLiteral("formB")] = point(scan.formB);
    return s;
}

void takeScanPlacement(FormScan &scan, const QJsonObject &s)
{
    scan.dpi = s.value(QStringLiteral("dpi")).toDouble();
    scan.placed = s.value(QStringLiteral("placed")).toBool();
    scan.imageA = pointOf(s.value(QStringLiteral("imageA")));
    scan.imageB = pointOf(s.value(QStringLiteral("imageB")));
    scan.formA = pointOf(s.value(QStringLiteral("formA")));
    scan.formB = pointOf(s.value(QStringLiteral("formB")));
}

QByteArray formToJson(const CustomForm &form)
{
    QJsonObject o;
    o[QStringLiteral("format")] = kFormat;
    o[QStringLiteral("version")] = kFormFileVersion;
    o[QStringLiteral("uid")] = form.uid;
    o[QStringLiteral("name")] = form.name;
    o[QStringLiteral("role")] = form.role;
    o[QStringLiteral("widthTwips")] = form.width;
    o[QStringLiteral("heightTwips")] = form.height;
    o[QStringLiteral("lastSerial")] = qMax(form.lastSerial, form.nextSerial() - 1);
    if (!form.scan.isEmpty()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        form.scan.image.save(&buffer, "PNG");
        QJsonObject s = scanPlacementJson(form.scan);
        s[QStringLiteral("png")] = QString::fromLatin1(png.toBase64());
        o[QStringLiteral("scan")] = s;
    }
    QJsonArray fields;
    for (const CustomField &f : form.fields) {
        QJsonObject j;
        j[QStringLiteral("type")] = fieldType(f.kind).id;
        j[QStringLiteral("serial")] = f.serial;
        j[QStringLiteral("x")] = f.x;
        j[QStringLiteral("y")] = f.y;
        j[QStringLiteral("points")] = f.points;
        j[QStringLiteral("width")] = f.width;
        if (f.kind == FieldKind::AmountCells) {
            j[QStringLiteral("cells")] = f.cells;
            j[QStringLiteral("pitch")] = f.pitch;
        }
        if (!f.text.isEmpty())
            j[QStringLiteral("text")] = f.text;
        if (!f.choice.isEmpty())
            j[QStringLiteral("choice")] = f.choice;
        fields.append(j);
    }
    o[QStringLiteral("fields")] = fields;
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

std::optional<CustomForm> formFromJson(const QByteArray &json, QString *error)
{
    const auto fail = [error](const QString &why) -> std::optional<CustomForm> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject())
        return fail(QStringLiteral("文件已损坏或不是凭证格式文件。"));
    const QJsonObject o = doc.object();
    if (o.value(QStringLiteral("format")).toString() != kFormat)
        return fail(QStringLiteral("这不是凭证格式文件。"));
    const QJsonValue version = o.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() < 1)
        return fail(QStringLiteral("文件已损坏：没有格式版本。"));
    if (version.toDouble() > kFormFileVersion)
        return fail(QStringLiteral("这个凭证格式文件来自较新版本的程序（格式版本 %1），本程序只能读取版本 %2。请升级程序。")
                        .arg(version.toInt())
                        .arg(kFormFileVersion));
    const auto number = [](const QJsonObject &j, const char *key, bool *ok) {
        const QJsonValue v = j.value(QLatin1String(key));
        if (!v.isDouble())
            *ok = false;
        return v.toDouble();
    };
    bool ok = true;
    CustomForm form;
    form.uid = o.value(QStringLiteral("uid")).toString();
    static const QRegularExpression uidShape(QStringLiteral("^[0-9a-f]{32}$"));
    if (!uidShape.match(form.uid).hasMatch())
        return fail(QStringLiteral("文件已损坏：凭证格式没有标识。"));
    form.name = o.value(QStringLiteral("name")).toString();
    form.role = o.value(QStringLiteral("role")).toString();
    const double width = number(o, "widthTwips", &ok), height = number(o, "heightTwips", &ok);
    if (!ok || width < 0 || height < 0 || width > 1e6 || height > 1e6)
        return fail(QStringLiteral("文件已损坏：纸张大小不对。"));
    form.width = qRound(width);
    form.height = qRound(height);
    const double lastSerial = o.value(QStringLiteral("lastSerial")).toDouble(0);
    if (!(lastSerial >= 0 && lastSerial <= 1e6))
        return fail(QStringLiteral("文件已损坏：栏目编号不对。"));
    form.lastSerial = int(lastSerial);
    if (o.contains(QStringLiteral("scan"))) {
        const QJsonObject s = o.value(QStringLiteral("scan")).toObject();
        const QByteArray png = QByteArray::fromBase64(s.value(QStringLiteral("png")).toString().toLatin1());
        if (png.isEmpty() || !form.scan.image.loadFromData(png, "PNG"))
            return fail(QStringLiteral("文件已损坏：扫描图无法读取。"));
        form.scan.image = form.scan.image.convertToFormat(QImage::Format_RGB32);
        takeScanPlacement(form.scan, s);
        if (!std::isfinite(form.scan.dpi) || form.scan.dpi < 0 || form.scan.dpi > 10000)
            return fail(QStringLiteral("文件已损坏：扫描图的分辨率不对。"));
    }
    const QJsonValue fields = o.value(QStringLiteral("fields"));
    if (!fields.isArray())
        return fail(QStringLiteral("文件已损坏：没有栏目表。"));
    for (const QJsonValue &v : fields.toArray()) {
        const QJsonObject j = v.toObject();
        const QString type = j.value(QStringLiteral("type")).toString();
        const FieldType *known = nullptr;
        for (const FieldType &t : fieldTypes())
            if (t.id == type)
                known = &t;
        if (!known)
            return fail(QStringLiteral("文件中有本程序不认识的栏目“%1”，可能来自较新版本的程序。没有导入。").arg(type));
        CustomField f;
        f.kind = known->kind;
        // Whole numbers in their range before they are made ints (a huge value is no int at all).
        const auto whole = [&](const char *key, double low, double high) {
            const double v = number(j, key, &ok);
            if (!(v >= low && v <= high) || v != std::floor(v))
                ok = false;
            return ok ? int(v) : 0;
        };
        f.serial = whole("serial", 1, 1e6);
        f.x = number(j, "x", &ok);
        f.y = number(j, "y", &ok);
        f.points = number(j, "points", &ok);
        f.width = j.value(QStringLiteral("width")).toDouble(0);
        if (f.kind == FieldKind::AmountCells) {
            f.cells = whole("cells", 1, 11);
            f.pitch = number(j, "pitch", &ok);
        }
        f.text = j.value(QStringLiteral("text")).toString();
        f.choice = j.value(QStringLiteral("choice")).toString();
        if (!ok)
            return fail(QStringLiteral("文件已损坏：栏目“%1”的编号、位置、字号或格数不对。").arg(known->caption));
        form.fields.append(f);
    }
    if (const QString problem = formProblem(form); !problem.isEmpty())
        return fail(QStringLiteral("文件中的凭证格式不能使用：%1。").arg(problem));
    return form;
}

} // namespace vouchers
