#pragma once
// Database files handled through SQLite itself: what a header says, the quick check, consistent
// copies and the journal mode the program keeps its files in.

#include <QString>

#include <functional>

namespace store {

// What the first 100 bytes of a file say, read without opening it as a database.
struct FileHeader {
    bool readable = false;    // the file exists and its first 100 bytes could be read
    bool isSqlite = false;    // the SQLite signature and a valid page size
    qint64 fileSize = 0;
    int pageSize = 0;
    qint64 pageCount = 0;     // as the header states it; 0 when the header does not say
    quint32 applicationId = 0;
    bool writeAheadLog = false; // the file is in WAL mode: part of it may live in "-wal"
};
FileHeader readFileHeader(const QString &path);

// Our files carry application_id 'LSJT'.
constexpr quint32 kApplicationId = 0x4C534A54;

// Called now and then during long work; returning false stops it.
using KeepGoing = std::function<bool()>;
// Pages (or bytes) done out of the total.
using Progress = std::function<void(qint64 done, qint64 total)>;

struct QuickCheck {
    enum class Status { Sound, Damaged, NotChecked };
    Status status = Status::NotChecked;
    QString detail; // what SQLite found (Damaged) or why there was no check (NotChecked)
    bool sound() const { return status == Status::Sound; }
    bool damaged() const { return status == Status::Damaged; }
};

// PRAGMA quick_check over the whole file (every page of every table and index), read-only.
// A file SQLite cannot read as a database counts as damaged; a lock held by another program or
// keepGoing() returning false leaves it NotChecked.
QuickCheck quickCheck(const QString &path, const KeepGoing &keepGoing = {});

// Writes a consistent snapshot of the database at source into destination (an empty or absent
// file) through SQLite's online backup: every committed row, whatever the journal mode of the
// source and whatever is still in its write-ahead log. The copy is left in rollback-journal mode,
// with no file beside it, and flushed to the disk. Empty on success, otherwise the message.
QString snapshotDatabase(const QString &source, const QString &destination, const Progress &progress = {});

// Whether another connection is writing to the database right now: empty when a write could
// begin (a journal a crash left is rolled back first), otherwise why not. A journal that was
// never completed (a write killed before it changed the file) is no write under way.
QString checkNoWriter(const QString &path);

// Puts a database file in the journal mode the program keeps: a rollback journal that exists only
// while a write is under way. A write-ahead log beside the file is taken into it and removed,
// a journal left by a crash is rolled back. Empty on success, otherwise the message.
QString useRollbackJournal(const QString &path);

// How many customers (khb) and history rows (dyb) a database of ours holds, read without changing
// it; -1 for a table that cannot be counted.
struct RowCounts {
    qint64 customers = -1;
    qint64 history = -1;
};
RowCounts rowCounts(const QString &path);

} // namespace store
