#include "tempappdir.h"

#include "store/appdir.h"

TempAppDir::TempAppDir() { store::setAppDir(m_dir.path()); }

TempAppDir::~TempAppDir() { store::setAppDir(QString()); }
