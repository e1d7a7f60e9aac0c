#include "app/startupcheck.h"

#include "ui/prompter.h"

#include <QFile>

#include <sys/stat.h>

namespace app {

namespace {
QByteArray fileId(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QByteArray();
    return QByteArray::number(qulonglong(st.st_dev)) + ':' + QByteArray::number(qulonglong(st.st_ino));
}
} // namespace

StartupCheck::StartupCheck(const QString &path, QWidget *window, QObject *parent)
    : QObject(parent), m_path(path), m_fileId(fileId(path)), m_window(window)
{
    m_thread = std::thread([this] {
        const store::QuickCheck result = store::quickCheck(m_path, [this] { return !m_stop.load(); });
        if (m_stop.load())
            return;
        QMetaObject::invokeMethod(this, [this, result] { report(result); }, Qt::QueuedConnection);
    });
}

StartupCheck::~StartupCheck()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

QString StartupCheck::damageMessage(const QString &path, const store::QuickCheck &result)
{
    return QStringLiteral("数据库文件 %1 已损坏：\n%2\n\n"
                          "继续使用可能造成更多资料丢失，也无法备份。请在主窗口的“数据操作”中点“数据恢复”，"
                          "选择最近一次完好的备份恢复数据（恢复前的数据库会另存一份安全副本）。")
        .arg(path, result.detail.section(QLatin1Char('\n'), 0, 2));
}

void StartupCheck::report(const store::QuickCheck &result)
{
    m_result = result;
    m_done = true;
    // A check that could not run (another program holds the file) proves nothing either way; the
    // check before every backup still guards the user's backups. A file restored while the check
    // ran is not the one it read.
    if (result.damaged() && fileId(m_path) == m_fileId)
        ui::tell(m_window, damageMessage(m_path, result), QStringLiteral("蓝石竞技通"), ui::Icon::Critical);
    emit finished();
}

} // namespace app
