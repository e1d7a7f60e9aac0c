#pragma once
// The command line: printing a payment list without a window.
//
//   lanshi [--data-dir DIR | --company NAME] print VOUCHER --data FILE [--pdf OUT.pdf | --printer [NAME]] [--allow-repeat]
//   lanshi companies
//   lanshi --help | --version

#include <QStringList>

#include <cstdio>
#include <memory>
#include <optional>

namespace store { class DataDir; struct Company; }

namespace app {

// The arguments after the program name with --data-dir and --company taken out.
struct StartArguments {
    QString dataDir;   // --data-dir DIR or --data-dir=DIR; empty when not given
    QString company;   // --company NAME or --company=NAME: a 账套 of the list
    QStringList rest;  // everything else, in its order
    QString error;     // an option without its value, or both options
};
StartArguments takeStartArguments(const QStringList &arguments);

// The data folder of a start that names one: the 账套 of --company, else the folder of --data-dir,
// LANSHI_DATA_DIR or the default choice (store/datadir.h), its calibration the 账套's when the list
// holds that folder. Checked and locked; null with the message in *error.
std::unique_ptr<store::DataDir> openNamedFolder(const StartArguments &start, QString *error);

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
