#pragma once

#include <QStringList>

class QTextStream;

// The program as a command-line tool: --help, --version,
// --export DIAGRAM.vmx OUT and --export --dsn NAME OUT, and
// --export-sql DIAGRAM.vmx OUT.sql and --export-sql --dsn NAME OUT.sql with
// an optional --dialect postgres|sqlite. Every other command line opens the
// main window and follows the desktop rules (CCommandLineInfo): a plain
// file name opens that diagram, the print and other switches open nothing.
namespace CommandLineTool {

// True when the arguments (those after the program name) ask for the tool.
bool IsRequested(const QStringList &arguments);

// Before the application object exists, when the tool is asked for: it
// shows no window, so it runs on the offscreen platform and needs no
// display; and Qt's own notices stay off the terminal, which carries only
// the tool's answer.
void PrepareProcess(int argc, char **argv);

// Runs the tool and returns the process's exit status: 0 done, 1 the
// export failed, 2 the command line was wrong. Help and version go to out;
// a failure is one line on err. Nothing is printed on success.
int Run(const QStringList &arguments, QTextStream &out, QTextStream &err);
// The same on the standard output and error streams.
int Run(const QStringList &arguments);

} // namespace CommandLineTool
