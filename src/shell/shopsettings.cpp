// Reading the [Shop] section: the server's connection as written, and the waits.
#include "shopsettings.h"

#include "shoplocation.h"

#include <QFile>
#include <QSettings>
#include <QTextStream>
#include <optional>

namespace {

const QLatin1String kSection("Shop");
const QLatin1String kServer("Server");
const QLatin1String kCounterTimeout("CounterTimeout");
const QLatin1String kOfficeTimeout("OfficeTimeout");
constexpr int kLongestTimeout = 24 * 60 * 60;

QString named(const QSettings &settings, const QString &key) {
    return QStringLiteral("The setting %1 in the [%2] section of %3")
        .arg(key, kSection, settings.fileName());
}

// The value of the key as the line holds it, after the '=' (the last such line counts, as in
// the settings store); nothing when the file has no such line.
std::optional<QString> rawValue(const QString &path, const QString &key, bool &readable) {
    readable = true;
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        readable = false;
        return std::nullopt;
    }
    std::optional<QString> value;
    bool inSection = false;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = line == QLatin1Char('[') + kSection + QLatin1Char(']');
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inSection && equals > 0 && line.left(equals).trimmed() == key)
            value = line.mid(equals + 1).trimmed();
    }
    return value;
}

// The server's connection string, or the reason it cannot be used.
QString readServer(QSettings &settings, const QString &raw, QString &refusal) {
    QString server = raw;
    // A value the settings store wrote itself comes in its quotes.
    if (server.startsWith(QLatin1Char('"'))) {
        const QVariant stored = settings.value(kSection + QLatin1Char('/') + kServer);
        server = stored.typeId() == QMetaType::QStringList
                     ? stored.toStringList().join(QLatin1Char(','))
                     : stored.toString();
    }
    server = server.trimmed();
    const QString example =
        QStringLiteral("(for instance Server=service=shop, or Server=host=backoffice dbname=shop "
                       "user=till1), or take the line away to work on the shop file of this "
                       "computer.");
    if (server.isEmpty()) {
        refusal = named(settings, kServer) +
                  QStringLiteral(" is empty, so Quillmart cannot tell which shop to work on. "
                                 "Write the shop server's connection there ") +
                  example;
        return QString();
    }
    if (!shoplocation::isConnectionString(server)) {
        refusal = named(settings, kServer) +
                  QStringLiteral(" is not a connection to a shop server that Quillmart can "
                                 "read. Write a libpq connection string or service name there ") +
                  example;
        return QString();
    }
    return server;
}

// Seconds from 0 (no limit) to a day; the default when the key is absent.
int readTimeout(QSettings &settings, const QLatin1String &key, int fallback, QString &refusal) {
    const QString path = kSection + QLatin1Char('/') + key;
    if (!settings.contains(path) || !refusal.isEmpty())
        return fallback;
    bool whole = false;
    const int seconds = settings.value(path).toString().trimmed().toInt(&whole);
    if (whole && seconds >= 0 && seconds <= kLongestTimeout)
        return seconds;
    refusal = named(settings, key) +
              QStringLiteral(" is \"%1\", not a number of seconds from 0 (no limit) to %2. "
                             "Correct it, or take the line away for the usual %3 seconds.")
                  .arg(settings.value(path).toString())
                  .arg(kLongestTimeout)
                  .arg(fallback);
    return fallback;
}

} // namespace

namespace shopsettings {

ShopSettings read(QSettings &settings, const QString &shopFile) {
    ShopSettings shop;
    settings.sync();
    bool readable = true;
    const std::optional<QString> raw = rawValue(settings.fileName(), kServer, readable);
    if (!readable || settings.status() == QSettings::AccessError) {
        shop.refusal = QStringLiteral("The settings file %1 cannot be read, so Quillmart cannot "
                                      "tell which shop to work on. Make it readable for this "
                                      "user and start Quillmart again.")
                           .arg(settings.fileName());
        return shop;
    }
    if (settings.status() == QSettings::FormatError) {
        shop.refusal = QStringLiteral("The settings file %1 is not a settings file Quillmart can "
                                      "read, so it cannot tell which shop to work on. Correct it "
                                      "and start Quillmart again.")
                           .arg(settings.fileName());
        return shop;
    }
    // Once the key is there, its shop or none: never the file beside it.
    shop.location =
        raw ? shoplocation::ofServer(readServer(settings, *raw, shop.refusal)) : shopFile;
    shop.counterTimeout = readTimeout(settings, kCounterTimeout, shop.counterTimeout, shop.refusal);
    shop.officeTimeout = readTimeout(settings, kOfficeTimeout, shop.officeTimeout, shop.refusal);
    if (!shop.refusal.isEmpty())
        shop.location.clear();
    return shop;
}

} // namespace shopsettings
