// CSV and workbook readers of the export tests.
#include "exportreaders.h"

#include <QDate>
#include <QProcess>
#include <QTime>
#include <QXmlStreamReader>
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

// The sheet's cells as the operator reads them: a number cell of a date column as its day, of
// a time column as its time, of a money or whole-number column as its number; text as text.
// A text cell where a typed cell belongs fails the test.
Rows readXlsx(const QString &path, const QList<ColumnKind> &kinds) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"),
                {QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet1.xml")});
    EXPECT_TRUE(unzip.waitForFinished(60000));
    // unzip checks each entry's size and checksum as it reads it.
    EXPECT_EQ(unzip.exitCode(), 0) << unzip.readAllStandardError().toStdString();
    QXmlStreamReader xml(unzip.readAllStandardOutput());
    Rows rows;
    int column = -1;
    bool inlineText = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"row") {
            rows << QStringList(kinds.size());
        } else if (xml.isStartElement() && xml.name() == u"c") {
            column = columnOfReference(xml.attributes().value(QStringLiteral("r")).toString());
            inlineText = xml.attributes().value(QStringLiteral("t")) == u"inlineStr";
        } else if (xml.isStartElement() && (xml.name() == u"t" || xml.name() == u"v")) {
            const bool number = xml.name() == u"v";
            const QString value = xml.readElementText();
            if (rows.size() == 1 || !number) { // the caption line is all text
                EXPECT_TRUE(inlineText);
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
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return rows;
}
