// CSV and workbook readers of the export tests.
#include "exportreaders.h"

#include <QDate>
#include <QProcess>
#include <QRegularExpression>
#include <QTime>
#include <QXmlStreamReader>
#include <algorithm>
#include <gtest/gtest.h>

namespace {
int columnOfReference(const QString &reference) {
    int column = 0;
    for (const QChar c : reference) {
        if (!c.isLetter())
            break;
        column = column * 26 + (c.unicode() - u'A' + 1);
    }
    return column - 1;
}

} // namespace

// RFC 4180: fields split by commas, lines by CR LF; a quoted field may hold commas, line
// breaks and doubled quotes.
Rows readCsv(const QByteArray &bytes) {
    const QString text = QString::fromUtf8(bytes);
    Rows rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += c, ++i;
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field, field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field, field.clear();
            rows << row, row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.isEmpty() && row.isEmpty()) << "the last line has no CR LF";
    return rows;
}

QByteArray readZipEntry(const QString &path, const QString &entry) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, entry});
    EXPECT_TRUE(unzip.waitForFinished(60000));
    EXPECT_EQ(unzip.exitCode(), 0) << unzip.readAllStandardError().toStdString();
    return unzip.readAllStandardOutput();
}

QList<QMap<int, SheetCell>> readSheet(const QString &path, int sheet) {
    QXmlStreamReader xml(
        readZipEntry(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet)));
    static const QRegularExpression escaped(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QList<QMap<int, SheetCell>> lines;
    SheetCell *cell = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QString reference = attributes.value(QStringLiteral("r")).toString();
        if (xml.name() == u"row") {
            lines.emplaceBack();
            EXPECT_EQ(reference.toLongLong(), lines.size());
        } else if (xml.name() == u"c") {
            const auto digits = std::find_if(reference.begin(), reference.end(),
                                             [](QChar c) { return c.isDigit(); });
            EXPECT_EQ(reference.mid(digits - reference.begin()).toLongLong(), lines.size());
            cell = &lines.last()[columnOfReference(reference)];
            cell->type = attributes.value(QStringLiteral("t")).toString();
            cell->style = attributes.value(QStringLiteral("s")).toInt();
        } else if (xml.name() == u"t" || xml.name() == u"v") {
            // Excel reads _xHHHH_ as that character, left to right.
            const QString text = xml.readElementText();
            qsizetype from = 0;
            for (const QRegularExpressionMatch &m : escaped.globalMatch(text)) {
                cell->value += text.mid(from, m.capturedStart() - from) +
                               QChar(m.captured(1).toUShort(nullptr, 16));
                from = m.capturedEnd();
            }
            cell->value += text.mid(from);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return lines;
}

// The sheet's cells as the operator reads them: a number cell of a date column as its day, of
// a time column as its time, of a money or whole-number column as its number; text as text.
// A text cell where a typed cell belongs fails the test.
Rows readXlsx(const QString &path, const QList<ColumnKind> &kinds) {
    Rows rows;
    for (const QMap<int, SheetCell> &line : readSheet(path)) {
        rows << QStringList(kinds.size());
        for (auto cell = line.begin(); cell != line.end(); ++cell) {
            const int column = cell.key();
            const QString &value = cell->value;
            if (rows.size() == 1 || cell->type == u"inlineStr") { // the caption line is all text
                EXPECT_EQ(cell->type, u"inlineStr");
                if (rows.size() > 1 && kinds[column] != ColumnKind::Text)
                    ADD_FAILURE() << "a text cell where a typed one belongs: "
                                  << value.toStdString();
                rows.last()[column] = value;
                continue;
            }
            const double n = value.toDouble();
            switch (kinds[column]) {
            case ColumnKind::Date:
                rows.last()[column] =
                    QDate(1899, 12, 30).addDays(qRound64(n)).toString(Qt::ISODate);
                break;
            case ColumnKind::Time:
                rows.last()[column] =
                    QTime(0, 0).addSecs(static_cast<int>(qRound64(n * 86400))).toString("HH:mm:ss");
                break;
            case ColumnKind::Text:
                ADD_FAILURE() << "a number cell in a text column: " << value.toStdString();
                break;
            default:
                rows.last()[column] = conv::numberText(n);
            }
        }
    }
    return rows;
}
