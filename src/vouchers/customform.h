#pragma once
// A voucher form of the clerk's own (自定义凭证): the paper, the counterparty's role, the scan of
// the blank form and the fields placed on it, each field one of a fixed vocabulary. A form is data:
// kept in the database (vouchers/customformstore.h), shared as a file (toJson / fromJson), and
// printed by the one routine below.

#include "vouchers/calibration.h"
#include "vouchers/formscan.h"
#include "vouchers/printtable.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace vouchers {

// What a field prints. The names in the file (id) never change once written.
enum class FieldKind {
    OwnName, OwnAccount, OwnBank, OwnProvince, OwnCity,
    PartyName, PartyAccount, PartyBank, PartyProvince, PartyCity,
    AmountWords,   // 壹仟元整
    AmountFigures, // ￥1,000.00
    AmountCells,   // one digit per cell, ￥ in the cell left of the highest digit
    Date,          // 2010-04-14
    Year, Month, Day,                      // plain numbers
    CapitalYear, CapitalMonth, CapitalDay, // 贰零壹零 零肆 壹拾肆, as on the cheque
    Purpose, Number, Password,
    FixedText, // the field's own text, the same on every voucher
    Tick,      // √ when its group's choice is this field's choice
    Note,      // a text typed at print time, under the field's caption
};

struct FieldType {
    FieldKind kind;
    QString id;      // "partyName": the name in a form file
    QString caption; // "对方户名": what the designer lists
};
// The vocabulary in the order the designer offers it.
const QList<FieldType> &fieldTypes();
const FieldType &fieldType(FieldKind kind);
// The counterparty's caption for a role: 收款人名称, or 付款人名称.
QString fieldCaption(FieldKind kind, const QString &role);

struct CustomField {
    int serial = 0; // the field's own number in its form, never reused: its calibration keys
    FieldKind kind = FieldKind::PartyName;
    double x = 0, y = 0;  // twips from the paper's top-left corner to the text's top-left
    double points = 10;
    double width = 0;     // twips the text may take (it is made smaller to fit); 0: never smaller
    int cells = 0;        // AmountCells: how many, the rightmost the 分 cell
    double pitch = 0;     // AmountCells: twips from one cell to the next
    QString text;         // FixedText: the text; Tick: the group (汇款方式); Note: its caption (备注)
    QString choice;       // Tick: the choice it marks (加急)

    // The calibration keys of the field: its own left/right and up/down shift.
    QString xKey() const { return QStringLiteral("x%1").arg(serial); }
    QString yKey() const { return QStringLiteral("y%1").arg(serial); }
};

bool operator==(const CustomField &a, const CustomField &b);
inline bool operator!=(const CustomField &a, const CustomField &b) { return !(a == b); }

inline const QString kRolePayee = QStringLiteral("收款人"); // the own company pays
inline const QString kRolePayer = QStringLiteral("付款人"); // the own company is paid
// The calibration keys of the whole form.
inline const QString kFormX0 = QStringLiteral("x0");
inline const QString kFormY0 = QStringLiteral("y0");

struct CustomForm {
    qint64 id = 0; // its row in the database; 0: not saved yet
    // Its own mark, the same in every office that imported it: its calibration, scan and printer
    // on a machine go by it, so that forms of two 账套 never share them. Given when first saved.
    QString uid;
    QString name;  // 工商银行业务委托书: also its type in the history
    QString role = kRolePayee;
    int width = 0, height = 0; // the paper, twips
    int lastSerial = 0;        // the highest field serial ever given (a removed field's is not reused)
    FormScan scan;
    QList<CustomField> fields;

    // The voucher window's name, and the name its printer, calibration and scan files go by.
    QString window() const { return QStringLiteral("zdy") + uid; }
    // The next serial for a new field.
    int nextSerial() const;
    bool has(FieldKind kind) const;
    // The groups of the ticks and the captions of the notes, in the order of their first field.
    QStringList tickGroups() const;
    QStringList choicesOf(const QString &group) const;
    QStringList noteCaptions() const;
    // The calibration keys: the whole form's, then each field's.
    QList<KeyBox> calibrationKeys() const;
};

// What is wrong with a form for saving or importing, for the clerk; empty when nothing is.
// Checks the name, the role, the paper (10 to 1000 mm a side) and every field: inside the paper,
// a size of 5 to 72 points, a width and cells that make sense, a tick's group and choice, a note's
// caption, a fixed text.
QString formProblem(const CustomForm &form);

// The texts a voucher of the form prints, by what they are.
struct CustomFace {
    QString ownName, ownAccount, ownBank, ownProvince, ownCity;
    QString partyName, partyAccount, partyBank, partyProvince, partyCity;
    QString amount; // as typed
    QString date;   // 2010-04-14; empty: no date confirmed
    QString year, month, day, capitalYear, capitalMonth, capitalDay;
    QString purpose, number, password;
    QHash<QString, QString> choices; // tick group -> the chosen choice
    QHash<QString, QString> notes;   // note caption -> the text typed
};
// The face's date fields from a date (plain numbers and the cheque's capitals).
void setFaceDate(CustomFace &face, const QDate &date);

// The text a field prints for a face (AmountCells: the cells from the leftmost).
QString fieldText(const CustomField &field, const CustomFace &face);
QStringList fieldCells(const CustomField &field, const CustomFace &face);

// The rows the form prints, in field order: a field at (x, y) plus the form's shift (x0, y0) and
// its own (x<serial>, y<serial>); cell k from the left k pitches further right.
QList<PrintField> customFields(const CustomForm &form, const CustomFace &face);
// The whole voucher: the paper of the form, every row with a text, end of document.
void printCustomForm(PageWriter &w, const CustomForm &form, const CustomFace &face, const Offsets &offsets);

// A scan's resolution and reference points as JSON, and back (the image goes apart).
QJsonObject scanPlacementJson(const FormScan &scan);
void takeScanPlacement(FormScan &scan, const QJsonObject &json);

// A form as one file: JSON with the scan inside (PNG, base64), the positions in twips.
inline constexpr int kFormFileVersion = 1;
QByteArray formToJson(const CustomForm &form);
// The form a file holds, its id 0; a file that is not a form file, is damaged, is from a newer
// program or holds a field this program does not know is refused with *error saying why.
std::optional<CustomForm> formFromJson(const QByteArray &json, QString *error);

// One of the six built-in vouchers as the start of a form of one's own: its paper, its fields at
// the places it prints them now (its saved calibration taken in), its scan. Nothing for a window
// name that is no built-in voucher.
std::optional<CustomForm> formFromBuiltIn(const QString &window);

} // namespace vouchers
