// Readers of exported files written for the tests alone, so that a fault in the exporter
// cannot hide in a reader that shares its code: CSV by RFC 4180, and the first sheet of a
// workbook, unzipped by the system's unzip and read as XML.
#pragma once

#include "conversions.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

using Rows = QList<QStringList>;

// Every line of a CSV file, split into fields.
Rows readCsv(const QByteArray &bytes);
// The first sheet's lines; `kinds` tells how each column's number cells read back.
Rows readXlsx(const QString &path, const QList<ColumnKind> &kinds);
