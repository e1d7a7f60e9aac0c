#pragma once
// Whole-file copies for backup and restore that never leave a partial file under the final name.

#include <QByteArray>
#include <QString>

class QFile;

#include <functional>

namespace maintenance {

// Called as the copy goes on: bytes written so far out of the total.
using CopyProgress = std::function<void(qint64 done, qint64 total)>;

struct CopyResult {
    QString error;   // for the user, in Chinese; empty on success
    QByteArray hash; // SHA-256 of what was copied
    qint64 size = 0;
    bool ok() const { return error.isEmpty(); }
};

// Copies source to destination byte for byte: into a temporary file in the destination's folder,
// flushed to disk, read back, and renamed over the destination only when its length and hash
// match what was read from the source. On any failure the destination is as it was before (absent
// or with its old contents) and the temporary file is gone. Temporary files that an earlier copy
// to the same name left when it was cut off are removed first.
CopyResult copyFileSafely(const QString &source, const QString &destination, const CopyProgress &progress = {});

// The copying and checking part of copyFileSafely, into a file the caller has opened (empty, for
// writing and reading); destination only names the place in messages.
CopyResult copyInto(const QString &source, QFile &out, const QString &destination, const CopyProgress &progress = {});

// SHA-256 of a file's contents; empty, with *error set, when it cannot be read.
QByteArray fileHash(const QString &path, QString *error = nullptr);

// Replaces target by source in one step (both in the same folder): afterwards target is either
// the old file or the new one, never a mixture. Empty on success, otherwise the message.
QString replaceFile(const QString &source, const QString &target);

} // namespace maintenance
