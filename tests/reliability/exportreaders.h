// Readers of exported files written for the tests alone, so that a fault in the exporter
// cannot hide in a reader that shares its code: CSV by RFC 4180, and a workbook's sheets,
// unzipped by the system's unzip and read as XML.
#pragma once

#include "conversions.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QStringList>

using Rows = QList<QStringList>;

// Every line of a CSV file, split into fields.
Rows readCsv(const QByteArray &bytes);

// One entry of a zip file as unzip gives it; unzip checks its size and checksum as it reads.
QByteArray readZipEntry(const QString &path, const QString &entry);

struct SheetCell {
    QString type;  // the t attribute: "inlineStr" for text, empty for a number
    int style = 0; // the s attribute: the cell's format
    QString value; // the text as Excel reads it (_xHHHH_ decoded), or the number's digits
};
// A sheet's lines, each line's cells by column (from 0).
QList<QMap<int, SheetCell>> readSheet(const QString &path, int sheet = 1);
// The first sheet's lines; `kinds` tells how each column's number cells read back.
Rows readXlsx(const QString &path, const QList<ColumnKind> &kinds);
