#include "vouchers/customformstore.h"

#include "store/connection.h"
#include "store/database.h"
#include "vouchers/customvoucher.h"
#include "vouchers/voucherdata.h"

#include <QBuffer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <list>

namespace vouchers {

namespace {

std::optional<FieldKind> kindOfId(const QString &id)
{
    for (const FieldType &t : fieldTypes())
        if (t.id == id)
            return t.kind;
    return std::nullopt;
}

// Reads the forms of the WHERE clause (bound values only).
QList<CustomForm> readForms(store::Connection &connection, const QString &where, const QVariantList &values,
                            QString *error, bool withScans = true)
{
    QList<CustomForm> forms;
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("SELECT id, mc, js, zk, zg, %2, smdw, bs, zdbh FROM zdypz %1 ORDER BY mc")
                  .arg(where, withScans ? QStringLiteral("smt") : QStringLiteral("NULL")));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return {};
    }
    while (q.next()) {
        CustomForm f;
        f.id = q.value(0).toLongLong();
        f.name = q.value(1).toString();
        f.role = q.value(2).toString();
        f.width = q.value(3).toInt();
        f.height = q.value(4).toInt();
        f.uid = q.value(7).toString();
        f.lastSerial = q.value(8).toInt();
        const QByteArray png = q.value(5).toByteArray();
        if (!png.isEmpty() && f.scan.image.loadFromData(png, "PNG")) {
            f.scan.image = f.scan.image.convertToFormat(QImage::Format_RGB32);
            takeScanPlacement(f.scan, QJsonDocument::fromJson(q.value(6).toByteArray()).object());
        }
        forms.append(f);
    }
    q.finish();
    QSqlQuery fq(connection.database());
    fq.prepare(QStringLiteral("SELECT bh, lx, x, y, zh, kd, gs, gj, wz, xx FROM zdypzzd WHERE pz = ? ORDER BY xh"));
    for (CustomForm &f : forms) {
        fq.addBindValue(f.id);
        if (!fq.exec()) {
            if (error)
                *error = fq.lastError().text();
            return {};
        }
        while (fq.next()) {
            const std::optional<FieldKind> kind = kindOfId(fq.value(1).toString());
            if (!kind)
                continue; // a field of a newer program: never printed in the wrong place
            CustomField field;
            field.serial = fq.value(0).toInt();
            field.kind = *kind;
            field.x = fq.value(2).toDouble();
            field.y = fq.value(3).toDouble();
            field.points = fq.value(4).toDouble();
            field.width = fq.value(5).toDouble();
            field.cells = fq.value(6).toInt();
            field.pitch = fq.value(7).toDouble();
            field.text = fq.value(8).toString();
            field.choice = fq.value(9).toString();
            f.fields.append(field);
        }
        fq.finish();
    }
    return forms;
}

QString builtInNamed(const QString &name)
{
    for (const VoucherKind &k : voucherKinds())
        if (k.name == name || k.historyType == name || k.window.compare(name, Qt::CaseInsensitive) == 0)
            return k.name;
    if (name.startsWith(QStringLiteral("zdy"), Qt::CaseInsensitive) || name == QStringLiteral("汇款凭证"))
        return name;
    return QString();
}

int g_generation = 0;

} // namespace

QList<CustomForm> loadCustomForms(store::Connection &connection, QString *error)
{
    return readForms(connection, QString(), {}, error);
}

std::optional<CustomForm> loadCustomForm(store::Connection &connection, qint64 id)
{
    const QList<CustomForm> forms = readForms(connection, QStringLiteral("WHERE id = ?"), {id}, nullptr);
    if (forms.isEmpty())
        return std::nullopt;
    return forms.first();
}

qint64 customFormMarked(store::Connection &connection, const QString &uid)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("SELECT id FROM zdypz WHERE bs = ?"));
    q.addBindValue(uid);
    return q.exec() && q.next() ? q.value(0).toLongLong() : 0;
}

qint64 customFormNamed(store::Connection &connection, const QString &name)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("SELECT id FROM zdypz WHERE mc = ?"));
    q.addBindValue(name.trimmed());
    return q.exec() && q.next() ? q.value(0).toLongLong() : 0;
}

QString saveCustomForm(store::Connection &connection, CustomForm &form)
{
    form.name = form.name.trimmed();
    if (const QString problem = formProblem(form); !problem.isEmpty())
        return problem;
    if (!builtInNamed(form.name).isEmpty())
        return QStringLiteral("“%1”是程序自带凭证的名称，请另取一个名称").arg(form.name);
    const qint64 other = customFormNamed(connection, form.name);
    if (other != 0 && other != form.id)
        return QStringLiteral("已有名为“%1”的凭证，请另取一个名称").arg(form.name);
    store::Transaction t(connection);
    if (!t.isActive())
        return t.errorText();
    QSqlQuery q(connection.database());
    QByteArray png;
    if (!form.scan.isEmpty()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        form.scan.image.save(&buffer, "PNG");
    }
    const QVariant scan = png.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(png);
    const QVariant placement = png.isEmpty() ? QVariant(QMetaType::fromType<QString>())
                                             : QVariant(QString::fromUtf8(
                                                 QJsonDocument(scanPlacementJson(form.scan)).toJson(QJsonDocument::Compact)));
    const QString uid = form.uid.isEmpty() ? QUuid::createUuid().toString(QUuid::Id128) : form.uid;
    if (form.id == 0) {
        q.prepare(QStringLiteral("INSERT INTO zdypz (mc, js, zk, zg, smt, smdw, bs, zdbh) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                  + connection.returning(QStringLiteral("id")));
    } else {
        q.prepare(QStringLiteral("UPDATE zdypz SET mc = ?, js = ?, zk = ?, zg = ?, smt = ?, smdw = ?, bs = ?, zdbh = ? "
                                 "WHERE id = ?"));
    }
    const int lastSerial = qMax(form.lastSerial, form.nextSerial() - 1);
    for (const QVariant &v : QVariantList{form.name, form.role, form.width, form.height, scan, placement, uid, lastSerial})
        q.addBindValue(v);
    if (form.id != 0)
        q.addBindValue(form.id);
    if (!q.exec())
        return q.lastError().text();
    if (form.id != 0 && q.numRowsAffected() != 1)
        return QStringLiteral("凭证“%1”已被删除，没有保存").arg(form.name);
    const qint64 id = form.id != 0 ? form.id : store::Connection::insertedKey(q);
    q.finish();
    q.prepare(QStringLiteral("DELETE FROM zdypzzd WHERE pz = ?"));
    q.addBindValue(id);
    if (!q.exec())
        return q.lastError().text();
    q.prepare(QStringLiteral("INSERT INTO zdypzzd (pz, xh, bh, lx, x, y, zh, kd, gs, gj, wz, xx)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < form.fields.size(); ++i) {
        const CustomField &f = form.fields[i];
        for (const QVariant &v : QVariantList{id, i + 1, f.serial, fieldType(f.kind).id, f.x, f.y, f.points, f.width,
                                              f.cells, f.pitch, f.text, f.choice})
            q.addBindValue(v);
        if (!q.exec())
            return q.lastError().text();
    }
    q.finish();
    if (!t.commit())
        return t.errorText();
    form.id = id;
    form.uid = uid;
    form.lastSerial = lastSerial;
    customFormsChanged();
    return QString();
}

QString removeCustomForm(store::Connection &connection, qint64 id)
{
    store::Transaction t(connection);
    if (!t.isActive())
        return t.errorText();
    QSqlQuery q(connection.database());
    for (const char *sql : {"DELETE FROM zdypzzd WHERE pz = ?", "DELETE FROM zdypz WHERE id = ?"}) {
        q.prepare(QString::fromLatin1(sql));
        q.addBindValue(id);
        if (!q.exec())
            return q.lastError().text();
    }
    q.finish();
    if (!t.commit())
        return t.errorText();
    customFormsChanged();
    return QString();
}

void customFormsChanged() { ++g_generation; }

QList<const VoucherKind *> customVoucherKinds()
{
    // Kinds once handed out are kept, so that a list printing on one stays valid; they hold no
    // scans (a form's window reads its own), and are made again only when the forms differ.
    static std::list<VoucherKind> made;
    static QList<const VoucherKind *> current;
    static QString state;     // which database, in which state, the kinds were read from
    static QByteArray forms;  // and what its forms were
    const QFileInfo file(store::databasePath());
    const QString now = QStringLiteral("%1|%2|%3|%4")
                            .arg(file.absoluteFilePath())
                            .arg(g_generation)
                            .arg(file.lastModified().toMSecsSinceEpoch())
                            .arg(file.size());
    if (now == state)
        return current;
    store::Connection connection;
    if (!connection.isOpen())
        return current; // read again at the next use
    QString error;
    const QList<CustomForm> read = readForms(connection, QString(), {}, &error, false);
    if (!error.isEmpty())
        return current;
    QByteArray signature;
    for (const CustomForm &form : read)
        signature += QByteArray::number(form.id) + formToJson(form);
    state = now;
    if (signature == forms)
        return current;
    forms = signature;
    current.clear();
    for (const CustomForm &form : read) {
        made.push_back(customKind(form));
        current.append(&made.back());
    }
    return current;
}

QList<const VoucherKind *> allVoucherKinds()
{
    QList<const VoucherKind *> kinds;
    for (const VoucherKind &k : voucherKinds())
        kinds.append(&k);
    return kinds + customVoucherKinds();
}

} // namespace vouchers
