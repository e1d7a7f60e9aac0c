#pragma once
// The data folder: which folder holds the database and the profile files, and the lock that keeps
// a second copy of the program off it.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QLockFile;

namespace store {

enum class DataDirSource { Option, Environment, ProgramFolder, UserFolder };

// What the choice looks at; runningDataDirRequest() fills it in for the running program.
struct DataDirRequest {
    QString option;            // --data-dir, empty when not given
    QString environment;       // LANSHI_DATA_DIR, empty when unset
    QString programFolder;     // the folder of the program file
    QString userFolder;        // the user's own data folder
    QStringList systemFolders; // where an installed program lives: never a data folder
};

struct DataDirChoice {
    QString path; // absolute and clean
    DataDirSource source = DataDirSource::UserFolder;
};

// Whether a new file can be made in folder. Tried, not read from the permission bits: root may
// write where the bits say no, and a read-only mount refuses everyone whatever they say.
bool canWriteIn(const QString &folder);

// In this order: the option; the environment variable; the program's own folder when sjk.mdb is
// there or a file can be written there, unless it is one of the system folders; the user's folder.
// A relative option or environment value is taken from the current folder.
DataDirChoice chooseDataDir(const DataDirRequest &request,
                            const std::function<bool(const QString &)> &writable = canWriteIn);

// The request of this program: LANSHI_DATA_DIR, the program file's folder,
// <XDG data home>/lanshi, and the folders a package or `cmake --install` puts the program in.
DataDirRequest runningDataDirRequest(const QString &option);

// Creates folder with its parents when missing and checks that files can be written in it.
// Empty when the folder can be used, else a message in Chinese that names it.
QString prepareDataDir(const QString &folder);

// The data folder one running program holds: chosen, created, checked and locked. While it
// exists, appDir() is its path and another copy of the program cannot take the same folder.
class DataDir {
public:
    // Null with a message in Chinese (naming the folder) in *error when the folder cannot be used.
    static std::unique_ptr<DataDir> open(const DataDirRequest &request, QString *error);
    // The same for a folder already chosen (a 账套's), which must exist.
    static std::unique_ptr<DataDir> openFolder(const QString &folder, QString *error);
    ~DataDir();

    QString path() const { return m_choice.path; }
    DataDirSource source() const { return m_choice.source; }

    // The lock file in the data folder; it names the computer and the process that hold the data.
    static QString lockFileName();

private:
    DataDir(DataDirChoice choice, std::unique_ptr<QLockFile> lock);
    static std::unique_ptr<DataDir> lock(const DataDirChoice &choice, QString *error);
    DataDirChoice m_choice;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace store
