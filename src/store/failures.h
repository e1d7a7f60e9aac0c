#pragma once
// What stopped a write, in the clerk's words: the file or folder concerned (the data folder named
// as such) and the cause, 磁盘已满 or 没有写入权限 where that is what happened.

#include <QString>

class QSqlError;

namespace store {

// "数据文件夹“/home/…/lanshi”" for the data folder, "文件夹“/tmp/x”" for any other.
QString folderLabel(const QString &folder);

// The cause of a failed write of a file or into a folder, from errno where the caller has it
// (0: unknown), else from what the folder shows now: no room left, no permission. Empty when
// neither explains it.
QString writeCause(const QString &folder, int error = 0);

// A failed write to the database: "数据文件夹“…”所在的磁盘已满", "数据库文件“…”没有写入权限", or the
// database's own words.
QString writeFailure(const QSqlError &error);

} // namespace store
