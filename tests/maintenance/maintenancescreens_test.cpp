// The eight maintenance screens, checked over the one table that defines them.
#include "allscreens.h"
#include "boundlineedit.h"
#include "datagrid.h"
#include "maintenancetable.h"
#include "recordeditor.h"
#include "recordsource.h"
#include "screenregistry.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

// Rows inserted out of order, and the order each screen must show them in.
struct OrderCase {
    const char *seed;
    const char *column;
    QStringList expected;
};

const std::map<QString, OrderCase> &orderCases() {
    static const std::map<QString, OrderCase> cases = {
        {"dataTitles",
         {"INSERT INTO Titles (BOOKNO,ISBN) VALUES (3,'c'),(1,'a'),(2,'b')",
          "ISBN",
          {"a", "b", "c"}}},
        {"dataSubject",
         {"INSERT INTO Subject VALUES ('9','Poetry'),('1','Art'),('5','Maps')",
          "Subject",
          {"Poetry", "Art", "Maps"}}},
        {"datapublisher",
         {"INSERT INTO publishers (PubID,Name) VALUES ('9','Penguin'),('1','Dover'),('5','Ace')",
          "Name",
          {"Penguin", "Dover", "Ace"}}},
        {"dataRetail",
         {"INSERT INTO retail (RetNo,RetName) VALUES (3,'C'),(1,'A'),(2,'B')",
          "RetName",
          {"A", "B", "C"}}},
        {"dataBill",
         {"INSERT INTO Bill ([Invoice No],[Invoice Date]) VALUES "
          "('c','2001-05-03'),('a','2001-04-30'),('b','2001-05-01')",
          "Invoice Date",
          {"2001/4/30", "2001/5/1", "2001/5/3"}}},
        {"dataPaidBill",
         {"INSERT INTO paidbill ([Invoice No],[Invoice Date]) VALUES "
          "('c','2001-12-01'),('a','2001-02-10'),('b','2001-11-30')",
          "Invoice Date",
          {"2001/2/10", "2001/11/30", "2001/12/1"}}},
        {"dataSoldBook",
         {"INSERT INTO soldbook (SoldDate,ISBN) VALUES "
          "('2001-05-03','c'),('2000-12-31','a'),('2001-05-01','b')",
          "ISBN",
          {"a", "b", "c"}}},
        {"dataOnsale",
         {"INSERT INTO onsale (ISBN,[OnSale Price]) VALUES ('z',1),('a',2),('m',3)",
          "ISBN",
          {"z", "a", "m"}}},
        // A file shop starts with its one till, cash and card; a server shop with cash and card.
        {"dataTills",
         {"INSERT INTO tills (Till, Name, Prefix) VALUES (3, 'Back', 'C'), (1, 'Front', 'A'), "
          "(2, 'Side', 'B') ON CONFLICT (Till) DO UPDATE SET Name = excluded.Name, Prefix = "
          "excluded.Prefix",
          "Name",
          {"Front", "Side", "Back"}}},
        {"dataPaymentMethods",
         {"INSERT INTO paymentmethods (Method, Name) VALUES (9, 'Voucher'), (5, 'Gift')",
          "Name",
          {"Cash", "Card", "Gift", "Voucher"}}},
        {"dataShopSettings",
         {"INSERT INTO shopsettings (Setting, Value) VALUES ('Payments', 'on'), ('CashRounding', "
          "'0.05') ON CONFLICT (Setting) DO UPDATE SET Value = excluded.Value",
          "Value",
          {"0.05", "on"}}},
        // A shop starts with five reasons; the list keeps them in the order they were made.
        {"dataRefundReasons",
         {"INSERT INTO refundreasons (Reason, Name) VALUES (12, 'Shop soiled'), (11, 'Late')",
          "Name",
          {"Changed mind", "Damaged", "Faulty", "Wrong item", "Gift return", "Late",
           "Shop soiled"}}},
        // The limits of customer orders, by the setting's name.
        {"dataOrderLimits",
         {"INSERT INTO ordersettings (Setting, Days) VALUES ('WipeDays', 60), ('AbandonDays', 21)",
          "Setting",
          {"AbandonDays", "WipeDays"}}},
    };
    return cases;
}

QStringList gridColumn(const DataGrid &grid, const QString &caption) {
    const RecordTableModel &model = *grid.model();
    int column = -1;
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == caption)
            column = c;
    QStringList values;
    for (int row = 0; row < model.rowCount(); ++row)
        values << model.data(model.index(row, column), Qt::DisplayRole).toString();
    return values;
}

} // namespace

TEST(MaintenanceScreens, EachScreenShowsItsTableAsDefined) {
    ScreenRegistry registry;
    registerAllScreens(registry);
    ASSERT_EQ(maintenanceScreenTable().size(), 13u);

    for (const EditorDefinition &definition : maintenanceScreenTable()) {
        SCOPED_TRACE(definition.screenId.toStdString());
        TestShop shop;
        const OrderCase &order = orderCases().at(definition.screenId);
        shop.db.exec(order.seed);
        std::unique_ptr<QWidget> screen(registry.create(definition.screenId, shop.context));
        auto *editor = qobject_cast<RecordEditor *>(screen.get());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->objectName(), definition.screenId);
        EXPECT_EQ(editor->windowTitle(), definition.caption);
        EXPECT_EQ(editor->findChild<QLabel *>("Label2")->text(), definition.heading);

        // Rows in the query's order, and every column captioned with its field.
        ASSERT_NE(editor->grid(), nullptr);
        EXPECT_EQ(gridColumn(*editor->grid(), order.column), order.expected);
        const RecordTableModel &model = *editor->grid()->model();
        ASSERT_EQ(model.columnCount(), definition.gridColumns.size());
        for (int c = 0; c < model.columnCount(); ++c) {
            EXPECT_EQ(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                      definition.gridColumns[c]);
            EXPECT_GE(editor->source()->fieldIndex(definition.gridColumns[c]), 0);
        }

        // Each box is captioned by its label and shows its field of the first row.
        std::vector<EditorBox> boxes = definition.leftBoxes;
        boxes.insert(boxes.end(), definition.rightBoxes.begin(), definition.rightBoxes.end());
        for (const EditorBox &spec : boxes) {
            auto *label = editor->findChild<QLabel *>(QString("lblLabels_%1").arg(spec.index));
            ASSERT_NE(label, nullptr) << spec.index;
            EXPECT_EQ(label->text(), spec.label);
            EXPECT_EQ(label->buddy(), editor->box(spec.index));
            EXPECT_EQ(editor->box(spec.index)->objectName(),
                      QString("txtFields_%1").arg(spec.index));
            EXPECT_EQ(editor->box(spec.index)->isEnabled(), !spec.disabled);
            EXPECT_EQ(editor->box(spec.index)->text(), editor->source()->text(spec.field));
        }
        const auto *autoLabel = editor->findChild<QLabel *>("Label1");
        EXPECT_EQ(autoLabel != nullptr, definition.screenId == "dataTitles" ||
                                            definition.screenId == "dataRetail" ||
                                            definition.screenId == "dataTills" ||
                                            definition.screenId == "dataPaymentMethods" ||
                                            definition.screenId == "dataRefundReasons");

        // AddNew: a blank row here, or the other screen's shared window and this one closed.
        const int rowsBefore = editor->source()->recordCount();
        editor->findChild<QPushButton *>("cmdAdd")->click();
        if (definition.addOpensShared.isEmpty()) {
            EXPECT_TRUE(shop.opener.opened.isEmpty());
            EXPECT_EQ(editor->source()->recordCount(), rowsBefore + 1);
            EXPECT_TRUE(editor->source()->isPendingNew());
        } else {
            EXPECT_EQ(shop.opener.opened, QStringList{"shared:" + definition.addOpensShared});
            EXPECT_EQ(shop.opener.closed, QList<QWidget *>{editor});
        }
        EXPECT_TRUE(shop.messages.shown.empty());
    }
}

TEST(MaintenanceScreens, AddNewOpensTheCreationScreens) {
    std::map<QString, QString> opens;
    for (const EditorDefinition &definition : maintenanceScreenTable())
        if (!definition.addOpensShared.isEmpty())
            opens[definition.screenId] = definition.addOpensShared;
    EXPECT_EQ(opens, (std::map<QString, QString>{{"dataTitles", "frmCreTitles"},
                                                 {"dataOnsale", "OnSaleReg"}}));
}
