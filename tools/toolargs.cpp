// The tools' arguments, read with QCommandLineParser.
#include "toolargs.h"

#include <QCoreApplication>
#include <cstdlib>

namespace toolargs {

namespace {

// The usage names the tool as the operator knows it, not by the path it was started from.
QString usage(const QCommandLineParser &parser) {
    QString text = parser.helpText();
    const QString started = QCoreApplication::arguments().constFirst();
    const qsizetype at = text.indexOf(started);
    return at < 0 ? text : text.replace(at, started.size(), QCoreApplication::applicationName());
}

} // namespace

QStringList parse(QCommandLineParser &parser, const QString &description,
                  const QList<QCommandLineOption> &options, const Plain &plain) {
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLMART_VERSION));
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions(options);
    parser.addPositionalArgument(plain.name, plain.description,
                                 plain.least == 0 ? '[' + plain.name + ']' : plain.name);
    if (!parser.parse(QCoreApplication::arguments()))
        refuse(parser, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(usage(parser)), stdout);
        std::exit(0);
    }
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    const QStringList given = parser.optionNames();
    for (const QCommandLineOption &option : options) {
        const QString name = QStringLiteral("--") + option.names().constLast();
        if (given.count(option.names().constLast()) > 1)
            refuse(parser, name + QStringLiteral(" is given twice."));
        if (!option.valueName().isEmpty() && parser.isSet(option) && parser.value(option).isEmpty())
            refuse(parser, name + QStringLiteral(" needs a value."));
    }
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() < plain.least)
        refuse(parser, plain.name + QStringLiteral(" is missing."));
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (i >= plain.most || arguments[i].isEmpty())
            refuse(parser, QStringLiteral("Unexpected argument '%1'.").arg(arguments[i]));
    }
    return arguments;
}

void refuse(const QCommandLineParser &parser, const QString &what) {
    say(stderr, what);
    std::fputs(qPrintable(usage(parser)), stderr);
    std::exit(2);
}

void say(FILE *stream, const QString &text) {
    std::fputs(qPrintable(QCoreApplication::applicationName() + QStringLiteral(": ") + text +
                          QLatin1Char('\n')),
               stream);
}

} // namespace toolargs
