// quillmart-createdb: makes a new shop database file, optionally with the demo catalogue.
#include "dataerror.h"
#include "shopfile.h"
#include "shoppaths.h"

#include <QCoreApplication>
#include <QDate>
#include <cstdio>

namespace {

constexpr int kFailed = 1;
constexpr int kAlreadyExists = 2;

void say(FILE *stream, const QString &text) {
    std::fputs(qPrintable("quillmart-createdb: " + text + "\n"), stream);
}

void usage(FILE *stream) {
    const QString text =
        QString("Usage: quillmart-createdb [--demo] [PATH]\n"
                "Creates a new, empty Quillmart shop database at PATH (default: %1).\n"
                "  --demo   also fill it with the made-up demo catalogue, dated around today\n"
                "An existing file is never changed: the command then exits with code 2.\n")
            .arg(defaultDatabasePath());
    std::fputs(qPrintable(text), stream);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    bool demo = false;
    QString path;
    const QStringList args = app.arguments().mid(1);
    for (const QString &arg : args) {
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        if (arg == "--demo" && !demo) {
            demo = true;
        } else if (!arg.startsWith('-') && path.isEmpty() && !arg.isEmpty()) {
            path = arg;
        } else {
            say(stderr, QString("unexpected argument '%1'.").arg(arg));
            usage(stderr);
            return kFailed;
        }
    }
    if (path.isEmpty())
        path = defaultDatabasePath();

    if (shopfile::occupied(path)) {
        say(stderr, QString("%1 already exists; nothing was changed.").arg(path));
        return kAlreadyExists;
    }
    try {
        shopfile::makeShop(path, demo ? shopfile::Contents::Demo : shopfile::Contents::Empty,
                           QDate::currentDate());
    } catch (const DataError &e) {
        say(stderr, e.description());
        return kFailed;
    }
    say(stdout, QString("created %1%2.").arg(path, demo ? " with the demo catalogue" : ""));
    return 0;
}
