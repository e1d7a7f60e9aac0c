#pragma once
// The command line: printing a payment list without a window.
//
//   lanshi [--data-dir DIR] print VOUCHER --data FILE [--pdf OUT.pdf | --printer [NAME]] [--allow-repeat]
//   lanshi --help | --version

#include <QStringList>

#include <cstdio>

namespace app {

// The arguments after the program name with --data-dir taken out.
struct StartArguments {
    QString dataDir;   // --data-dir DIR or --data-dir=DIR; empty when not given
    QStringList rest;  // everything else, in its order
    QString error;     // --data-dir without a folder
};
StartArguments takeStartArguments(const QStringList &arguments);

// Whether the arguments (without --data-dir) ask for the command line rather than the windows.
bool isCommandLine(const QStringList &arguments);

// Runs the command line on the data folder already chosen; the exit status: 0 printed, 1 the list
// or the command has problems (nothing printed), 2 the printer, the file or the data folder
// failed. out and err take the messages.
int runCommandLine(const QStringList &arguments, std::FILE *out = stdout, std::FILE *err = stderr);

// The command line as the program runs it: takes --data-dir, chooses, checks and locks the data
// folder for a command that uses the data (print), then runs the command.
int runProgramCommandLine(const QStringList &arguments, std::FILE *out = stdout, std::FILE *err = stderr);

QString commandLineHelp();

} // namespace app
