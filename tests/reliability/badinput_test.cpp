// Bad input in every box of every screen: each listed text is typed into each box the
// operator can type into (alone, the other boxes holding good values; and into all boxes at
// once), then every button is pressed. No crash, no exception reaching Qt, no engine jargon
// in a message, a sound file, and no change but the rows the screen writes for input it
// accepts, stored exactly as typed.
#include "allscreens.h"
#include "datagrid.h"
#include "engine.h"
#include "recordtablemodel.h"
#include "reliabilitysupport.h"
#include "screencases.h"
#include "screenregistry.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <set>

using namespace reliability;

namespace {

struct Input {
    const char *name;
    QString text;
    QString marker; // stored text holding this must be the whole input, unchanged
};

const std::vector<Input> &inputs() {
    static const std::vector<Input> list{
        {"empty", "", ""},
        {"blanks", "   ", ""},
        {"a single quote", "'", ""},
        {"a quote that ends the query", "'; DROP TABLE Titles; --", "DROP TABLE"},
        {"letters", "abc", ""},
        {"1e308", "1e308", ""},
        {"-0", "-0", ""},
        {"10,000 characters", QString(9990, QLatin1Char('x')) + "end of text", "xxxxxxxx"},
        {"Traditional Chinese", QString::fromUtf8("繁體中文書名：臺灣"), QString::fromUtf8("繁體")},
        {"a date", "2001/5/3", ""},
    };
    return list;
}

// Texts of the engine that must never reach the operator: they would mean a typed text
// changed a query, or a failure went unexplained.
const char *const engineJargon[] = {"syntax error",  "unrecognized token", "no such column",
                                    "no such table", "SQL logic error",    "incomplete input",
                                    "near \""};

// A box's control name: a list's or date picker's own, for the edit part inside it.
QString boxName(QLineEdit *box) {
    QWidget *parent = box->parentWidget();
    if (qobject_cast<QComboBox *>(parent) || qobject_cast<QDateEdit *>(parent))
        return parent->objectName();
    return box->objectName();
}

QList<QLineEdit *> typeableBoxes(QWidget *screen) {
    QList<QLineEdit *> boxes;
    for (QLineEdit *box : screen->findChildren<QLineEdit *>())
        if (box->isVisible() && box->isEnabled() && !box->isReadOnly())
            boxes << box;
    return boxes;
}

QLineEdit *boxNamed(QWidget *screen, const QString &name) {
    for (QLineEdit *box : typeableBoxes(screen))
        if (boxName(box) == name)
            return box;
    return nullptr;
}

// The grid cells an operator can type into: on the first line, one per editable column,
// named "DataGrid1[2]".
QStringList editableCells(QWidget *screen) {
    QStringList names;
    for (DataGrid *grid : screen->findChildren<DataGrid *>()) {
        const RecordTableModel *model = grid->model();
        if (!grid->isVisible() || model->rowCount() == 0)
            continue;
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->flags(model->index(0, column)) & Qt::ItemIsEditable)
                names << QStringLiteral("%1[%2]").arg(grid->objectName()).arg(column);
    }
    return names;
}

// Opens the cell's editor, pastes the text and presses Enter, as the operator does.
void typeIntoCell(QWidget *screen, const QString &cell, const QString &text) {
    const QString gridName = cell.section(QLatin1Char('['), 0, 0);
    const int column = cell.section(QLatin1Char('['), 1).chopped(1).toInt();
    auto *grid = screen->findChild<DataGrid *>(gridName);
    if (grid == nullptr || grid->model()->rowCount() == 0)
        return;
    QTableView *view = grid->view();
    const QModelIndex index = grid->model()->index(0, column);
    view->setCurrentIndex(index);
    view->edit(index);
    auto *editor = view->viewport()->findChild<QLineEdit *>();
    if (editor == nullptr)
        return;
    typeInto(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

// Buttons that closed the screen, learnt as they are met: pressed last from then on.
std::map<QString, std::set<QString>> &closers() {
    static std::map<QString, std::set<QString>> learnt;
    return learnt;
}

bool closes(const QString &screenId, QPushButton *button) {
    return button->text().remove(QLatin1Char('&')) == QLatin1String("Close") ||
           closers()[screenId].count(button->objectName()) != 0;
}

// Presses every button the operator can reach, those that close the screen last.
void pressEveryButton(const QString &screenId, QWidget *screen) {
    QList<QPointer<QPushButton>> order;
    for (QPushButton *b : screen->findChildren<QPushButton *>())
        if (!closes(screenId, b))
            order << b;
    for (QPushButton *b : screen->findChildren<QPushButton *>())
        if (closes(screenId, b))
            order << b;
    for (const QPointer<QPushButton> &b : order) {
        if (!screen->isVisible())
            return;
        if (b.isNull() || !b->isVisible() || !b->isEnabled())
            continue;
        QTest::mouseClick(b.data(), Qt::LeftButton);
        if (!screen->isVisible())
            closers()[screenId].insert(b->objectName());
    }
}

// Values of the wrong kind in number, date and time columns, and texts holding a marker
// that are not the whole input.
QStringList badlyStored(Connection &db, const Input &input) {
    QStringList faults;
    for (const QString &table : permanentTables())
        for (const TableColumn &column : db.columnsOf(table)) {
            QString wrong;
            if (isNumberKind(column.kind))
                wrong = "typeof([%2]) NOT IN ('integer', 'real', 'null')";
            else if (column.kind == ColumnKind::Date)
                wrong = "[%2] NOT GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'";
            else if (column.kind == ColumnKind::Time)
                wrong = "[%2] NOT GLOB '[0-2][0-9]:[0-5][0-9]:[0-5][0-9]'";
            else if (!input.marker.isEmpty())
                wrong = "instr([%2], ?) > 0 AND [%2] <> ?";
            if (wrong.isEmpty())
                continue;
            Statement check = db.prepare(
                QString("SELECT count(*) FROM [%1] WHERE " + wrong).arg(table, column.name));
            if (wrong.contains('?'))
                check.bindAll({input.marker, input.text});
            if (check.step() && check.value(0).toInt() != 0)
                faults << QStringLiteral("%1.%2 holds %3 badly stored value(s)")
                              .arg(table, column.name, check.value(0).toString());
        }
    return faults;
}

// Copies sold since the snapshot match the stock taken off, title by title.
QStringList stockOutOfStep(Connection &db) {
    QStringList faults;
    Statement stock = db.prepare("SELECT ISBN, Qty, (SELECT total(Qty) FROM soldbook s WHERE "
                                 "s.ISBN = t.ISBN) FROM Titles t");
    const std::map<QString, double> startStock{{"9789570000001", 50 + 2}, {"9780000000002", 2 + 1}};
    while (stock.step()) {
        auto it = startStock.find(stock.value(0).toString());
        if (it != startStock.end() &&
            it->second - stock.value(2).toDouble() != stock.value(1).toDouble())
            faults << QStringLiteral("stock of %1 is %2 with %3 sold")
                          .arg(stock.value(0).toString(), stock.value(1).toString(),
                               stock.value(2).toString());
    }
    return faults;
}

struct Figures {
    int runs = 0;
    int boxInputs = 0; // one input typed into one box
    int messages = 0;
};

class BadInput : public ::testing::Test {
protected:
    void SetUp() override { registerAllScreens(registry); }

    // A fresh shop, the screen, good values, the bad input into `target` (every box when
    // empty), every button; then everything checked.
    void run(const ScreenCase &c, const Input &input, const QString &target) {
        SCOPED_TRACE(c.id.toStdString() + ", " + input.name + " in " +
                     (target.isEmpty() ? std::string("every box") : target.toStdString()));
        TestShop shop;
        seedShop(shop);
        shop.opener.setRegistry(&registry);
        Connection &db = shop.db.connection();
        const Snapshot before = snapshot(db, permanentTables());
        const QStringList schema = shop.db.rows("SELECT type, name, sql FROM sqlite_master");
        escapedExceptions().clear();
        criticalMessages().clear();
        QList<QPointer<QWidget>> windowsBefore;
        for (QWidget *w : QApplication::topLevelWidgets())
            windowsBefore << w;

        auto screen = std::unique_ptr<QWidget>(registry.create(c.id, shop.context));
        screen->show();
        for (const auto &[name, text] : c.good)
            if (QLineEdit *box = boxNamed(screen.get(), name))
                typeInto(box, text);
        for (QLineEdit *box : typeableBoxes(screen.get()))
            if (target.isEmpty() || boxName(box) == target) {
                typeInto(box, input.text);
                ++figures.boxInputs;
                if (!target.isEmpty() && screen->isVisible())
                    QTest::keyClick(box, Qt::Key_Return);
            }
        for (const QString &cell : editableCells(screen.get()))
            if (screen->isVisible() && (target.isEmpty() || cell == target)) {
                typeIntoCell(screen.get(), cell, input.text);
                ++figures.boxInputs;
            }
        if (screen->isVisible())
            pressEveryButton(c.id, screen.get());
        screen->close();
        screen.reset();
        QList<QPointer<QWidget>> opened; // screens it opened, previews
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->parentWidget() == nullptr && !windowsBefore.contains(w))
                opened << w;
        for (const QPointer<QWidget> &w : opened)
            delete w.data();
        ++figures.runs;

        EXPECT_TRUE(escapedExceptions().isEmpty()) << escapedExceptions().join("\n").toStdString();
        EXPECT_TRUE(criticalMessages().isEmpty()) << criticalMessages().join("\n").toStdString();
        for (const QString &text : shop.messages.texts()) {
            ++figures.messages;
            EXPECT_FALSE(text.trimmed().isEmpty()) << "an empty message";
            for (const char *jargon : engineJargon)
                EXPECT_FALSE(text.contains(QLatin1String(jargon))) << text.toStdString();
        }
        EXPECT_EQ(integrityCheck(db), "ok");
        EXPECT_EQ(shop.db.rows("SELECT type, name, sql FROM sqlite_master"), schema);
        const Snapshot after = snapshot(db, permanentTables());
        for (const QString &table : permanentTables()) {
            if (!c.writes.contains(table)) {
                EXPECT_EQ(after.at(table), before.at(table)) << table.toStdString();
            }
        }
        QStringList faults = badlyStored(db, input);
        // Only a sale, or an edit of the stock or the sales themselves, moves the stock.
        if (c.id == "frmSell" || (!c.writes.contains("Titles") && !c.writes.contains("soldbook")))
            faults += stockOutOfStep(db);
        EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
    }

    ScreenRegistry registry;
    Figures figures;
};

} // namespace

TEST_F(BadInput, EachInputInEachBoxAloneThenEveryButton) {
    int boxes = 0;
    for (const ScreenCase &c : screenCases()) {
        TestShop probeShop;
        seedShop(probeShop);
        QStringList names;
        {
            std::unique_ptr<QWidget> probe(registry.create(c.id, probeShop.context));
            probe->show();
            for (QLineEdit *box : typeableBoxes(probe.get()))
                names << boxName(box);
            names += editableCells(probe.get());
        }
        boxes += names.size();
        for (const QString &name : names)
            for (const Input &input : inputs())
                run(c, input, name);
    }
    std::printf("[ figures  ] %d inputs x %d boxes = %d typed alone, %d runs, %d messages\n",
                static_cast<int>(inputs().size()), boxes, figures.boxInputs, figures.runs,
                figures.messages);
    EXPECT_GT(boxes, 60);
}

TEST_F(BadInput, EachInputInEveryBoxAtOnceThenEveryButton) {
    for (const ScreenCase &c : screenCases())
        for (const Input &input : inputs())
            run(c, input, QString());
    std::printf("[ figures  ] %d runs, %d inputs typed into boxes, %d messages\n", figures.runs,
                figures.boxInputs, figures.messages);
}
