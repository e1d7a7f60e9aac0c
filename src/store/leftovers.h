#pragma once
// Temporary files of this program: how they are named and marked in use, and how the ones a
// killed run left behind are found and removed.
//
// Every file is first written under a temporary name beside its target, "." + target name + "."
// + six letters or digits + ".tmp", and renamed over the target once complete. While an
// operation writes such a file it holds a lock on it, so a clean-up never takes a file that a
// running operation (of this or another instance of the program) still needs.

#include <QString>
#include <QStringList>

class QTemporaryFile;

namespace store {

// The QTemporaryFile template for a file written in place of target: "<folder>/.<name>.XXXXXX.tmp".
QString temporaryTemplate(const QString &target);

// Opens file (a QTemporaryFile from temporaryTemplate) and marks it in use until it is closed.
// False with the file's error when it cannot be created.
bool openInUse(QTemporaryFile &file);

// Removes what earlier runs left of the temporary files for target (in target's folder): the
// temporary copies and the journals SQLite kept beside them. Returns the names removed.
QStringList removeLeftoversOf(const QString &target);

// Removes every temporary file of ours in folder (the data folder, at start), whatever its
// target. Files of other names are never touched. Returns the names removed.
QStringList removeLeftoversIn(const QString &folder);

} // namespace store
