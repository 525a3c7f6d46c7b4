// The customer's receipt: every line of a long sale printed whole, pages broken on A4 and
// Letter, one strip on a till roll, printed for real to PDF on the paper chosen; amounts to the
// cent with the shop's currency; who served; the commands on the selling screen.
#include "pdfpages.h"
#include "printpreview.h"
#include "receiptcommands.h"
#include "receiptlist.h"
#include "receiptprint.h"
#include "receiptsettings.h"
#include "sellscreen.h"
#include "shoplocation.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

Money amount(double value) {
    return *Money::fromDouble(value);
}

// Amounts print in the shop's language; these tests set it and put the system's back after.
class LocaleFor {
public:
    explicit LocaleFor(const QLocale &locale) : before_(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleFor() { QLocale::setDefault(before_); }

private:
    QLocale before_;
};

const QString longTitle = QStringLiteral(
    "The Complete and Unabridged Annotated Guide to Every Lighthouse on the Northern Coast");
const QString longWord = QStringLiteral("Pneumonoultramicroscopicsilicovolcanoconiosis-Revisited");

Receipt longSale(int lines) {
    Receipt receipt;
    receipt.shopName = "Harbour Books";
    receipt.when = QDateTime(QDate(2001, 5, 3), QTime(10, 30));
    for (int i = 0; i < lines; ++i) {
        const QString title = i == 5       ? longTitle
                              : i == 6     ? longWord
                              : i % 3 == 0 ? QString("紅樓夢 第%1回").arg(i + 1)
                                           : QString("Title number %1 of the sale").arg(i + 1);
        receipt.lines.push_back({title, amount(12.5), i % 4 == 0, 2, amount(25)});
    }
    receipt.total = amount(lines * 25);
    receipt.servedBy = "Anna";
    receipt.footer = "Thank you! Returns within 14 days with this receipt.";
    return receipt;
}

} // namespace

// The print dialog leaves its own page on the printer (Letter, for Print to File): the
// receipt still comes out on the paper chosen, on paper and in the PDF.
TEST(ReceiptPrint, EveryLineWholeOnThePaperChosenWhateverPageThePrinterHad) {
    QTemporaryDir dir;
    const LocaleFor c(QLocale::c());
    const Receipt receipt = longSale(120);
    struct Case {
        receipt::Paper paper;
        QSizeF points; // width; height 0 for a roll's own length
        bool manyPages;
    };
    const Case cases[] = {{receipt::Paper::A4, QSizeF(595, 842), true},
                          {receipt::Paper::Letter, QSizeF(612, 792), true},
                          {receipt::Paper::Roll80, QSizeF(226.8, 0), false},
                          {receipt::Paper::Roll58, QSizeF(164.4, 0), false}};
    for (const Case &c : cases) {
        const QString name = receipt::paperName(c.paper);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name + ".pdf"));
        printer.setPageSize(QPageSize(QPageSize::Letter));
        const int printed = receipt::print(receipt, printer, c.paper);
        const std::vector<receipt::Placed> placed = receipt::layOut(receipt, printer);

        // Every line once, in order, its title whole (wrapped where it is long), its amounts
        // on the same page, all of it inside the printable area of its page.
        const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
        const double oneLine = placed.at(1).rect.height(); // the date and time
        int next = 0;
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const receipt::Placed &item = placed[i];
            EXPECT_LE(item.rect.bottom(), area.height() + 0.5) << name.toStdString() << i;
            EXPECT_LE(item.rect.right(), area.width() + 0.5) << name.toStdString() << i;
            if (next < static_cast<int>(receipt.lines.size()) &&
                item.text == receipt.lines[static_cast<std::size_t>(next)].title) {
                EXPECT_EQ(placed[i + 1].text, next % 4 == 0 ? "   2 x 12.50 *" : "   2 x 12.50");
                EXPECT_EQ(placed[i + 2].text, "25.00");
                EXPECT_EQ(placed[i + 2].page, item.page);
                // On a till roll the long title and the long word take more than one line.
                if (c.points.height() == 0 && (next == 5 || next == 6)) {
                    EXPECT_GT(item.rect.height(), 1.5 * oneLine) << name.toStdString() << next;
                    EXPECT_TRUE(item.flags & (next == 5 ? Qt::TextWordWrap : Qt::TextWrapAnywhere));
                }
                ++next;
            }
        }
        EXPECT_EQ(next, 120) << name.toStdString();
        EXPECT_EQ(placed.front().text, "Harbour Books");
        EXPECT_EQ(placed.back().text, receipt.footer);

        const PdfPages pdf = readPdf(printer.outputFileName());
        EXPECT_EQ(pdf.count, printed) << name.toStdString();
        EXPECT_EQ(pdf.count, placed.back().page + 1) << name.toStdString();
        EXPECT_EQ(pdf.count > 1, c.manyPages) << name.toStdString() << " " << pdf.count;
        ASSERT_EQ(pdf.sizes.size(), pdf.count);
        for (const QSizeF &size : pdf.sizes) {
            EXPECT_NEAR(size.width(), c.points.width(), 1) << name.toStdString();
            if (c.points.height() > 0)
                EXPECT_NEAR(size.height(), c.points.height(), 1) << name.toStdString();
            else // a strip longer than any sheet, for 120 lines
                EXPECT_GT(size.height(), 842 * 2) << name.toStdString();
        }
    }
}

TEST(ReceiptPrint, AmountsToTheCentWithTheShopsCurrency) {
    struct Case {
        QLocale locale;
        const char *currency;
        double amount;
        const char *printed;
    };
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale germany(QLocale::German, QLocale::Germany);
    const Case cases[] = {
        {QLocale::c(), "", 24, "24.00"},
        {QLocale::c(), "$", 1234.5, "$1234.50"},
        {us, "$", 24, "$24.00"},
        {us, "$", 1234.5, "$1,234.50"},
        {us, "$", -12.5, "-$12.50"},
        {us, "$", 12.345, "$12.35"},
        {us, "$", 12.3449, "$12.34"},
        {us, "NT$", 0.1, "NT$0.10"},
        {germany, "€", 1234.5, "1.234,50\u00a0€"},
        {germany, "€", -0.005, "-0,01\u00a0€"},
    };
    for (const Case &c : cases) {
        const LocaleFor locale(c.locale);
        EXPECT_EQ(receipt::amountText(amount(c.amount), QString::fromUtf8(c.currency)),
                  QString::fromUtf8(c.printed))
            << c.amount << " " << c.locale.name().toStdString();
    }
}

TEST(ReceiptCommandsTest, PrintsTheCustomersListWithoutChangingAnything) {
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    const LocaleFor c(QLocale::c());
    TestShop shop;
    shop.db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES "
                 "('111', 'A Title Longer Than Twenty-Five Letters', 12.5, 10), "
                 "('222', '紅樓夢', 8, 4)");
    shop.db.exec("INSERT INTO onsale VALUES ('222', 6.5, '2001-05-01', '2001-05-31')");
    SellScreen screen(shop.context);
    auto *commands = screen.findChild<ReceiptCommands *>("receiptCommands");
    ASSERT_NE(commands, nullptr);
    EXPECT_EQ(commands->printAction()->shortcut(), QKeySequence(QKeySequence::Print));
    EXPECT_EQ(commands->printAction()->shortcutContext(), Qt::WidgetWithChildrenShortcut);
    EXPECT_EQ(screen.contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_TRUE(screen.actions().contains(commands->printAction()));
    EXPECT_TRUE(screen.actions().contains(commands->settingsAction()));

    EXPECT_EQ(commands->printReceipt(), nullptr); // nothing sold yet
    EXPECT_EQ(shop.messages.texts().size(), 1);

    const ReceiptSettings unset = ReceiptSettings::load();
    EXPECT_EQ(unset.shopName, "");
    EXPECT_EQ(unset.footer, "");
    EXPECT_TRUE(unset.printServedBy);
    ReceiptSettings{"Harbour Books", "Thank you", receipt::Paper::Roll58, "$", "", true}.save();

    for (const auto &[isbn, copies] : {std::pair{"111", "3"}, std::pair{"222", "2"}}) {
        screen.findChild<QLineEdit *>("Text1")->setText(isbn);
        screen.findChild<QLineEdit *>("Text2")->setText(copies);
        screen.lookup();
        screen.recordSale();
    }
    const Receipt receipt = commands->receiptToPrint();
    EXPECT_EQ(receipt.shopName, "Harbour Books");
    EXPECT_EQ(receipt.footer, "Thank you");
    EXPECT_EQ(receipt.currency, "$");
    EXPECT_EQ(receipt.when, QDateTime(QDate(2001, 5, 3), QTime(10, 30)));
    ASSERT_EQ(receipt.lines.size(), 2u);
    EXPECT_EQ(receipt.lines[0].title, "A Title Longer Than Twenty-Five Letters"); // not cut
    EXPECT_EQ(receipt.lines[0].price, amount(12.5));
    EXPECT_FALSE(receipt.lines[0].onOffer);
    EXPECT_EQ(receipt.lines[0].subtotal, amount(37.5));
    EXPECT_EQ(receipt.lines[1].title, "紅樓夢");
    EXPECT_EQ(receipt.lines[1].price, amount(6.5));
    EXPECT_TRUE(receipt.lines[1].onOffer);
    EXPECT_EQ(receipt.lines[1].quantity, 2);
    EXPECT_EQ(receipt.total, amount(50.5));

    const QStringList sales = shop.db.rows("SELECT * FROM soldbook");
    const QStringList titles = shop.db.rows("SELECT * FROM Titles");
    auto *list = screen.findChild<ReceiptList *>("Pic");
    // Ctrl+P typed in the window's ISBN box opens the preview of this customer's receipt, with
    // its own Print in sight at the size it opens and on Ctrl+P too.
    screen.show();
    QApplication::setActiveWindow(&screen);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    QTest::keyClick(screen.findChild<QLineEdit *>("Text1"), Qt::Key_P, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QPrintPreviewDialog *preview = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == "receiptPreview" && top->isVisible())
            preview = qobject_cast<QPrintPreviewDialog *>(top);
    ASSERT_NE(preview, nullptr);
    QAction *print = printpreview::printAction(preview);
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->shortcut(), QKeySequence(QKeySequence::Print));
    auto *toolbar = preview->findChild<QToolBar *>();
    ASSERT_NE(toolbar, nullptr);
    ASSERT_NE(toolbar->widgetForAction(print), nullptr);
    EXPECT_TRUE(toolbar->widgetForAction(print)->isVisible());
    preview->close();
    EXPECT_EQ(shop.db.rows("SELECT * FROM soldbook"), sales);
    EXPECT_EQ(shop.db.rows("SELECT * FROM Titles"), titles);
    EXPECT_EQ(list->lineCount(), 2);
    EXPECT_EQ(screen.findChild<QLabel *>("Label6")->text(), "50.5");

    screen.nextCustomer(); // the next customer's receipt starts empty
    EXPECT_TRUE(commands->receiptToPrint().lines.empty());
}

// "Served by" names who served: the name the shop set for this till, or else the login the
// shop is worked under; left out when the shop wants none.
TEST(ReceiptCommandsTest, ServedByTheTillsNameOrItsLoginOrLeftOut) {
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    TestShop shop;
    SellScreen screen(shop.context);
    auto *commands = screen.findChild<ReceiptCommands *>("receiptCommands");
    const QString login = shoplocation::loginName(shop.context.shop.location());
    ASSERT_FALSE(login.isEmpty());
    struct Case {
        const char *servedBy;
        bool print;
        QString expected;
    };
    const Case cases[] = {{"Till 2", true, "Till 2"}, {"", true, login}, {"Till 2", false, ""}};
    for (const Case &c : cases) {
        ReceiptSettings{"", "", receipt::Paper::Roll80, "", c.servedBy, c.print}.save();
        Receipt receipt = commands->receiptToPrint();
        EXPECT_EQ(receipt.servedBy, c.expected) << c.servedBy << c.print;
        receipt.lines.push_back({"One", amount(1), false, 1, amount(1)});
        QPrinter printer(QPrinter::HighResolution);
        receipt::setPaper(printer, receipt::Paper::Roll80);
        QStringList texts;
        for (const receipt::Placed &item : receipt::layOut(receipt, printer))
            texts << item.text;
        EXPECT_EQ(texts.contains("Served by: " + c.expected), c.print) << c.servedBy;
        EXPECT_EQ(texts.filter("Served by").size(), c.print ? 1 : 0) << c.servedBy;
    }
}
