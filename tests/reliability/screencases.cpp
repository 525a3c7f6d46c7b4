// The screens under test, their writable tables and good values, and the shop they open on.
#include "screencases.h"

#include "allscreens.h"
#include "screenregistry.h"
#include "testsupport.h"

namespace reliability {

namespace {
const QString chineseIsbn = QStringLiteral("9789570000001");
}

const std::vector<ScreenCase> &screenCases() {
    static const std::vector<ScreenCase> cases{
        {"frmSell", {"Titles", "soldbook"}, {{"Text1", chineseIsbn}, {"Text2", "1"}}},
        {"OnSaleReg", {"onsale"}, {{"Text1_0", chineseIsbn}, {"Text1_1", "300"}}},
        {"A1A2", {}, {}},
        {"frmDayReport", {}, {}},
        {"frmMonthRpt", {}, {}},
        {"frmBookQuery", {}, {}},
        {"frmInvoice",
         {"Bill"},
         {{"txtFields_0", "INV-9"}, {"txtFields_2", "120"}, {"DataCombo1", "Ace Books"}}},
        {"frmSafe", {}, {}},
        {"frmCreTitles", {"Titles"}, {}},
        {"frmNewQty", {"Titles"}, {{"txtFields_1", chineseIsbn}, {"txtFields_2", "5"}}},
        {"frmBill", {"Bill"}, {{"DataCombo1", "Ace Books"}}}, // its grid edits bills
        {"frmCheckPay", {"Bill", "paidbill"}, {{"DataCombo1", "Ace Books"}}},
        {"frmPayRec", {"paidbill"}, {{"DataCombo1", "Ace Books"}}},
        {"dataTitles", {"Titles"}, {}},
        {"dataSubject", {"Subject"}, {}},
        {"datapublisher", {"publishers"}, {}},
        {"dataRetail", {"retail"}, {}},
        {"dataBill", {"Bill"}, {}},
        {"dataPaidBill", {"paidbill"}, {}},
        {"dataSoldBook", {"soldbook"}, {}},
        {"dataOnsale", {"onsale"}, {}},
    };
    return cases;
}

const QStringList &seededTexts() {
    static const QStringList texts{QString::fromUtf8("紅樓夢"),   QString::fromUtf8("曹雪芹"),
                                   QString::fromUtf8("文學"),     QString::fromUtf8("聯經出版"),
                                   QString::fromUtf8("臺北書局"), QString::fromUtf8("中-1"),
                                   QString::fromUtf8("中-0"),     QString::fromUtf8("臺北市")};
    return texts;
}

void seedShop(TestShop &shop) {
    shop.db.exec(QString::fromUtf8(
        "BEGIN;"
        "INSERT INTO Titles (ISBN, Title, Author, Subject, Publisher, [Year Published], "
        "[Fixed Price], [Sale Price], PurchasePrice, Qty, SafeQty, Retail) VALUES "
        "('9789570000001', '紅樓夢', '曹雪芹', '文學', '聯經出版', '1990/1/1', 400, 350, 200, "
        "50, 5, '臺北書局'),"
        "('9780000000002', 'Plain Book', 'A. Writer', 'Fiction', 'O''Hara Press', '2000/1/1', "
        "20, 18, 10, 2, 5, 'Ace Books');"
        "INSERT INTO Subject VALUES ('S1', '文學'), ('S2', 'Fiction');"
        "INSERT INTO publishers VALUES ('P1', '聯經出版', '聯經出版公司', '忠孝東路', '臺北市', "
        "'TW', '100', '02-1234', '02-5678'), ('P2', 'O''Hara Press', 'O''Hara Ltd', "
        "'1 Quay', 'Dublin', 'IE', 'D01', '01-1', '01-2');"
        "INSERT INTO retail (RetName, RetAddress, RetTel, Salesman) VALUES "
        "('臺北書局', '臺北市', '02-1111', '王小明'), ('Ace Books', '2 Road', '555', 'Al');"
        "INSERT INTO soldbook VALUES ('2001-05-03', '09:10:00', '9789570000001', '紅樓夢', "
        "350, 2), ('2001-05-02', '11:00:00', '9780000000002', 'Plain Book', 18, 1);"
        "INSERT INTO onsale VALUES ('9789570000001', 300, '2001-05-01', '2001-05-31');"
        "INSERT INTO Bill VALUES ('A-1', '2001-05-03', 120, '09:00:00', 'Ace Books'), "
        "('中-1', '2001-05-03', 88, '09:30:00', '臺北書局');"
        "INSERT INTO paidbill VALUES ('A-0', '2001-05-02', 80, '09:00:00', 'Ace Books', "
        "'2001-05-03'), ('中-0', '2001-05-02', 66, '10:00:00', '臺北書局', '2001-05-03');"
        "COMMIT;"));
}

} // namespace reliability
