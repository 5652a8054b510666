#include "import/bhavcopyfile.h"
#include "import/bhavcopyfixture.h"
#include "import/bhavcopyimporter.h"
#include "import/nnfimporter.h"
#include "import/xlsfixture.h"
#include "import/xlsimporter.h"
#include "support/teststore.h"

#include <QCryptographicHash>
#include <functional>
#include <gtest/gtest.h>

using namespace import;

namespace {

// A digest of every row of every table, to see that nothing changed at all.
std::string storeChecksum(store::Database& db)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const auto& table : db.query("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name").rows) {
        hash.addData(table[0].toString().toUtf8());
        const QString select =
            QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(store::quoteIdentifier(table[0].toString()));
        for (const auto& row : db.query(select).rows)
            for (const QVariant& value : row)
                hash.addData(QByteArray(value.isNull() ? "null" : value.typeName()) + value.toString().toUtf8() + '|');
    }
    return hash.result().toHex().toStdString();
}

}  // namespace

// Files that would store wrong figures, mix days or wipe a table are refused
// whole, naming the line or row, and leave every table as it was.
TEST(ImportRefusals, FilesThatCannotBeRightChangeNothingAndSayWhere)
{
    TestStore store;
    store::Database& db = store.db();
    db.execScript("INSERT INTO ScripMaster (srno, company, nsescrip) VALUES (7, 'Abcde Ltd', 'ABCDE');"
                  "INSERT INTO mto (TransDate, scriptcode, NSETrdQty) VALUES ('2024-04-01', 7, 100);"
                  "INSERT INTO allbhavcopy (symbol, series, closeprice, TransDate) "
                  "VALUES ('ABCDE', 'EQ', 10, '2024-01-05');"
                  "INSERT INTO nnf_security VALUES (11, 'ABCDE', 'EQ')");
    const std::string before = storeChecksum(db);

    auto sheet = [&](const QVariant& price, const QVariant& quantity) {
        return [&, price, quantity] {
            QVariantList row(13);
            row[1] = QStringLiteral("ABCDE-EQ1");
            row[11] = price;
            row[12] = quantity;
            const QString path = store.folder() + "/book.xls";
            EXPECT_TRUE(
                writeXlsFixture(path, {{QStringLiteral("sheet1"), {QVariantList(13, QStringLiteral("head")), row}}}));
            return XlsImporter(db).importSheet(path, QDate(2024, 4, 2)).message;
        };
    };
    const QByteArray header = QByteArray(bhavcopyfile::kHeader.data(), qsizetype(bhavcopyfile::kHeader.size())) + "\n";
    const QByteArray good = "ZETA,EQ,1,2,0.5,1.5,1.5,1,100,150,08-JAN-2024,\n";
    auto bhavcopy = [&](const QByteArray& text) {
        return [&, text] { return BhavcopyImporter(db).importFile(writeText(store.folder(), "cm.csv", text)).message; };
    };
    auto nnf = [&](const QByteArray& text) {
        return [&, text] {
            return NnfImporter(db).importFile(writeText(store.folder(), "Security.csv", text)).message;
        };
    };

    const QList<std::tuple<const char*, std::function<QString()>, QString>> cases{
        {"sheet quantity beyond any figure", sheet(10, 1e308),
         "Row 2: the quantity 1e+308 is not a figure a quantity can be"},
        {"sheet price negative", sheet(-5, 1), "Row 2: the price -5 is not a figure a price can be"},
        {"sheet price beyond any figure", sheet("1e20", 1), "Row 2: the price 1e20 is not a figure a price can be"},
        {"bhavcopy row of another day", bhavcopy(header + good + "YETA,EQ,1,2,0.5,1,1,1,10,15,09-JAN-2024,\n"),
         "Line 3 of the file cannot be imported: its TIMESTAMP \"09-JAN-2024\" is another day than the file's"},
        {"bhavcopy price negative", bhavcopy(header + "YETA,EQ,1,2,0.5,-1.5,1,1,10,15,08-JAN-2024,\n" + good),
         "Line 2 of the file cannot be imported: CLOSE \"-1.5\" is not a price or quantity"},
        {"bhavcopy quantity negative", bhavcopy(header + good + "YETA,EQ,1,2,0.5,1,1,1,-10,15,08-JAN-2024,\n"),
         "Line 3 of the file cannot be imported: TOTTRDQTY \"-10\" is not a price or quantity"},
        {"nnf without an equity line", nnf("Token|Symbol|Series|\n21|ZETA|BE|\n"),
         "The file holds no security of series EQ after its header."},
        {"nnf without its header", nnf("21|ZETA|EQ|\n22|YETA|EQ|\n"),
         "Line 1 of the file cannot be imported: it is a security, not the file's header line"},
    };
    for (const auto& [name, run, expected] : cases) {
        const QString message = run();
        EXPECT_TRUE(message.contains(expected)) << name << ": " << message.toStdString();
        EXPECT_EQ(storeChecksum(db), before) << name;
    }
}
