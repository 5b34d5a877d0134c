#include "core/app/CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace kestrel::app {

namespace {

const QString Description =
    QStringLiteral("Kestrel runs a small shop and its stock room.\n"
                   "\n"
                   "It works in the folder given with --workdir; else in the current folder when\n"
                   "that holds a ConnParam.ini; else in its own folder, $XDG_CONFIG_HOME/kestrel\n"
                   "(~/.config/kestrel), made at first start with the installed defaults.\n"
                   "Failures are logged to $XDG_STATE_HOME/kestrel/kestrel.log\n"
                   "(~/.local/state/kestrel/kestrel.log).");

QString programName(const QStringList &arguments)
{
    const QString name = QFileInfo(arguments.value(0)).fileName();
    return name.isEmpty() ? QStringLiteral("kestrel") : name;
}

// Qt's own options are written with one dash (-platform, -style); a long
// option with two that Kestrel does not know is a mistake.
QString unknownLongOption(const QStringList &arguments, const QCommandLineParser &parser)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        if (!argument.startsWith(QLatin1String("--")))
            continue;
        const QString name = argument.mid(2).section(QLatin1Char('='), 0, 0);
        if (parser.unknownOptionNames().contains(name))
            return name;
    }
    return QString();
}

CommandLine failure(const QStringList &arguments, const QString &error)
{
    const QString program = programName(arguments);
    return {CommandLine::Action::Fail, QString(),
            QStringLiteral("%1: %2\nTry '%1 --help' for the options.\n").arg(program, error)};
}

} // namespace

QString versionText()
{
    return QStringLiteral("Kestrel " KESTREL_VERSION);
}

CommandLine parseCommandLine(const QStringList &arguments, ForeignOptions foreign)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Description);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows Kestrel's version and exits."));
    const QCommandLineOption workDir(
        QStringLiteral("workdir"),
        QStringLiteral("Works in DIR, an existing folder: reads and writes ConnParam.ini "
                       "and reads DefConnParam.ini there."),
        QStringLiteral("DIR"));
    parser.addOptions({help, version, workDir});

    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help)) {
        // The parser names the program after the application object, and
        // there is none yet when help is asked for.
        const QString text = parser.helpText();
        const QString usage = QStringLiteral("Usage: %1 [options]").arg(programName(arguments));
        return {CommandLine::Action::ShowHelp, QString(), usage + text.mid(text.indexOf('\n'))};
    }
    if (parser.isSet(version))
        return {CommandLine::Action::ShowVersion, QString(), versionText() + QLatin1Char('\n')};

    const bool foreignSeen =
        !parser.unknownOptionNames().isEmpty() || !parser.positionalArguments().isEmpty();
    if (const QString name = unknownLongOption(arguments, parser); !name.isEmpty())
        return failure(arguments, QStringLiteral("unknown option '--%1'.").arg(name));
    if (foreign == ForeignOptions::Pass && foreignSeen)
        return {}; // decided once Qt has taken its own options
    if (!parsed)
        return failure(arguments, parser.errorText());
    if (!parser.positionalArguments().isEmpty()) {
        return failure(arguments, QStringLiteral("unexpected argument '%1'.")
                                      .arg(parser.positionalArguments().constFirst()));
    }
    if (parser.isSet(workDir) && parser.value(workDir).isEmpty())
        return failure(arguments, QStringLiteral("--workdir needs a folder."));
    return {CommandLine::Action::Run, parser.value(workDir), QString()};
}

int answer(const CommandLine &command)
{
    const QByteArray text = command.text.toLocal8Bit();
    switch (command.action) {
    case CommandLine::Action::Run:
        return 0;
    case CommandLine::Action::ShowHelp:
    case CommandLine::Action::ShowVersion:
        std::fputs(text.constData(), stdout);
        return 0;
    case CommandLine::Action::Fail:
        std::fputs(text.constData(), stderr);
        return 2;
    }
    return 2;
}

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace kestrel::app
