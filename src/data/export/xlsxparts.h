// The parts of an Excel workbook besides its sheets' lines: the package's lists of parts and
// relations, the workbook naming its sheets, the cell formats, and each sheet around its lines.
#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace xlsxparts {

// A cell's format (its s attribute): bold captions, amounts, dates and times.
enum Style { Caption = 1, Money, Date, Time };

// The sheets are numbered from 1; the first is the one shown.
QByteArray sheetPart(int sheet);
QByteArray sheetStart(bool first);
QByteArray sheetEnd();

// The other parts as {name, content}, for `sheets` sheets named after `title`.
std::vector<std::pair<QByteArray, QByteArray>> fixedParts(const QString &title, int sheets);

} // namespace xlsxparts
