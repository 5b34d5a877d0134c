#pragma once
// Kestrel's command line: --help, --version and --workdir DIR. It is read
// twice. Before the window system is touched, to answer --help and --version
// without a display; Qt's own options (-platform, -style, ...) are not known
// yet then and pass. Once more after QApplication has taken its options out,
// when anything left that Kestrel does not know is an error.

#include <QString>
#include <QStringList>

namespace kestrel::app {

// "Kestrel 1.0"
QString versionText();

enum class ForeignOptions { Pass, Refuse };

struct CommandLine {
    enum class Action { Run, ShowVersion, ShowHelp, Fail };
    Action action = Action::Run;
    QString workDir; // --workdir, empty when not given
    QString text;    // what to print for every action but Run
};

// arguments as main() gets them, the program first.
CommandLine parseCommandLine(const QStringList &arguments, ForeignOptions foreign);

// Prints what the command line asks for (help and version to standard
// output, errors to standard error) and returns the exit code.
int answer(const CommandLine &command);

QStringList argumentList(int argc, char *argv[]);

} // namespace kestrel::app
