#include "store/companies.h"

#include "store/appdir.h"
#include "store/database.h"
#include "store/datadir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <functional>

namespace store {

namespace {

QString &machineOverride()
{
    static QString dir;
    return dir;
}

QString &captionHolder()
{
    static QString caption;
    return caption;
}

QString listFile() { return QDir(machineDir()).filePath(QStringLiteral("companies.json")); }

QString clean(const QString &folder) { return QDir::cleanPath(QFileInfo(folder).absoluteFilePath()); }

QList<Company> read(QString *error)
{
    QFile file(listFile());
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取账套列表“%1”：%2").arg(QDir::toNativeSeparators(listFile()), file.errorString());
        return {};
    }
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        if (error)
            *error = QStringLiteral("账套列表“%1”已损坏，无法读取。").arg(QDir::toNativeSeparators(listFile()));
        return {};
    }
    QList<Company> list;
    for (const QJsonValue &v : doc.object().value(QStringLiteral("companies")).toArray()) {
        const QJsonObject o = v.toObject();
        Company c;
        c.name = o.value(QStringLiteral("name")).toString().trimmed();
        c.folder = o.value(QStringLiteral("folder")).toString();
        c.machineCalibration = o.value(QStringLiteral("machineCalibration")).toBool(true);
        c.lastUsed = QDateTime::fromString(o.value(QStringLiteral("lastUsed")).toString(), Qt::ISODate);
        if (o.contains(QStringLiteral("server")))
            c.server = serverFromJson(o.value(QStringLiteral("server")).toObject());
        if (!c.name.isEmpty() && !c.folder.isEmpty())
            list.append(c);
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const Company &a, const Company &b) { return a.lastUsed > b.lastUsed; });
    return list;
}

bool write(const QList<Company> &list, QString *error)
{
    QJsonArray array;
    for (const Company &c : list) {
        QJsonObject o{{QStringLiteral("name"), c.name},
                      {QStringLiteral("folder"), c.folder},
                      {QStringLiteral("machineCalibration"), c.machineCalibration},
                      {QStringLiteral("lastUsed"), c.lastUsed.toString(Qt::ISODateWithMs)}};
        if (c.server)
            o[QStringLiteral("server")] = serverJson(*c.server); // never a password
        array.append(o);
    }
    QSaveFile file(listFile());
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QJsonDocument(QJsonObject{{QStringLiteral("companies"), array}}).toJson()) < 0
        || !file.commit()) {
        if (error)
            *error = QStringLiteral("无法写入账套列表“%1”：%2").arg(QDir::toNativeSeparators(listFile()), file.errorString());
        return false;
    }
    return true;
}

// Reads the list, lets change alter it, writes it back: under the list's lock.
bool change(const std::function<bool(QList<Company> &, QString *)> &alter, QString *error)
{
    if (!QDir().mkpath(machineDir())) {
        if (error)
            *error = QStringLiteral("无法建立文件夹“%1”。").arg(QDir::toNativeSeparators(machineDir()));
        return false;
    }
    QLockFile lock(QDir(machineDir()).filePath(QStringLiteral("companies.lock")));
    if (!lock.tryLock(5000)) {
        if (error)
            *error = QStringLiteral("账套列表正被另一个程序窗口修改，请稍后再试。");
        return false;
    }
    QString readError;
    QList<Company> list = read(&readError);
    if (!readError.isEmpty()) {
        // A damaged list is never overwritten by a change: what it held would be lost unseen.
        if (error)
            *error = readError;
        return false;
    }
    if (!alter(list, error))
        return false;
    return write(list, error);
}

QList<Company>::iterator named(QList<Company> &list, const QString &name)
{
    return std::find_if(list.begin(), list.end(), [&](const Company &c) { return c.name == name; });
}

QString noSuchCompany(const QString &name) { return QStringLiteral("没有名为“%1”的账套。").arg(name); }

} // namespace

QString machineDir()
{
    if (!machineOverride().isEmpty())
        return machineOverride();
    const QString env = qEnvironmentVariable("LANSHI_MACHINE_DIR");
    if (!env.isEmpty())
        return clean(env);
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        config = QDir::home().filePath(QStringLiteral(".config"));
    return QDir(config).filePath(QStringLiteral("lanshi"));
}

void setMachineDir(const QString &dir) { machineOverride() = dir.isEmpty() ? QString() : clean(dir); }

QString machineCalibrationDir() { return QDir(machineDir()).filePath(QStringLiteral("calibration")); }

QList<Company> companies(QString *error) { return read(error); }

std::optional<Company> findCompany(const QString &name)
{
    for (const Company &c : read(nullptr))
        if (c.name == name.trimmed())
            return c;
    return std::nullopt;
}

std::optional<Company> companyOfFolder(const QString &folder)
{
    for (const Company &c : read(nullptr))
        if (clean(c.folder) == clean(folder))
            return c;
    return std::nullopt;
}

QString companyNameProblem(const QString &name, const QString &except)
{
    const QString n = name.trimmed();
    if (n.isEmpty())
        return QStringLiteral("请输入账套名称。");
    if (n != except && findCompany(n))
        return QStringLiteral("已有名为“%1”的账套，请换一个名称。").arg(n);
    return {};
}

bool addCompany(const Company &company, QString *error)
{
    Company c = company;
    c.name = c.name.trimmed();
    c.folder = clean(c.folder);
    return change(
        [&c](QList<Company> &list, QString *e) {
            if (named(list, c.name) != list.end()) {
                if (e)
                    *e = QStringLiteral("已有名为“%1”的账套，请换一个名称。").arg(c.name);
                return false;
            }
            for (const Company &other : list)
                if (clean(other.folder) == c.folder) {
                    if (e)
                        *e = QStringLiteral("文件夹“%1”已是账套“%2”的数据文件夹。")
                                 .arg(QDir::toNativeSeparators(c.folder), other.name);
                    return false;
                }
            list.append(c);
            return true;
        },
        error);
}

// Changes the 账套 of that name in the list; a name the list does not hold is an error.
bool changeNamed(const QString &name, const std::function<void(QList<Company> &, QList<Company>::iterator)> &alter,
                 QString *error)
{
    return change(
        [&](QList<Company> &list, QString *e) {
            const auto it = named(list, name);
            if (it == list.end()) {
                if (e)
                    *e = noSuchCompany(name);
                return false;
            }
            alter(list, it);
            return true;
        },
        error);
}

bool renameCompany(const QString &name, const QString &newName, QString *error)
{
    const QString to = newName.trimmed();
    if (const QString problem = companyNameProblem(to, name); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    return changeNamed(name, [&](QList<Company> &, QList<Company>::iterator it) { it->name = to; }, error);
}

bool removeCompany(const QString &name, QString *error)
{
    return changeNamed(name, [](QList<Company> &list, QList<Company>::iterator it) { list.erase(it); }, error);
}

bool touchCompany(const QString &name)
{
    return change(
        [&](QList<Company> &list, QString *) {
            const auto it = named(list, name);
            if (it != list.end())
                it->lastUsed = QDateTime::currentDateTime();
            return true;
        },
        nullptr);
}

bool setMachineCalibration(const QString &name, bool machine, QString *error)
{
    return changeNamed(
        name, [machine](QList<Company> &, QList<Company>::iterator it) { it->machineCalibration = machine; }, error);
}

QString companyFolderProblem(const Company &company)
{
    const QString shown = QDir::toNativeSeparators(company.folder);
    if (!QFileInfo(company.folder).isDir())
        return QStringLiteral("账套“%1”的文件夹“%2”不存在（可能已被移走、改名或删除，或所在的磁盘没有连接）。")
            .arg(company.name, shown);
    if (!company.server && !QFileInfo(QDir(company.folder).filePath(QStringLiteral("sjk.mdb"))).isFile())
        return QStringLiteral("账套“%1”的文件夹“%2”中没有数据库文件 sjk.mdb。").arg(company.name, shown);
    return {};
}

std::unique_ptr<DataDir> openCompany(const Company &company, QString *error)
{
    if (const QString problem = companyFolderProblem(company); !problem.isEmpty()) {
        *error = problem;
        return nullptr;
    }
    std::unique_ptr<DataDir> dir = DataDir::openFolder(company.folder, error);
    if (!dir) {
        *error = QStringLiteral("无法打开账套“%1”：%2").arg(company.name, *error);
        return nullptr;
    }
    useCalibrationOf(company);
    return dir;
}

void useCalibrationOf(const Company &company)
{
    // A server 账套 is shared by several machines: each prints with its own calibration.
    setCalibrationDir(company.machineCalibration || company.server ? machineCalibrationDir() : QString());
    useServer(company.server);
}

QString ensureCompanyDatabases()
{
    DatabaseStatus status;
    if (const std::optional<ServerAddress> server = currentServer()) {
        if (const QString problem = checkServerDatabase(*server); !problem.isEmpty())
            return problem;
    } else if (status = ensureDatabase(); !status.ok) {
        return status.errorText;
    }
    if (!calibrationShared())
        return {};
    if (!QDir().mkpath(calibrationDir()))
        return QStringLiteral("无法建立本机打印校准的文件夹“%1”。").arg(QDir::toNativeSeparators(calibrationDir()));
    status = ensureDatabaseAt(calibrationDatabasePath());
    return status.ok ? QString() : status.errorText;
}

QString currentCompanyCaption() { return captionHolder(); }

void setCurrentCompanyCaption(const QString &caption) { captionHolder() = caption; }

QString withCompanyCaption(const QString &title)
{
    const QString caption = currentCompanyCaption();
    return caption.isEmpty() ? title : QStringLiteral("%1 — %2").arg(title, caption);
}

} // namespace store
