// Traditional Chinese text read from the tables shows unchanged in every grid of every
// screen, and Chinese typed into the record editors is stored and shown back unchanged.
#include "allscreens.h"
#include "boundlineedit.h"
#include "datagrid.h"
#include "recordeditor.h"
#include "recordsource.h"
#include "recordtablemodel.h"
#include "reliabilitysupport.h"
#include "screencases.h"
#include "screenregistry.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <set>

using namespace reliability;

namespace {

bool isChinese(const QString &text) {
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return text.contains(han);
}

// Every text cell of the screen's grids against the stored value behind it; returns the
// Chinese texts seen, and reports any cell shown differently.
std::set<QString> chineseInGrids(QWidget *screen) {
    std::set<QString> seen;
    for (DataGrid *grid : screen->findChildren<DataGrid *>()) {
        const RecordTableModel *model = grid->model();
        const RecordSource *source = model->source();
        for (int column = 0; column < model->columnCount(); ++column) {
            const int field = source->fieldIndex(model->columns()[column].field);
            if (field < 0 || source->field(field).kind != ColumnKind::Text)
                continue;
            for (int row = 0; row < model->rowCount(); ++row) {
                const QString stored = source->valueAt(row, field).toString();
                const QString shown =
                    model->data(model->index(row, column), Qt::DisplayRole).toString();
                EXPECT_EQ(shown, stored) << screen->objectName().toStdString();
                if (isChinese(stored))
                    seen.insert(stored);
            }
        }
    }
    return seen;
}

class ChineseText : public ::testing::Test {
protected:
    void SetUp() override { registerAllScreens(registry); }
    ScreenRegistry registry;
};

} // namespace

TEST_F(ChineseText, StoredTextShowsUnchangedInEveryGrid) {
    std::set<QString> seen;
    for (const ScreenCase &c : screenCases()) {
        SCOPED_TRACE(c.id.toStdString());
        TestShop shop;
        seedShop(shop);
        std::unique_ptr<QWidget> screen(registry.create(c.id, shop.context));
        screen->show();
        seen.merge(chineseInGrids(screen.get()));
        if (auto *editor = qobject_cast<RecordEditor *>(screen.get())) {
            for (BoundLineEdit *box : editor->findChildren<BoundLineEdit *>()) {
                EXPECT_EQ(box->text(), editor->source()->text(box->field()));
            }
        }
    }
    for (const QString &text : seededTexts()) {
        if (text != QString::fromUtf8("臺北市")) { // an address no grid lists
            EXPECT_TRUE(seen.count(text)) << text.toStdString() << " shown in no grid";
        }
    }
}

TEST_F(ChineseText, TypedIntoTheEditorsItIsStoredAndShownUnchanged) {
    const QString typed = QString::fromUtf8("臺灣商務印書館「繁體」");
    for (const char *id :
         {"dataSubject", "dataRetail", "dataBill", "dataPaidBill", "dataSoldBook", "dataOnsale"}) {
        SCOPED_TRACE(id);
        TestShop shop;
        seedShop(shop);
        std::unique_ptr<QWidget> screen(registry.create(id, shop.context));
        auto *editor = qobject_cast<RecordEditor *>(screen.get());
        ASSERT_NE(editor, nullptr);
        editor->show();
        QTest::mouseClick(editor->findChild<QPushButton *>("cmdAdd"), Qt::LeftButton);
        QStringList fields;
        for (BoundLineEdit *box : editor->findChildren<BoundLineEdit *>()) {
            const int field = editor->source()->fieldIndex(box->field());
            if (box->isEnabled() && editor->source()->field(field).kind == ColumnKind::Text) {
                typeInto(box, typed);
                fields << box->field();
            }
        }
        ASSERT_FALSE(fields.isEmpty());
        QTest::mouseClick(editor->findChild<QPushButton *>("cmdUpdate"), Qt::LeftButton);
        QTest::mouseClick(editor->findChild<QPushButton *>("cmdRefresh"), Qt::LeftButton);
        EXPECT_TRUE(shop.messages.texts().isEmpty())
            << shop.messages.texts().join("\n").toStdString();

        const QString table = editor->source()->tableName();
        for (const QString &field : fields)
            EXPECT_EQ(shop.db
                          .scalar(QStringLiteral("SELECT count(*) FROM [%1] WHERE [%2] = '%3'")
                                      .arg(table, field, typed))
                          .toInt(),
                      1)
                << field.toStdString();
        EXPECT_TRUE(chineseInGrids(editor).count(typed)) << "the new row's text in the grid";
    }
}
