// Every grid of every screen out of the program: the exported CSV files and workbooks read
// back (by readers written here, not the exporter's code) to the record set's rows and
// values; awkward cells, long lists over several sheets and the zip itself read back as
// written; an export cancelled or failed leaves nothing; Copy gives tab-separated lines; the
// printed table takes as many pages as its lines need.
#include "allscreens.h"
#include "conversions.h"
#include "dataerror.h"
#include "datagrid.h"
#include "datepicker.h"
#include "exportreaders.h"
#include "gridcommands.h"
#include "gridprinter.h"
#include "recordsource.h"
#include "recordtablemodel.h"
#include "screencases.h"
#include "screenregistry.h"
#include "tableexport.h"
#include "testsupport.h"
#include "xlsxsink.h"
#include "zipwriter.h"

#include <QApplication>
#include <QClipboard>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <csignal>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>

using namespace reliability;

namespace {

// The record set behind a grid, cell by cell in the forms a spreadsheet reads.
Rows expectedRows(const DataGrid &grid, QList<ColumnKind> &kinds) {
    const RecordTableModel *model = grid.model();
    RecordSource *source = model->source();
    Rows rows;
    QStringList captions;
    QList<int> fields;
    kinds.clear();
    // Each column as a spreadsheet must read it: numbers as numbers (also the top sellers'
    // copies, which tmp keeps as text), codes such as ISBNs as text.
    for (int column = 0; column < model->columnCount(); ++column) {
        captions << model->columns()[column].caption;
        fields << source->fieldIndex(model->columns()[column].field);
        kinds << model->columnKind(column);
    }
    rows << captions;
    for (int row = 0; row < source->recordCount(); ++row) {
        QStringList cells;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QVariant value = fields[i] < 0 ? QVariant() : source->valueAt(row, fields[i]);
            if (value.isNull()) {
                cells << QString();
                continue;
            }
            switch (kinds[i]) {
            case ColumnKind::Date:
                cells << conv::parseDate(value.toString()).toString(Qt::ISODate);
                break;
            case ColumnKind::Time:
                cells << conv::parseTime(value.toString()).toString("HH:mm:ss");
                break;
            case ColumnKind::Text:
                cells << value.toString();
                break;
            default:
                cells << conv::numberText(value.toDouble());
            }
        }
        rows << cells;
    }
    return rows;
}

// Text that a careless CSV writer gets wrong, in the tables every kind of screen lists.
void addAwkwardRows(TestShop &shop, int manySales) {
    shop.db.exec(QString::fromUtf8(
        "INSERT INTO soldbook VALUES ('2001-05-03', '12:00:00', '9789570000003', "
        "'「紅樓」, \"夢\" 第二冊', 12.5, 3), ('2001-05-04', '08:05:00', '9789570000004', "
        "'Line one\nline two, \"three\"', 0.1, 1);"
        // A title whose bytes are not UTF-8 (a byte 0xFF), as an old import may have left one.
        "INSERT INTO soldbook VALUES ('2001-05-05', '09:00:00', '9789570000006', "
        "CAST(X'4F6E65FF54776F' AS TEXT), 3, 1);"
        "INSERT INTO Titles (ISBN, Title, Author, Qty, SafeQty, [Fixed Price]) VALUES "
        "('9789570000005', '書, \"引號\"', 'Smith, J.', 1, 9, 19.99);"
        "INSERT INTO Bill VALUES ('B,1', '2001-05-03', 10.25, '23:59:59', '臺北書局');"));
    // Built by joining, not arg(): the printf patterns hold '%' signs of their own.
    if (manySales > 0)
        shop.db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                    "FROM n WHERE i < ") +
                     QString::number(manySales) +
                     QStringLiteral(") INSERT INTO soldbook SELECT date('2001-05-01', '+' || "
                                    "(i % 28) || ' days'), printf('%02d:%02d:00', i % 24, i % 60), "
                                    "printf('978%010d', i), 'Title ' || i, (i % 400) / 4.0, "
                                    "1 + i % 5 FROM n"));
}

QWidget *openScreen(ScreenRegistry &registry, TestShop &shop, const QString &id) {
    QWidget *screen = registry.create(id, shop.context);
    screen->show();
    if (id == QStringLiteral("A1A2")) { // the summary of May
        screen->findChild<DatePicker *>(QStringLiteral("DTPicker1"))->setDate(QDate(2001, 5, 1));
        screen->findChild<DatePicker *>(QStringLiteral("DTPicker2"))->setDate(QDate(2001, 5, 31));
        screen->findChild<QPushButton *>(QStringLiteral("command1"))->click();
    }
    return screen;
}

GridCommands *commandsOf(DataGrid *grid) {
    return grid->findChild<GridCommands *>(QStringLiteral("gridCommands"));
}

QStringList folderEntries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

class Export : public ::testing::Test {
protected:
    void SetUp() override { registerAllScreens(registry); }
    ScreenRegistry registry;
    QTemporaryDir out;
};

} // namespace

TEST_F(Export, EveryGridReadsBackAsItsRecordSet) {
    struct Case {
        QString screen;
        int manySales; // sales beyond the few seeded, more than a grid reads at first
    };
    std::vector<Case> cases;
    for (const ScreenCase &c : screenCases())
        cases.push_back({c.id, 0});
    cases.push_back({QStringLiteral("dataSoldBook"), 12000});
    cases.push_back({QStringLiteral("frmMonthRpt"), 12000});
    cases.push_back({QStringLiteral("A1A2"), 12000});

    const struct {
        const char *name;
        TableExport::Format format;
    } formats[] = {{"csv", TableExport::Format::Csv},
                   {"bom.csv", TableExport::Format::CsvWithByteOrderMark},
                   {"xlsx", TableExport::Format::Xlsx}};
    int grids = 0;
    for (const Case &c : cases) {
        TestShop shop;
        seedShop(shop);
        addAwkwardRows(shop, c.manySales);
        std::unique_ptr<QWidget> screen(openScreen(registry, shop, c.screen));
        for (DataGrid *grid : screen->findChildren<DataGrid *>()) {
            ++grids;
            ASSERT_NE(commandsOf(grid), nullptr);
            for (const auto &format : formats) {
                SCOPED_TRACE(c.screen.toStdString() + " " + std::to_string(c.manySales) + " " +
                             format.name);
                const QString path =
                    out.filePath(c.screen + QStringLiteral(".") + QString::fromLatin1(format.name));
                ASSERT_TRUE(commandsOf(grid)->exportTo(path, format.format));
                QList<ColumnKind> kinds;
                const Rows expected = expectedRows(*grid, kinds);
                EXPECT_GT(expected.size(), c.manySales);
                // A spreadsheet sums the counts and keeps an ISBN's digits as they are.
                for (qsizetype i = 0; i < kinds.size(); ++i) {
                    const QString &caption = expected.first()[i];
                    if (caption == "ISBN") {
                        EXPECT_EQ(kinds[i], ColumnKind::Text);
                    }
                    if (caption == "Total Quantity" || caption == "Qty") {
                        EXPECT_TRUE(isNumberKind(kinds[i])) << caption.toStdString();
                    }
                }
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::ReadOnly));
                const QByteArray bytes = file.readAll();
                Rows read;
                if (format.format == TableExport::Format::Xlsx) {
                    ASSERT_TRUE(bytes.startsWith("PK"));
                    read = readXlsx(path, kinds);
                } else {
                    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
                    EXPECT_EQ(bom, format.format == TableExport::Format::CsvWithByteOrderMark);
                    read = readCsv(bom ? bytes.mid(3) : bytes);
                }
                ASSERT_EQ(read.size(), expected.size());
                for (qsizetype row = 0; row < read.size(); ++row)
                    ASSERT_EQ(read[row], expected[row]) << "line " << row;
            }
        }
    }
    EXPECT_GE(grids, static_cast<int>(screenCases().size()));
}

TEST_F(Export, AwkwardCellsReadBackAsExcelReadsThem) {
    struct Case {
        const char *name;
        ExportCell cell;
        QString text;     // of a text cell
        QString type;     // as read back: inlineStr for text, empty for a number
        int style;        // 2 amounts, 3 dates, 4 times
        QString expected; // the text, or the number's value
    };
    const QString inlineText = QStringLiteral("inlineStr");
    const QString longText(40000, QChar(0x5B57));
    using K = ExportCell::Kind;
    const Case cases[] = {
        {"markup",
         {K::Text},
         "<b>Tom & Jerry</b> \"1\"",
         inlineText,
         0,
         "<b>Tom & Jerry</b> \"1\""},
        {"control characters",
         {K::Text},
         "bell\x07, start\x01",
         inlineText,
         0,
         "bell\x07, start\x01"},
        {"Excel's own escape", {K::Text}, "_x0041_ _x005f_", inlineText, 0, "_x0041_ _x005f_"},
        {"carriage return", {K::Text}, "one\r\ntwo", inlineText, 0, "one\r\ntwo"},
        {"blanks at the ends", {K::Text}, "  two blanks ", inlineText, 0, "  two blanks "},
        {"noncharacter",
         {K::Text},
         QString(QChar(0xFFFF)) + "end",
         inlineText,
         0,
         QString(QChar(0xFFFF)) + "end"},
        {"longer than a cell", {K::Text}, longText, inlineText, 0, longText.left(32767)},
        {"day before 1900/3/1",
         {.kind = K::Date, .integer = QDate(1899, 12, 31).toJulianDay()},
         {},
         inlineText,
         0,
         "1899-12-31"},
        {"first date cell",
         {.kind = K::Date, .integer = QDate(1900, 3, 1).toJulianDay()},
         {},
         {},
         3,
         "61"},
        {"last second",
         {.kind = K::Time, .integer = 86399000},
         {},
         {},
         4,
         QString::number(86399 / 86400.0, 'g', 17)},
        {"amount", {.kind = K::Money, .number = 0.1}, {}, {}, 2, "0.1"},
        {"tiny amount", {.kind = K::Money, .number = -1e-300}, {}, {}, 2, "-1e-300"},
        {"whole number",
         {.kind = K::Whole, .integer = qint64(1) << 53},
         {},
         {},
         0,
         "9007199254740992"},
        {"infinite amount", {.kind = K::Money, .number = INFINITY}, {}, inlineText, 0, "inf"},
    };
    const QString path = out.filePath(QStringLiteral("awkward.xlsx"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QStringList captions;
    ExportBatch batch(std::size(cases), 1);
    ExportCell *cells = batch.addRow();
    for (const Case &c : cases) {
        captions << QString::fromLatin1(c.name);
        *cells = c.cell;
        if (c.cell.kind == K::Text)
            batch.setText(*cells, c.text.toUtf8());
        ++cells;
    }
    XlsxSink sink(file, QStringLiteral("Sales"));
    sink.writeCaptions(captions);
    sink.writeRows(batch);
    sink.finish();
    file.close();

    const auto lines = readSheet(path);
    ASSERT_EQ(lines.size(), 2);
    for (int column = 0; column < int(std::size(cases)); ++column) {
        const Case &c = cases[column];
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lines[0][column].value, captions[column]);
        EXPECT_EQ(lines[0][column].style, 1); // bold
        const SheetCell cell = lines[1][column];
        EXPECT_EQ(cell.type, c.type);
        EXPECT_EQ(cell.style, c.style);
        if (c.type.isEmpty())
            EXPECT_EQ(cell.value.toDouble(), c.expected.toDouble()) << cell.value.toStdString();
        else
            EXPECT_EQ(cell.value.toStdString(), c.expected.toStdString());
    }
}

TEST_F(Export, LongListGoesOnOverSheetsUnderItsCaptions) {
    const QString path = out.filePath(QStringLiteral("long.xlsx"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    XlsxSink sink(file, QStringLiteral("Sales & returns: 2001/5"));
    sink.writeCaptions({QStringLiteral("Qty")});
    ExportBatch batch(1, 4096);
    for (qint64 row = 1; row <= XlsxSink::rowsPerSheet + 2; ++row) {
        *batch.addRow() = {.kind = ExportCell::Kind::Whole, .integer = row};
        if (batch.rows() == 4096 || row == XlsxSink::rowsPerSheet + 2) {
            sink.writeRows(batch);
            batch.clear();
        }
    }
    sink.finish();
    file.close();

    // Every line Excel can show on the first sheet, the rest under the captions on the second.
    const QByteArray first = readZipEntry(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_EQ(first.count("<row "), XlsxSink::rowsPerSheet + 1);
    EXPECT_TRUE(first.contains("<c r=\"A1048576\"><v>1048575</v></c></row></sheetData>"));
    const auto second = readSheet(path, 2);
    ASSERT_EQ(second.size(), 3);
    EXPECT_EQ(second[0][0].value, QStringLiteral("Qty"));
    EXPECT_EQ(second[1][0].value, QString::number(XlsxSink::rowsPerSheet + 1));
    EXPECT_EQ(second[2][0].value, QString::number(XlsxSink::rowsPerSheet + 2));
    const QByteArray workbook = readZipEntry(path, QStringLiteral("xl/workbook.xml"));
    EXPECT_TRUE(workbook.contains("<sheet name=\"Sales &amp; returns 2001 5\" sheetId=\"1\""));
    EXPECT_TRUE(workbook.contains("<sheet name=\"Sales &amp; returns 2001 5 (2)\" sheetId=\"2\""));
}

TEST_F(Export, ZipEntriesReadBackWhole) {
    // Digits that pack poorly, over several of the deflate's blocks.
    QByteArray large;
    for (quint32 i = 0; large.size() < 3 * (1 << 20); ++i)
        large += QByteArray::number(i * 2654435761U);
    const struct {
        const char *name;
        bool zip64;
        QList<QByteArray> entries;
    } cases[] = {
        {"one small entry", false, {"a few words"}},
        {"an empty entry among others", false, {"", "after", large}},
        {"zip64 forced on small entries", true, {"a few words", ""}},
        {"zip64 forced over several blocks", true, {large, "end"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = out.filePath(QString::fromLatin1(c.name) + ".zip");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ZipWriter zip(file);
        if (c.zip64)
            zip.alwaysZip64();
        for (qsizetype i = 0; i < c.entries.size(); ++i) {
            zip.beginEntry("part" + QByteArray::number(i) + ".txt");
            zip.write(c.entries[i]);
            zip.endEntry();
        }
        zip.finish();
        file.close();
        QProcess test;
        test.start(QStringLiteral("unzip"), {QStringLiteral("-t"), path});
        ASSERT_TRUE(test.waitForFinished(60000));
        EXPECT_EQ(test.exitCode(), 0) << test.readAllStandardOutput().toStdString();
        for (qsizetype i = 0; i < c.entries.size(); ++i)
            EXPECT_EQ(readZipEntry(path, QStringLiteral("part%1.txt").arg(i)), c.entries[i]);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().contains("PK\x06\x06"), c.zip64); // the zip64 end record
    }
    // The zip library's functions are nobody's to replace: the program defines none of them.
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "zipOpenNewFileInZip4_64"), nullptr);
}

TEST_F(Export, CancelledOrFailedExportLeavesNothing) {
    std::signal(SIGXFSZ, SIG_IGN); // a write past the file size limit fails instead of killing
    struct Case {
        const char *name;
        TableExport::Format format;
        bool earlierFile;                 // a file of the target's name is there before
        bool cancel;                      // the operator cancels after the first rows
        const char *where;                // "out", "missing folder", "shop database"
        rlim_t fileLimit = RLIM_INFINITY; // a disk that fills up while the rows are written
    };
    const Case cases[] = {
        {"cancelled csv", TableExport::Format::Csv, false, true, "out"},
        {"cancelled csv over a file", TableExport::Format::CsvWithByteOrderMark, true, true, "out"},
        {"cancelled workbook", TableExport::Format::Xlsx, false, true, "out"},
        {"cancelled workbook over a file", TableExport::Format::Xlsx, true, true, "out"},
        {"folder missing", TableExport::Format::Csv, false, false, "missing folder"},
        {"over the shop database", TableExport::Format::Xlsx, false, false, "shop database"},
        {"disk full, csv over a file", TableExport::Format::Csv, true, false, "out", 64 * 1024},
        {"disk full, workbook", TableExport::Format::Xlsx, false, false, "out", 64 * 1024},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestShop shop;
        addAwkwardRows(shop, 45000);
        RecordSource sales(QStringLiteral("Adodc1"), shop.db.shop());
        sales.open(QStringLiteral("select * from soldbook"));
        QTemporaryDir folder;
        QString target = folder.filePath(QStringLiteral("sales.out"));
        if (QByteArray(c.where) == "missing folder")
            target = folder.filePath(QStringLiteral("gone/sales.csv"));
        if (QByteArray(c.where) == "shop database")
            target = shop.db.path();
        if (c.earlierFile) {
            QFile earlier(target);
            ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write("the accountant's copy\r\n");
        }
        const QString watched = QFileInfo(target).absolutePath();
        const QStringList before = folderEntries(watched);
        QFile targetFile(target);
        const QByteArray contentBefore =
            targetFile.open(QIODevice::ReadOnly)
                ? QCryptographicHash::hash(targetFile.readAll(), QCryptographicHash::Sha1)
                : QByteArray();
        targetFile.close();

        int steps = 0;
        bool finished = false;
        bool failed = false;
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit unlimited = limit;
        limit.rlim_cur = c.fileLimit; // a write past it fails as on a full disk
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            finished = TableExport::run(sales, {{"ISBN", "ISBN"}, {"Title", "Title"}}, target,
                                        c.format, "Sales", [&](int written, int, bool) {
                                            ++steps;
                                            EXPECT_GT(written, 0);
                                            return !c.cancel;
                                        });
        } catch (const DataError &) {
            failed = true;
        }
        setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_FALSE(finished);
        EXPECT_EQ(failed, !c.cancel);
        if (c.cancel) {
            EXPECT_EQ(steps, 1);
        }
        EXPECT_EQ(folderEntries(watched), before);
        QFile after(target);
        EXPECT_EQ(after.open(QIODevice::ReadOnly)
                      ? QCryptographicHash::hash(after.readAll(), QCryptographicHash::Sha1)
                      : QByteArray(),
                  contentBefore);
    }
}

TEST_F(Export, CtrlCCopiesTheSelectedLinesTabSeparated) {
    TestShop shop;
    seedShop(shop);
    addAwkwardRows(shop, 0);
    std::unique_ptr<QWidget> screen(openScreen(registry, shop, QStringLiteral("dataSoldBook")));
    auto *grid = screen->findChild<DataGrid *>(QStringLiteral("DataGrid1"));
    ASSERT_NE(grid, nullptr);
    const RecordTableModel *model = grid->model();
    auto line = [&](int row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column) {
            QString text = model->data(model->index(row, column), Qt::DisplayRole).toString();
            if (text.contains(u'"') || text.contains(u'\t') || text.contains(u'\n'))
                text = u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
            cells << text;
        }
        return cells.join(u'\t') + u'\n';
    };
    int awkward = -1;
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->data(model->index(row, 3), Qt::DisplayRole).toString().contains(u'\n'))
            awkward = row;
    ASSERT_GE(awkward, 0);
    const struct {
        const char *name;
        QList<int> rows;
    } cases[] = {{"the current line", {0}},
                 {"two lines apart", {0, 2}},
                 {"a title with quotes and a line break", {awkward}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QItemSelectionModel *selection = grid->view()->selectionModel();
        selection->clearSelection();
        QString expected;
        for (int row : c.rows) {
            selection->select(model->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
            expected += line(row);
        }
        QApplication::clipboard()->clear();
        QTest::keyClick(grid->view(), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), expected);
    }
}

TEST_F(Export, PrintedTableTakesThePagesItsLinesNeed) {
    TestShop shop;
    addAwkwardRows(shop, 400);
    std::unique_ptr<QWidget> screen(openScreen(registry, shop, QStringLiteral("dataSoldBook")));
    auto *grid = screen->findChild<DataGrid *>(QStringLiteral("DataGrid1"));
    ASSERT_NE(grid, nullptr);
    PrintedTable table = commandsOf(grid)->printedTable();
    EXPECT_EQ(table.rows, 403); // the three awkward sales and 400 more
    EXPECT_EQ(table.title, screen->windowTitle());
    EXPECT_EQ(table.captions,
              (QStringList{"SoldDate", "SoldTime", "ISBN", "Title", "Price", "Qty"}));

    const QString path = out.filePath(QStringLiteral("probe.pdf"));
    QPdfWriter probe(path);
    const int perPage = gridprinter::rowsPerPage(probe);
    ASSERT_GT(perPage, 10);
    const struct {
        int rows;
        int pages;
    } cases[] = {{0, 1}, {1, 1}, {perPage, 1}, {perPage + 1, 2}, {2 * perPage + 5, 3}};
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rows);
        const QString file = out.filePath(QStringLiteral("table%1.pdf").arg(c.rows));
        {
            QPdfWriter pdf(file);
            PrintedTable part = table;
            part.rows = c.rows;
            EXPECT_EQ(gridprinter::print(pdf, part), c.pages);
        }
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromLatin1(written.readAll()).count(page), c.pages);
    }
}
