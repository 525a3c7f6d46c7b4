// The pages of a PDF file that the real print path wrote, read back as any PDF reader finds
// them: their number and their sizes in points.
#pragma once

#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <gtest/gtest.h>

struct PdfPages {
    int count = 0;
    QList<QSizeF> sizes; // in points
};

// Reads the pages back from the PDF file as any PDF reader would find them.
inline PdfPages readPdf(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QString pdf = QString::fromLatin1(file.readAll());
    PdfPages pages;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    pages.count = static_cast<int>(pdf.count(page));
    static const QRegularExpression box(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    for (auto it = box.globalMatch(pdf); it.hasNext();) {
        const auto match = it.next();
        pages.sizes << QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    return pages;
}
