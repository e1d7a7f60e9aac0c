#pragma once
// What the readers share about files: reading one whole, with the refusals every kind gives.

#include <QByteArray>
#include <QString>

namespace sheets {

// The largest file read: many times any list a clerk keeps, and a bound on the memory a
// hostile file can make the readers take.
constexpr qint64 kMaxFileBytes = 128 * 1024 * 1024;

inline const QByteArray kCompoundSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// The bytes of the file at path; false with a message for the user when it is missing, not a
// file, empty, too large or unreadable.
bool readWholeFile(const QString &path, QByteArray *bytes, QString *error);

QString protectedWorkbookMessage(const QString &path);

} // namespace sheets
