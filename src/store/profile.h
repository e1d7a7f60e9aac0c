#pragma once
// Profile (INI) files that keep the voucher calibrations between runs of the program.

#include <QString>

namespace store {

// One profile file, read and written line by line the way the calibrations expect:
// - section and key names match without regard to case ([MyApp], [Myapp], [MYAPP] are one);
// - read() returns at most 255 characters, and the default when file, section or key is missing;
// - write() creates the file and the section when they are missing, changes only the line of
//   its key (or adds one) and leaves every other byte of the file as it was.
// Every call reads the file afresh; the files are small.
class Profile {
public:
    explicit Profile(QString fileName); // a full path, usually store::appFile("mqtx.ini")

    QString fileName() const { return m_fileName; }

    QString read(const QString &section, const QString &key,
                 const QString &defaultValue = QString()) const;
    // False when the file could not be written or a name cannot be stored (empty, or holding
    // a line break, "]" in a section or "=" in a key).
    bool write(const QString &section, const QString &key, const QString &value) const;

    // A stored number: the leading number of the value, 0 when missing or not a number.
    double readNumber(const QString &section, const QString &key) const;
    // Writes a number as the settings hold it (114, -57, 28.5).
    bool writeNumber(const QString &section, const QString &key, double value) const;

    static constexpr int kMaxValueLength = 255;

private:
    QString m_fileName;
};

} // namespace store
