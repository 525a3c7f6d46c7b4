// val() on the server reads the number a text begins with exactly as the program does on the
// file (conv::leadingNumber), down to the last bit, for ordinary and awkward texts alike.
#include "conversions.h"
#include "serverdatabase.h"
#include "shopserver.h"

#include <cmath>
#include <cstring>

namespace {

using ServerVal = ServerTest;

TEST_F(ServerVal, ReadsTheLeadingNumberAsTheProgramDoes) {
    {
        pgtool::Session db(conninfo());
        db.exec("BEGIN");
        shopserver::createSchema(db, "und");
        db.exec("COMMIT");
    }
    Link server(conninfo());
    ASSERT_EQ(server.run("SET extra_float_digits = 3"), "");
    const QString inputs[] = {"12",
                              "  -3.5abc",
                              "\t 7",
                              "+\t5",
                              "- 4",
                              "+ 4.25",
                              "0.1",
                              "00012",
                              "1.",
                              ".5",
                              "5.",
                              "1e",
                              "1e+5",
                              "2E-3x",
                              "1.5.3",
                              "abc",
                              "",
                              "   ",
                              "-",
                              ".",
                              "-.5",
                              "12 34",
                              "1,5",
                              "9781952601811",
                              "19.99 EUR",
                              "３",
                              "١٢",
                              QString::fromUtf8("\u3000 5"),
                              "-0",
                              "0e99999999999999",
                              "1e308",
                              "1.7976931348623157e308",
                              "1.7976931348623158e308",
                              "1.7976931348623159e308",
                              "1e309",
                              "1e-307",
                              "1e-320",
                              "2.4703282292062328e-324",
                              "2.4703282292062327e-324",
                              "1e-400",
                              QString(400, '9'),
                              "0." + QString(400, '0') + "1e405",
                              "0." + QString(900, '3') + "e1",
                              QString(310, '1') + "e-300"};
    for (const QString &input : inputs) {
        SCOPED_TRACE(input.left(40).toStdString());
        const QStringList got = server.rows("SELECT val($1)::text", {input});
        ASSERT_EQ(got.size(), 1);
        const double server_ = got[0].toDouble();
        const double program = conv::leadingNumber(input);
        EXPECT_EQ(std::memcmp(&server_, &program, sizeof(double)), 0)
            << "server " << got[0].toStdString() << ", program " << program;
    }
    // NULL stays NULL; numbers are their own value, whatever their type.
    EXPECT_EQ(
        server.rows("SELECT val(NULL::text), val(3), val(2.5::numeric(19,4)), val(-1.25::real)"),
        QStringList{"<null>|3|2.5|-1.25"});
}

} // namespace
