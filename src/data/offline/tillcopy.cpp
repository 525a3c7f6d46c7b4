// The till's own file: its tables, its state, its outbox.
#include "tillcopy.h"

#include "conversions.h"
#include "dataerror.h"
#include "opendatabase.h"
#include "privatefiles.h"
#include "receiptcodec.h"
#include "shopdatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

Connection openFile(const QString &path) {
    const QFileInfo file(path);
    if (!file.exists()) {
        QString why;
        if (!privatefiles::makeFolder(file.absolutePath()) || !privatefiles::createFile(path, &why))
            throw DataError(DataError::Kind::Missing,
                            QStringLiteral("The till's own file %1 cannot be made: %2")
                                .arg(QDir::toNativeSeparators(path), why));
    }
    return drivers::open(path).connect();
}

} // namespace

QString TillCopy::fileFor(const QString &dataFolder, const QString &shopName) {
    // The server's name as a file name: letters, digits, dots and hyphens kept.
    QString name = shopName;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9.-]+")), QStringLiteral("_"));
    return QDir(dataFolder).filePath(QStringLiteral("till-%1.sqlite").arg(name));
}

TillCopy::TillCopy(const QString &path) : path_(path), connection_(openFile(path)) {
    // The till's tables, made when missing. Amounts are kept as their exact decimal text; the
    // outbox's Item is its order of making.
    connection_.exec(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS copytitles (BOOKNO INTEGER PRIMARY KEY, ISBN TEXT NOT NULL, "
        "Title TEXT NOT NULL, Author TEXT NOT NULL, Price TEXT, Qty INTEGER NOT NULL);"
        "CREATE INDEX IF NOT EXISTS copytitles_isbn ON copytitles (ISBN);"
        "CREATE TABLE IF NOT EXISTS copyoffers (Offer INTEGER PRIMARY KEY, ISBN TEXT NOT NULL, "
        "Price TEXT NOT NULL, FromDay TEXT NOT NULL, ToDay TEXT NOT NULL);"
        "CREATE INDEX IF NOT EXISTS copyoffers_isbn ON copyoffers (ISBN);"
        "CREATE TABLE IF NOT EXISTS outbox (Item INTEGER PRIMARY KEY AUTOINCREMENT, "
        "Receipt TEXT NOT NULL UNIQUE, Number INTEGER NOT NULL, Made TEXT NOT NULL);"
        "CREATE TABLE IF NOT EXISTS outboxlines (Receipt TEXT NOT NULL, Line INTEGER NOT NULL, "
        "BOOKNO INTEGER NOT NULL, Qty INTEGER NOT NULL, PRIMARY KEY (Receipt, Line));"
        "CREATE TABLE IF NOT EXISTS setaside (Receipt TEXT PRIMARY KEY, Number INTEGER NOT NULL, "
        "Reason TEXT NOT NULL, At TEXT NOT NULL, Made TEXT NOT NULL);"
        "CREATE TABLE IF NOT EXISTS outboxcash (Item INTEGER PRIMARY KEY AUTOINCREMENT, "
        "Movement TEXT NOT NULL UNIQUE, Session INTEGER NOT NULL, MoneyIn INTEGER NOT NULL, "
        "Amount TEXT NOT NULL, Reason TEXT NOT NULL, At TEXT NOT NULL);"
        "CREATE TABLE IF NOT EXISTS setasidecash (Movement TEXT PRIMARY KEY, Session INTEGER NOT "
        "NULL, MoneyIn INTEGER NOT NULL, Amount TEXT NOT NULL, Reason TEXT NOT NULL, At TEXT NOT "
        "NULL, Refusal TEXT NOT NULL, RefusedAt TEXT NOT NULL);"
        "CREATE TABLE IF NOT EXISTS tillreceipts (Receipt TEXT PRIMARY KEY, Readable TEXT NOT "
        "NULL, Session INTEGER NOT NULL, Made TEXT NOT NULL);"
        "CREATE INDEX IF NOT EXISTS tillreceipts_readable ON tillreceipts (Readable);"
        "CREATE TABLE IF NOT EXISTS tillback (Refund TEXT NOT NULL, Receipt TEXT NOT NULL, "
        "Line INTEGER NOT NULL, Qty INTEGER NOT NULL, PRIMARY KEY (Refund, Line));"
        "CREATE TABLE IF NOT EXISTS outboxrefunds (Item INTEGER PRIMARY KEY AUTOINCREMENT, "
        "Refund TEXT NOT NULL UNIQUE, Session INTEGER NOT NULL, Made TEXT NOT NULL);"
        "CREATE TABLE IF NOT EXISTS setasiderefunds (Refund TEXT PRIMARY KEY, Session INTEGER "
        "NOT NULL, Made TEXT NOT NULL, Refusal TEXT NOT NULL, RefusedAt TEXT NOT NULL);"
        "CREATE TABLE IF NOT EXISTS tillstate (Key TEXT PRIMARY KEY, Value TEXT NOT NULL)"));
}

std::optional<QString> TillCopy::state(const QString &key) {
    const QVariant value =
        connection_.scalar(QStringLiteral("SELECT Value FROM tillstate WHERE Key = ?1"), {key});
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

void TillCopy::setState(const QString &key, const QString &value) {
    connection_.write(
        QStringLiteral("INSERT INTO tillstate (Key, Value) VALUES (?1, ?2) ON CONFLICT (Key) DO "
                       "UPDATE SET Value = excluded.Value"),
        {key, value});
}

std::optional<QDateTime> TillCopy::moment(const QString &key) {
    const auto text = state(key);
    return text ? std::optional(conv::parseMoment(*text)) : std::nullopt;
}

int TillCopy::rows(const QString &table) {
    return connection_.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt();
}

void TillCopy::setLastContact(const QDateTime &at) {
    setState(kLastContact, conv::isoMoment(at));
}

qint64 TillCopy::queueReceipt(const ReceiptRecord &receipt, qint64 session, const QString &prefix) {
    Transaction transaction(connection_);
    qint64 number =
        connection_
            .scalar(QStringLiteral("SELECT Number FROM outbox WHERE Receipt = ?1"), {receipt.id})
            .toLongLong();
    if (number == 0) {
        number = state(kNextNumber).value_or(QStringLiteral("1")).toLongLong();
        setState(kNextNumber, QString::number(number + 1));
    }
    connection_.write(
        QStringLiteral(
            "INSERT INTO outbox (Receipt, Number, Made) VALUES (?1, ?2, ?3) ON CONFLICT (Receipt) "
            "DO UPDATE SET Made = excluded.Made"),
        {receipt.id, number, QString::fromUtf8(receiptcodec::write(receipt))});
    Statement line = connection_.prepare(
        QStringLiteral("INSERT INTO outboxlines (Receipt, Line, BOOKNO, Qty) VALUES (?1, ?2, "
                       "?3, ?4) ON CONFLICT DO NOTHING"));
    for (const ReceiptLineRecord &sold : receipt.lines)
        line.run({receipt.id, sold.line, sold.bookNo, sold.quantity});
    keepReceipt(receipt,
                prefix.isEmpty() ? QString::number(number)
                                 : QStringLiteral("%1-%2").arg(prefix).arg(number),
                session);
    transaction.commit();
    return number;
}

std::vector<OutboxItem> TillCopy::oldest(int limit) {
    Statement select = connection_.prepare(
        QStringLiteral("SELECT Item, Receipt, Number, Made FROM outbox ORDER BY Item LIMIT ?1"));
    select.bindAll({limit});
    std::vector<OutboxItem> items;
    while (select.step())
        items.push_back({select.value(0).toLongLong(), select.value(1).toString(),
                         select.value(2).toLongLong(), select.value(3).toString().toUtf8()});
    return items;
}

void TillCopy::sent(const std::vector<OutboxItem> &items, const QDateTime &at) {
    Transaction transaction(connection_);
    Statement lines =
        connection_.prepare(QStringLiteral("DELETE FROM outboxlines WHERE Receipt = ?1"));
    Statement receipt = connection_.prepare(QStringLiteral("DELETE FROM outbox WHERE Item = ?1"));
    for (const OutboxItem &item : items) {
        lines.run({item.id});
        receipt.run({item.item});
    }
    setLastContact(at);
    transaction.commit();
}

void TillCopy::setAside(const OutboxItem &item, const QString &reason, const QDateTime &at) {
    Transaction transaction(connection_);
    connection_.write(
        QStringLiteral("INSERT INTO setaside (Receipt, Number, Reason, At, Made) VALUES (?1, ?2, "
                       "?3, ?4, ?5) ON CONFLICT DO NOTHING"),
        {item.id, item.number, reason, conv::isoMoment(at), QString::fromUtf8(item.made)});
    connection_.write(QStringLiteral("DELETE FROM outboxlines WHERE Receipt = ?1"), {item.id});
    connection_.write(QStringLiteral("DELETE FROM outbox WHERE Item = ?1"), {item.item});
    transaction.commit();
}
