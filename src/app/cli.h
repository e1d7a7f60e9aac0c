#pragma once
// The command line: printing a payment list without a window.
//
//   lanshi print VOUCHER --data FILE [--pdf OUT.pdf | --printer [NAME]] [--allow-repeat]
//   lanshi --help

#include <QStringList>

#include <cstdio>

namespace app {

// Whether the arguments ask for the command line rather than the windows.
bool isCommandLine(int argc, char *argv[]);

// Runs the command line; the exit status: 0 printed, 1 the list or the command has problems
// (nothing printed), 2 the printer or the file failed. out and err take the messages.
int runCommandLine(const QStringList &arguments, std::FILE *out = stdout, std::FILE *err = stderr);

QString commandLineHelp();

} // namespace app
