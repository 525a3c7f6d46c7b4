// Record-set operations and the saving rule.
#include "connection.h"
#include "dataerror.h"
#include "navigator.h"
#include "opendatabase.h"
#include "recordsource.h"
#include "recordtablemodel.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

class Records : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec("INSERT INTO Titles (ISBN,Title,[Sale Price],Qty,SafeQty) VALUES "
                "('111','One',10,5,1),('222','Two',20,6,1),('333','Three',30,7,1),"
                "('222','Two again',25,8,1),('555','Five',50,9,1)");
    }
    static constexpr const char *titles =
        "select BOOKNO,ISBN,Title,Author,Subject,Publisher,[Year Published],[Fixed Price],"
        "[Sale Price],PurchasePrice,Qty,SafeQty,Retail from Titles Order by BOOKNO";
    TestDatabase db;
};

} // namespace

TEST_F(Records, OpensOnTheFirstRowAndMovesToTheEnd) {
    RecordSource rs("datPrimaryRS", db.shop());
    rs.open(titles);
    EXPECT_EQ(rs.recordCount(), 5);
    EXPECT_EQ(rs.position(), 1);
    EXPECT_FALSE(rs.isEof());
    rs.moveLast();
    EXPECT_EQ(rs.position(), 5);
    rs.moveNext();
    EXPECT_TRUE(rs.isEof());
    EXPECT_LT(rs.position(), 0);
    EXPECT_THROW(rs.value("ISBN"), DataError);
    EXPECT_THROW(rs.moveNext(), DataError);
    rs.movePrevious();
    EXPECT_EQ(rs.position(), 5);
    rs.moveFirst();
    rs.movePrevious();
    EXPECT_TRUE(rs.isBof());
}

TEST_F(Records, EmptyResultHasNoCurrentRow) {
    RecordSource rs("Adodc1", db.shop());
    rs.open("select * from onsale");
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_TRUE(rs.isEof());
    EXPECT_TRUE(rs.isBof());
    EXPECT_LT(rs.position(), 0);
    EXPECT_THROW(rs.moveFirst(), DataError);
    EXPECT_THROW(rs.deleteCurrent(), DataError);
}

TEST_F(Records, FieldsByNameInAnyCaseAndByPosition) {
    RecordSource rs("Adodc1", db.shop());
    rs.open("select * from titles");
    rs.moveNext();
    EXPECT_EQ(rs.text(8), "20"); // Sale Price is column 8
    EXPECT_EQ(rs.text("sale price"), "20");
    EXPECT_EQ(rs.text(2), "Two");
    EXPECT_THROW(rs.value("NoSuchField"), DataError);
}

TEST_F(Records, FindTakesTheFirstMatchFromTheCurrentRow) {
    RecordSource rs("Adodc1", db.shop());
    rs.open("select * from titles");
    rs.moveFirst();
    rs.find("ISBN", "222");
    EXPECT_EQ(rs.text("Title"), "Two");
    rs.moveNext();
    rs.find("ISBN", "222");
    EXPECT_EQ(rs.text("Title"), "Two again");
    rs.moveFirst();
    rs.find("ISBN", "999");
    EXPECT_TRUE(rs.isEof());
    rs.moveFirst();
    rs.find("ISBN", "2'22"); // an apostrophe is just a character
    EXPECT_TRUE(rs.isEof());
}

TEST_F(Records, AMoveSavesThePendingRow) {
    RecordSource rs("datPrimaryRS", db.shop());
    rs.open(titles);
    rs.setValue("Title", "One, revised");
    EXPECT_TRUE(rs.hasPending());
    EXPECT_EQ(db.scalar("SELECT Title FROM Titles WHERE BOOKNO=1").toString(), "One");
    rs.moveNext();
    EXPECT_FALSE(rs.hasPending());
    EXPECT_EQ(db.scalar("SELECT Title FROM Titles WHERE BOOKNO=1").toString(), "One, revised");
}

TEST_F(Records, AddNewSavesThePreviousNewRowAndNumbersIt) {
    RecordSource rs("datPrimaryRS", db.shop());
    rs.open(titles);
    rs.addNew();
    EXPECT_EQ(rs.position(), 6);
    EXPECT_EQ(rs.text("BOOKNO"), ""); // numbered when saved
    rs.setValue("ISBN", "666");
    rs.addNew();
    EXPECT_EQ(db.count("Titles"), 6);
    EXPECT_EQ(rs.textAt(5, 0), "6");
    rs.setValue("ISBN", "777");
    rs.save();
    EXPECT_EQ(db.count("Titles"), 7);
    EXPECT_EQ(rs.text("BOOKNO"), "7");
    EXPECT_THROW(rs.setValue("BOOKNO", 99), DataError);
}

// Whatever leaves an added row in which nothing was typed, the table gets no empty row.
TEST_F(Records, AnAddedRowWithNothingTypedIsNeverStored) {
    const std::pair<const char *, std::function<void(RecordSource &)>> leaves[] = {
        {"update", [](RecordSource &rs) { rs.save(); }},
        {"refresh", [](RecordSource &rs) { rs.requery(); }},
        {"another AddNew", [](RecordSource &rs) { rs.addNew(); }},
        {"move first", [](RecordSource &rs) { rs.moveFirst(); }},
        {"move previous", [](RecordSource &rs) { rs.movePrevious(); }},
        {"move next", [](RecordSource &rs) { rs.moveNext(); }},
        {"move last", [](RecordSource &rs) { rs.moveLast(); }},
        {"grid selection", [](RecordSource &rs) { rs.moveTo(2); }},
        {"blanks typed", [](RecordSource &rs) {
             rs.setText(2, "   ");
             rs.moveFirst();
         }}};
    for (const auto &[how, leave] : leaves) {
        RecordSource rs("datPrimaryRS", db.shop());
        rs.open(titles);
        rs.addNew();
        leave(rs);
        rs.save();
        EXPECT_EQ(db.count("Titles"), 5) << how;
        EXPECT_LE(rs.recordCount(), 6) << how; // at most the new AddNew's own row
    }
}

TEST_F(Records, SavingWritesOnlyTheChangedFields) {
    RecordSource stale("datPrimaryRS", db.shop());
    stale.open(titles);
    db.exec("UPDATE Titles SET Qty=1, Author='Someone' WHERE BOOKNO=1"); // another window
    stale.setValue("Title", "Renamed");
    stale.save();
    EXPECT_EQ(db.rows("SELECT Title,Author,Qty FROM Titles WHERE BOOKNO=1"),
              QStringList{"Renamed|Someone|1"});
    EXPECT_EQ(stale.text("Qty"), "1"); // the row is read back after saving
}

TEST_F(Records, AddToAppliesToTheStoredAmount) {
    RecordSource first("Adodc1", db.shop());
    RecordSource second("Adodc1", db.shop());
    first.open("select * from titles");
    second.open("select * from titles");
    first.addTo("Qty", -2);
    first.save();
    second.addTo("Qty", -1); // still holds Qty 5 from when it opened
    second.save();
    EXPECT_EQ(db.scalar("SELECT Qty FROM Titles WHERE BOOKNO=1").toInt(), 2);
    EXPECT_EQ(second.text("Qty"), "2");
}

TEST_F(Records, ATypedTextThatDoesNotConvertStopsTheMove) {
    RecordSource rs("datPrimaryRS", db.shop());
    rs.open(titles);
    rs.setText(rs.fieldIndex("Sale Price"), "ten");
    EXPECT_EQ(rs.text("Sale Price"), "ten");
    EXPECT_THROW(rs.moveNext(), DataError);
    EXPECT_EQ(rs.position(), 1);
    EXPECT_TRUE(rs.hasPending());
    rs.setText(rs.fieldIndex("Sale Price"), "11");
    rs.moveNext();
    EXPECT_EQ(db.scalar("SELECT [Sale Price] FROM Titles WHERE BOOKNO=1").toDouble(), 11.0);
    EXPECT_THROW(rs.setValue("Qty", "many"), DataError); // direct assignment converts at once
}

TEST_F(Records, DeleteLeavesNoCurrentRowUntilTheNextMove) {
    const struct {
        int deleteAt;          // 1-based row to delete of 5
        int positionAfterMove; // after "move next, then last if past the end"
        const char *isbn;
    } cases[] = {{3, 3, "222"}, {5, 4, "222"}, {1, 1, "222"}};
    for (const auto &c : cases) {
        TestDatabase fresh;
        fresh.exec("INSERT INTO Titles (ISBN) VALUES ('111'),('222'),('333'),('222'),('555')");
        RecordSource rs("datPrimaryRS", fresh.shop());
        rs.open(titles);
        rs.moveTo(c.deleteAt - 1);
        rs.deleteCurrent();
        EXPECT_LT(rs.position(), 0);
        EXPECT_EQ(fresh.count("Titles"), 4);
        rs.moveNext();
        if (rs.isEof())
            rs.moveLast();
        EXPECT_EQ(rs.position(), c.positionAfterMove);
        EXPECT_EQ(rs.text("ISBN"), QString::fromLatin1(c.isbn));
    }
}

TEST_F(Records, DeletingTheOnlyRowLeavesAnEmptySet) {
    db.exec("DELETE FROM Titles WHERE BOOKNO > 1");
    RecordSource rs("datPrimaryRS", db.shop());
    rs.open(titles);
    rs.deleteCurrent();
    rs.moveNext();
    EXPECT_TRUE(rs.isEof());
    EXPECT_THROW(rs.moveLast(), DataError);
    EXPECT_EQ(db.count("Titles"), 0);
}

TEST_F(Records, RequeryReadsOtherWindowsChangesAndKeepsPendingWork) {
    RecordSource rs("Adodc1", db.shop());
    rs.open("select * from titles");
    rs.setValue("Title", "Kept");
    db.exec("INSERT INTO Titles (ISBN) VALUES ('888')");
    rs.requery();
    EXPECT_EQ(rs.recordCount(), 6);
    EXPECT_EQ(rs.text("Title"), "Kept");
    EXPECT_EQ(rs.position(), 1);
}

TEST_F(Records, SavingARowDeletedElsewhereIsReported) {
    RecordSource rs("Adodc1", db.shop());
    rs.open("select * from titles");
    db.exec("DELETE FROM Titles WHERE BOOKNO=1");
    rs.setValue("Title", "Ghost");
    EXPECT_THROW(rs.save(), DataError);
    EXPECT_EQ(db.count("Titles"), 4);
}

TEST_F(Records, MissingFileOrTableIsADataError) {
    RecordSource missing("Adodc1", drivers::open(db.path() + ".gone"));
    EXPECT_THROW(missing.open("select * from titles"), DataError);
    RecordSource noTable("Adodc1", db.shop());
    try {
        noTable.open("select * from Customers");
        ADD_FAILURE();
    } catch (const DataError &error) {
        EXPECT_TRUE(error.description().contains("Customers")) << error.what();
    }
}

TEST_F(Records, SignalsFollowTheCurrentRow) {
    RecordSource rs("Adodc1", db.shop());
    QSignalSpy moved(&rs, &RecordSource::moved);
    rs.open("select * from titles");
    rs.moveNext();
    rs.moveLast();
    EXPECT_EQ(moved.count(), 3);
}

TEST(LargeResults, AreReadAScreenfulAtATimeAndWholeWhenNeeded) {
    TestDatabase db;
    db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 12000) "
            "INSERT INTO soldbook SELECT '2001-05-03','10:00:00','I'||i,'T',2,1 FROM n");
    RecordSource rs("Adodc1", db.shop());
    rs.open("select * from soldbook");
    ASSERT_TRUE(rs.canFetchMore());
    const int first = rs.loadedCount();
    EXPECT_LT(first, 12000);
    rs.moveTo(first - 1);
    rs.moveNext(); // past what was read: reads on
    EXPECT_EQ(rs.text("ISBN"), QStringLiteral("I%1").arg(first + 1));
    EXPECT_DOUBLE_EQ(rs.sumOfProducts("Price", "Qty"), 24000);
    EXPECT_FALSE(rs.canFetchMore());
    EXPECT_EQ(rs.recordCount(), 12000);

    rs.requery();
    rs.moveFirst();
    rs.find("ISBN", "I11999");
    EXPECT_EQ(rs.position(), 11999);
    rs.requery();
    rs.setValue("Qty", 5); // a write finishes the reading first, then saves
    rs.moveLast();
    EXPECT_EQ(rs.position(), 12000);
    EXPECT_EQ(db.scalar("SELECT Qty FROM soldbook WHERE ISBN='I1'").toInt(), 5);
}

// Another statement on the connection while a large result is still being read (a server
// reads the rest ahead first): every row still comes through with its values, nulls too.
TEST(LargeResults, AStatementSentMidReadLosesNoRowOrValue) {
    TestDatabase db;
    db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 12000) "
            "INSERT INTO soldbook SELECT '2001-05-03','10:00:00','I'||i, "
            "CASE WHEN i % 7 = 0 THEN NULL ELSE 'T'||i END, i * 0.25, i FROM n");
    RecordSource rs("Adodc1", db.shop());
    rs.open("select * from soldbook");
    ASSERT_TRUE(rs.canFetchMore());
    EXPECT_EQ(rs.readingConnection().scalar("SELECT count(*) FROM soldbook").toInt(), 12000);
    rs.fetchAll();
    ASSERT_EQ(rs.loadedCount(), 12000);
    const int isbn = rs.fieldIndex("ISBN"), title = rs.fieldIndex("Title"),
              price = rs.fieldIndex("Price"), qty = rs.fieldIndex("Qty");
    int wrong = 0;
    for (int row = 0; row < 12000; ++row) {
        const int i = row + 1;
        const QVariant shownTitle = rs.valueAt(row, title);
        wrong += rs.valueAt(row, isbn).toString() != QStringLiteral("I%1").arg(i) ||
                 (i % 7 == 0 ? !shownTitle.isNull()
                             : shownTitle.toString() != QStringLiteral("T%1").arg(i)) ||
                 rs.valueAt(row, price).toDouble() != i * 0.25 ||
                 rs.valueAt(row, qty).toLongLong() != i;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(LargeResults, TheGridShowsWhatIsReadAndFetchesMoreOnDemand) {
    TestDatabase db;
    db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 9000) "
            "INSERT INTO soldbook SELECT '2001-05-03','10:00:00','I'||i,'T',2,1 FROM n");
    RecordSource rs("Adodc1", db.shop());
    rs.open("select * from soldbook");
    RecordTableModel model(&rs, {{"ISBN", ""}});
    EXPECT_EQ(model.rowCount(), rs.loadedCount());
    ASSERT_TRUE(model.canFetchMore({}));
    while (model.canFetchMore({}))
        model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 9000);
    EXPECT_EQ(model.data(model.index(8999, 0), Qt::DisplayRole).toString(), "I9000");
}

// Moving to the last of many rows tells its progress as it reads; when the operator stops it,
// the current row stays, nothing is reported as an error, and the rows read are kept.
TEST(LargeResults, ALongReadTellsItsProgressAndCanBeStopped) {
    TestDatabase db;
    db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 120000) "
            "INSERT INTO soldbook SELECT '2001-05-03','10:00:00','I'||i,'T',2,1 FROM n");
    RecordSource rs("datPrimaryRS", db.shop());
    rs.open("select * from soldbook");
    Navigator navigator(&rs);
    QStringList errors;
    QObject::connect(&rs, &RecordSource::dataError, [&](const QString &e) { errors << e; });
    std::vector<int> told;
    bool stop = true;
    rs.setReadProgress([&](int rowsRead, bool finished) {
        told.push_back(finished ? -rowsRead : rowsRead);
        return !(stop && told.size() == 1);
    });
    navigator.last();
    EXPECT_EQ(navigator.caption(), "Record: 1") << "stopped: the current row stays";
    EXPECT_TRUE(errors.isEmpty()) << errors.join("|").toStdString();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_GT(told[0], 0);
    EXPECT_EQ(told[1], -told[0]) << "told once more when it ends";
    EXPECT_TRUE(rs.canFetchMore());
    EXPECT_EQ(rs.loadedCount(), told[0]) << "what was read is kept";

    stop = false;
    told.clear();
    navigator.last();
    EXPECT_EQ(navigator.caption(), "Record: 120000");
    EXPECT_EQ(rs.text("ISBN"), "I120000");
    ASSERT_GE(told.size(), 2u);
    EXPECT_EQ(told.back(), -120000);
}
