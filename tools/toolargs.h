// How the command-line tools read their arguments and speak to the operator: --help and
// --version answered, and a wrong argument refused with the usage and exit code 2, the same
// way in every tool.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace toolargs {

// The plain arguments a tool takes after its options ("PATH"), from `least` to `most` of them.
struct Plain {
    QString name;
    QString description;
    int least = 0;
    int most = 1;
};

// Reads the tool's arguments into `parser`: --help prints the usage and --version the tool's
// version, and the tool ends there (exit code 0). A wrong argument (an unknown option, an
// option without its value or given twice, too few or too many plain arguments) is refused.
// Returns the plain arguments.
QStringList parse(QCommandLineParser &parser, const QString &description,
                  const QList<QCommandLineOption> &options, const Plain &plain);

// Says what is wrong with the arguments and the usage on stderr; the tool ends with exit
// code 2.
[[noreturn]] void refuse(const QCommandLineParser &parser, const QString &what);

// "quillmart-x: text" on the stream.
void say(FILE *stream, const QString &text);

// The tools' exit codes but 0: the work failed and nothing was changed; the file or the tables
// to make are there already (2, as for a wrong argument); Quillmart is running on the shop file.
inline constexpr int kFailed = 1, kAlreadyExists = 2, kInUse = 3;

} // namespace toolargs
