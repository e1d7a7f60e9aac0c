#pragma once
// A temporary application directory for one test: database and profile files go there.

#include <QString>
#include <QTemporaryDir>

class TempAppDir {
public:
    TempAppDir();  // points store::appDir() here
    ~TempAppDir(); // restores the default
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
