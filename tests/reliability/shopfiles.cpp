// Snapshots, integrity checks and shop files for the reliability tests.
#include "reliabilitysupport.h"

#include "connection.h"
#include "shopfile.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QTest>

namespace reliability {

QStringList &escapedExceptions() {
    static QStringList escaped;
    return escaped;
}

QStringList &criticalMessages() {
    static QStringList messages;
    return messages;
}

const QStringList &permanentTables() {
    static const QStringList tables{"Titles",   "Subject", "publishers", "retail",
                                    "soldbook", "onsale",  "Bill",       "paidbill"};
    return tables;
}

Snapshot snapshot(Connection &connection, const QStringList &tables) {
    Snapshot result;
    for (const QString &table : tables) {
        Statement select =
            connection.prepare(QStringLiteral("SELECT * FROM [%1] ORDER BY rowid").arg(table));
        QStringList &rows = result[table];
        while (select.step()) {
            QStringList cells;
            for (int c = 0; c < select.columnCount(); ++c) {
                const QVariant v = select.value(c);
                cells << (v.isNull() ? QStringLiteral("null")
                                     : QStringLiteral("%1:%2").arg(v.typeName(), v.toString()));
            }
            rows << cells.join(QLatin1Char('|'));
        }
    }
    return result;
}

QString integrityCheck(Connection &connection) {
    Statement check = connection.prepare(QStringLiteral("PRAGMA integrity_check"));
    QStringList lines;
    while (check.step())
        lines << check.value(0).toString();
    return lines.join(QLatin1Char('\n'));
}

QString createShopFile(const QString &folder) {
    const QString path = QDir(folder).filePath(QStringLiteral("book1.mdb"));
    shopfile::create(path);
    return path;
}

void typeInto(QLineEdit *box, const QString &text) {
    box->setFocus();
    box->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(box, Qt::Key_Delete);
        return;
    }
    QApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

} // namespace reliability
