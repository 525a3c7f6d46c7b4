// Every grid of every screen out of the program: the exported CSV files and workbooks read
// back (by readers written here, not the exporter's code) to the record set's rows and
// values; an export cancelled or failed leaves nothing; Copy gives tab-separated lines; the
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

#include <QApplication>
#include <QClipboard>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QPdfWriter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
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
