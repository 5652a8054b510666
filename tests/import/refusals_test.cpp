#include "import/bhavcopyfile.h"
#include "import/bhavcopyfixture.h"
#include "import/batchimport.h"
#include "import/bhavcopyimporter.h"
#include "import/deliverycodec.h"
#include "import/deliveryimporter.h"
#include "import/emaupdate.h"
#include "import/masterrefresh.h"
#include "import/nnfimporter.h"
#include "import/xlsfixture.h"
#include "import/xlsimporter.h"
#include "store/storeerror.h"
#include "support/storechecksum.h"
#include "support/teststore.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace import;

namespace {

// A named pipe called `name` in `folder`, where an importer expects a file:
// opening it to read would wait for a writer that never comes.
QString makePipe(const QString& folder, const QString& name)
{
    const QString path = QDir(folder).filePath(name);
    EXPECT_EQ(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    return path;
}

QString notRegular(const QString& path)
{
    return "The file " + path + " could not be opened: it is not a regular file (a pipe, socket or device)";
}

// The delivery file of the decoded `lines` (the header first).
QByteArray deliveryText(const QList<QByteArray>& lines)
{
    QByteArray out;
    for (qsizetype i = 0; i < lines.size(); ++i)
        out += deliverycodec::encode(i == 0 ? QByteArray(deliverycodec::kHeaderTag) : QByteArray("<Detail>"),
                                     QString::fromLatin1(lines[i])) +
               "\r\n";
    return out;
}

}  // namespace

// Files that would store wrong figures, mix days, lose rows or wipe a table
// are refused whole with the message the user sees, and leave every table as
// it was. An expected message ending in "..." is the start of the message.
TEST(ImportRefusals, FilesThatCannotBeRightChangeNothingAndSayWhere)
{
    TestStore store;
    store::Database& db = store.db();
    const QString folder = store.folder();
    db.execScript("INSERT INTO ScripMaster (srno, company, nsescrip) VALUES (7, 'Abcde Ltd', 'ABCDE');"
                  "INSERT INTO LinkDetails VALUES ('Derivative', 7), ('NIFTY', 7);"
                  "INSERT INTO mto (TransDate, scriptcode, NSETrdQty) VALUES ('2024-04-01', 7, 100);"
                  "INSERT INTO allbhavcopy (symbol, series, closeprice, TransDate) "
                  "VALUES ('ABCDE', 'EQ', 10, '2024-01-05');"
                  "INSERT INTO nnf_security VALUES (11, 'ABCDE', 'EQ')");
    const std::string before = storeChecksum(db);

    using Run = std::function<QString()>;
    auto xls = [&](const QString& path) -> Run {
        return [&, path] { return XlsImporter(db).importSheet(path, QDate(2024, 4, 2)).message; };
    };
    // A workbook whose sheet holds a heading row and rows of symbol, price and
    // quantity cells (columns B, L and M), imported for `day`.
    auto sheet = [&](const QList<QVariantList>& rows, const QString& sheetName = "sheet1",
                     const QDate& day = QDate(2024, 4, 2)) -> Run {
        return [&, rows, sheetName, day] {
            QList<QVariantList> cells{QVariantList(13, "head")};
            for (const QVariantList& given : rows)
                cells.append(QVariantList{QVariant(), given[0]} + QVariantList(9) + given.mid(1));
            EXPECT_TRUE(writeXlsFixture(folder + "/book.xls", {{sheetName, cells}}));
            return XlsImporter(db).importSheet(folder + "/book.xls", day).message;
        };
    };
    auto notStored = [](const QString& rows) {
        return "The sheet was not imported; these rows cannot be stored:\n" + rows +
               "\nNothing was written for the day.";
    };
    const QVariantList abcde{"ABCDE-EQ1", 1, 1};
    const QString book = "The workbook " + folder;

    auto bhav = [&](const QByteArray& text) -> Run {
        return [&, text] { return BhavcopyImporter(db).importFile(writeText(folder, "cm.csv", text)).message; };
    };
    // The message naming the refused line, and what was left unchanged.
    auto refused = [](int line, const QString& reason, const char* kept = "Nothing was imported from the file.") {
        return QStringLiteral("Line %1 of the file cannot be imported: %2.\n").arg(line).arg(reason) + kept;
    };
    auto cutOff = [](int fields) {
        return QStringLiteral("it has %1 fields where the header line has 11 (the file may be cut off)").arg(fields);
    };
    const QByteArray header(bhavcopyfile::kHeader.data(), qsizetype(bhavcopyfile::kHeader.size()));
    const QByteArray zeta = "ZETA,EQ,1,2,0.5,1.5,1.5,1,100,150,08-JAN-2024,\r\n", good = header + "\r\n" + zeta;
    // A file whose line 3 has `close` as its CLOSE, and the refusal that
    // quotes it as `shown`.
    auto close = [&](const QByteArray& value) {
        return bhav(good + "YETA,EQ,1,2,0.5," + value + ",1,1,10,15,08-JAN-2024,\n");
    };
    auto closeRefused = [&](const QString& shown) { return refused(3, "CLOSE \"" + shown + "\" is not a number"); };
    const QString sixty(60, 'a'), acute(55, QChar(0xE9)), smile = QString::fromUtf8("\U0001F600");

    auto nnf = [&](const QByteArray& text) -> Run {
        return [&, text] { return NnfImporter(db).importFile(writeText(folder, "Security.csv", text)).message; };
    };
    const char* nnfKept = "The NNF securities were not changed.";
    auto nnfRefused = [&](int line, const QString& reason) { return refused(line, reason, nnfKept); };
    const QString noEquity = "The file holds no security of series EQ after its header.\n" + QString(nnfKept);

    const MasterFile scrips = MasterFile::ScripMaster, group = MasterFile::DerivativeGroup;
    auto master = [&](MasterFile file, const QByteArray& text) -> Run {
        return [&, file, text] {
            return refreshFromFile(db, file, writeText(folder, masterFileName(file), text)).message;
        };
    };
    auto masterRefused = [&](MasterFile file, const QString& what) {
        return folder + "/" + masterFileName(file) + " was refused: " + what + ".\nThe file was not used; " +
               (file == scrips ? "the scrip master" : "the group Derivative") + " was not changed.";
    };

    const QString bhavcopyInvalid = "The File You Selected Is Invalid";
    QList<std::pair<Run, QString>> cases{
        {sheet({{"ABCDE-EQ1", 10, 1e308}}), notStored("Row 2: the quantity 1e+308 is not a figure a quantity can be")},
        {sheet({{"ABCDE-EQ1", -5, 1}}), notStored("Row 2: the price -5 is not a figure a price can be")},
        {sheet({{"ABCDE-EQ1", "1e20", 1}}), notStored("Row 2: the price 1e20 is not a figure a price can be")},
        // A sheet's other rows are written beside a refused one (xlsimport_test).
        {sheet({{"NOSUCH-EQ1", 1, 1}}), notStored("Row 2: the symbol NOSUCH is not in the scrip master")},
        {sheet({{"ABC", 1, 1}, {QVariant(), 1, 1}}),
         notStored("Row 2: \"ABC\" holds no symbol before its last four characters\n"
                   "Row 3: \"\" holds no symbol before its last four characters")},
        {sheet({{"\x1B" + QString(70, 'S') + "-EQ1", 1, 1}}),
         notStored("Row 2: the symbol \\x1B" + QString(59, 'S') + "\u2026 is not in the scrip master")},
        {sheet({abcde}, "sheet1", QDate(2024, 4, 1)), "The Data For The Selected Date Already Exists"},
        {xls("  "), "Please Select The Excel File To Import From "},
        {xls(folder + "/missing.xls"), book + "/missing.xls cannot be read: there is no such file."},
        // A pipe or a link to a device, named as a file: not waited on.
        {xls(makePipe(folder, "piped.xls")),
         book + "/piped.xls cannot be read: it is not a regular file (a pipe, socket or device)."},
        {[&] { return QFile::link("/dev/zero", folder + "/device.xls") ? xls(folder + "/device.xls")() : "no link"; },
         book + "/device.xls cannot be read: it is not a regular file (a pipe, socket or device)."},
        {xls(writeText(folder, "plain.xls", "SYMBOL,SERIES\n")),
         book + "/plain.xls cannot be read: it is not an Excel workbook (.xls) or it is damaged..."},
        {sheet({abcde}, "Data"), book + "/book.xls cannot be read: it has no sheet named sheet1."},

        {bhav(""), bhavcopyInvalid},
        {bhav(header + "TOTALTRADES,\r\n" + zeta), bhavcopyInvalid},
        {bhav(header.toLower() + "\r\n" + zeta), bhavcopyInvalid},
        {bhav("<Description> 84 97 114\r\n"), bhavcopyInvalid},
        {bhav(header + "\r\n\r\n"), "The file holds no rows after its header.\nNothing was imported from the file."},
        {bhav(good + "YETA,EQ,1,2,0.5,abc,1.5,1,100,150,08-JAN-2024,\n"), refused(3, "CLOSE \"abc\" is not a number")},
        {bhav(good + "YETA,EQ,1,2,0.5,1,1.5,1,,150,08-JAN-2024,\r\n"), refused(3, "TOTTRDQTY \"\" is not a number")},
        {bhav(good + "Y,EQ,1,2,0.5,1,1.5,1,100\n"), refused(3, cutOff(9))},
        {bhav(header + "\r\nZETA,EQ,1,2,0.5,1.5,1.5,1,100,150,31-FEB-2024,\r\n"),
         refused(2, "its TIMESTAMP \"31-FEB-2024\" is not a day")},
        {bhav(header + "\r\nZETA,EQ,1,2,0.5,1.5,1.5,1,100,150,\r\n"), refused(2, cutOff(10))},
        {bhav(header + "\r\nZETA,EQ,1,2,0.5,1.5,1.5,1,100,150,,\r\n"), refused(2, "its TIMESTAMP \"\" is not a day")},
        // A file cut off just before the closing comma of its last line,
        // which holds every field; and a line going on after its last comma.
        {bhav(good + "YETA,EQ,1,2,0.5,1,1,1,10,15,08-JAN-2024"),
         refused(3, "it does not end in a comma after its last field (the file may be cut off)")},
        {bhav(good + "YETA,EQ,1,2,0.5,1,1,1,10,15,08-JAN-2024,10\r\n"),
         refused(3, "it does not end in a comma after its last field (the file may be cut off)")},
        // A quoted value shows 60 characters at most, control characters as
        // their codes, and no character cut in half.
        {close(sixty.toLatin1()), closeRefused(sixty)},
        {close(sixty.toLatin1() + "b"), closeRefused(sixty + "\u2026")},
        {close(("1\x1B\t2" + acute + smile + "zz").toUtf8()), closeRefused("1\\x1B\\x092" + acute + smile + "\u2026")},
        {bhav(good + "\r\n" + zeta), refused(3, "the line is empty")},
        {bhav(good + "zeta,eq,1,1,1,1,1,1,1,1,08-JAN-2024,\r\n"), refused(3, "zeta eq appears on line 2 already")},
        {bhav(header + "\r\nA%1B%2C,EQ,1,2,0.5,1.5,1.5,1,100,150,08-JAN-2024,\r\n"
                       "a%1b%2c,eq,1,1,1,1,1,1,1,1,08-JAN-2024,\r\n"),
         refused(3, "a%1b%2c eq appears on line 2 already")},
        {bhav(good + "YETA,EQ,1,2,0.5,1,1,1,10,15,09-JAN-2024,\n"),
         refused(3, "its TIMESTAMP \"09-JAN-2024\" is another day than the file's (08-JAN-2024, line 2)")},
        {bhav(header + "\nYETA,EQ,1,2,0.5,-1.5,1,1,10,15,08-JAN-2024,\n"),
         refused(2, "CLOSE \"-1.5\" is not a price or quantity")},
        {bhav(good + "YETA,EQ,1,2,0.5,1,1,1,-10,15,08-JAN-2024,\n"),
         refused(3, "TOTTRDQTY \"-10\" is not a price or quantity")},
        {bhav(header + "\r\nZETA,EQ,1,2,0.5,1.5,1.5,1,100,150,05-JAN-2024,\r\n"), ""},  // a loaded day: kept
        {bhav(good + QByteArray("YE\0TA,EQ,1,2,0.5,1,1,1,10,15,08-JAN-2024,\n", 42)),
         refused(3, "its SYMBOL holds a control character")},
        {[&] { return BhavcopyImporter(db).importFile(makePipe(folder, "cm08JAN2024bhav.csv")).message; },
         notRegular(folder + "/cm08JAN2024bhav.csv")},
        {[&] { return BhavcopyImporter(db).importFile(" ").message; }, "Please Select A Cash Market File"},
        {[&] { return BhavcopyImporter(db).importFile(folder + "/missing.csv").message; },
         "The file " + folder + "/missing.csv could not be opened..."},

        {nnf("Token|Symbol|Series|\n21|ZETA|BE|\n"), noEquity},
        {nnf(""), noEquity},
        {nnf("21|ZETA|EQ|\n22|YETA|EQ|\n"), nnfRefused(1, "it is a security, not the file's header line")},
        {nnf("Header|\n21|ZETA|EQ|\n22|YETA\n"), nnfRefused(3, "it has fewer than three fields")},
        {nnf("Header|\n21|ZETA|EQ|\nx1|YETA|BE|\n"), nnfRefused(3, "the security number \"x1\" is not a whole number")},
        {nnf("Header|\n3000000000|ZETA|EQ|\n"),
         nnfRefused(2, "the security number \"3000000000\" is not a whole number")},
        {nnf("SYMBOL,SERIES,\nZETA,EQ,1,\n"), nnfRefused(2, "it has fewer than three fields")},
        {nnf("Header|\n21|ZETA|EQ|\n\n22|YETA|EQ|\n"), nnfRefused(3, "the line is empty")},
        // A file cut off in the middle of its third line.
        {nnf("Token|Symbol|Series|Security Name|\n21|ZETA|EQ|Zeta Ltd|\n22|YETA|EQ|Yeta\n"),
         nnfRefused(3, "it has 3 fields where the header line has 4 (the file may be cut off)")},
        {nnf(QByteArray("Header|\n21|ZE\0TA|EQ|\n", 21)), nnfRefused(2, "its symbol holds a control character")},
        {nnf(QByteArray("Header|\n2") + '\0' + "1|ZETA|EQ|\n"),
         nnfRefused(2, "the security number \"2\\x001\" is not a whole number")},
        {[&] { return NnfImporter(db).importFile(makePipe(folder, "Security.txt")).message; },
         notRegular(folder + "/Security.txt")},
        {[&] { return NnfImporter(db).importFile("").message; }, "Please Select NNF Security File"},
        {[&] { return NnfImporter(db).importFile(folder + "/none.csv").message; }, "File not found"},

        {master(group, "insert into linkdetails values('Derivative',2)\r\ninsert into linkdetails values('NIFTY',7)"),
         "Line 2 of " + masterRefused(group, "the line adds to the group \"NIFTY\", not to Derivative")},
        {master(group, "insert into linkdetails values('" + QByteArray(100000, 'G') + "',7)"),
         "Line 1 of " +
             masterRefused(group, "the line adds to the group \"" + QString(60, 'G') + "\u2026\", not to Derivative")},
        {master(scrips, "\r\n  \r\n"), masterRefused(scrips, "the file holds no statements")},
        {[&] { return refreshFromFile(db, scrips, folder + "/absent.txt").message; },
         folder + "/absent.txt was refused: the file cannot be opened (..."},
        {[&] { return refreshFromFile(db, group, makePipe(folder, "piped-group.txt")).message; },
         folder + "/piped-group.txt was refused: the file cannot be opened (it is not a regular file (a pipe, socket "
                  "or device)).\nThe file was not used; the group Derivative was not changed."},
    };
    // Scrip master lines that are not an insert of the expected shape: the
    // file is refused at line 3, after a good line and a blank one.
    const QList<std::pair<QByteArray, QString>> masterLines{
        {"DROP TABLE mto", "the line is not an insert into ScripMaster"},
        {"ATTACH DATABASE '/tmp/other.db' AS other", "the line is not an insert into ScripMaster"},
        {"insert into scripmaster values(92,'x','y','z'); DROP TABLE mto; --')",
         "the line goes on after the statement (\"DROP TABLE mto; --')\")"},
        {"insert into scripmaster values(1,'A','B','C') -- note", "the line goes on after the statement (\"-- note\")"},
        {"insert into scripmaster values(1,'A','B','C') -- " + QByteArray(1000, 'z'),
         "the line goes on after the statement (\"-- " + QString(57, 'z') + "\u2026\")"},
        {"insert into scripmaster values(93,'O'Brien Ltd','OBR','1')", "the value list is not closed"},
        {"insert into scripmaster values(1,'A','B','C'", "the value list is not closed"},
        {"insert into linkdetails values('ALL',1)", "the line inserts into linkdetails, not into ScripMaster"},
        {"insert into mto values(1,2)", "the line inserts into mto, not into ScripMaster"},
        {"insert into scripmaster select * from mto", "VALUES ( ... ) is expected after the table"},
        {"insert into scripmaster values(1,'A','B')", "3 values are given for 4 columns"},
        {"insert into scripmaster (company) values('A')", "no value is given for srno"},
        {"insert into scripmaster (srno, srno) values(1, 2)", "the column srno is named twice"},
        {"insert into scripmaster values('1','A','B','C')", "srno must be a whole number, not a text"},
        {"insert into scripmaster values(1.5,'A','B','C')", "srno must be a whole number, not 1.5"},
        {"insert into scripmaster values(NULL,'A','B','C')", "srno must not be NULL"},
        {"insert into scripmaster values(1,A,'B','C')", "\"A,'B','C')\" is not a value"},
        {"insert into scripmaster values(1,'A','B',random())", "\"random())\" is not a value"},
        {"insert into scripmaster values(1,'Again','DUP','1')",
         "the row cannot be stored (UNIQUE constraint failed: ScripMaster.srno)"},
        {QByteArray("insert into scripmaster values(3,'C Ltd','SY") + '\0' + "M','3')",
         "nsescrip holds a control character"},
        {"insert into scripmaster values(4,'Bell\aLtd','BEL','4')", "company holds a control character"},
    };
    for (const auto& [line, reason] : masterLines)
        cases.append({master(scrips, "insert into scripmaster values(1,'A','A','1')\r\n\r\n" + line +
                                         "\r\ninsert into scripmaster values(2,'B','B','2')\r\n"),
                      "Line 3 of " + masterRefused(scrips, reason)});

    for (const auto& [run, expected] : cases) {
        const QString message = run();
        const QString compared = expected.endsWith("...") ? message.left(expected.size() - 3) + "..." : message;
        EXPECT_EQ(compared.toStdString(), expected.toStdString());
        EXPECT_EQ(storeChecksum(db), before) << expected.toStdString();
    }
}

// Delivery files with figures no store may hold, or with a pipe in the file's
// place, are refused whole, naming the line and field, and change nothing.
TEST(ImportRefusals, DeliveryFilesThatCannotBeRightChangeNothingAndSayWhere)
{
    TestStore store;
    store::Database& db = store.db();
    const QString folder = store.folder();
    db.execScript("INSERT INTO ScripMaster (srno, company, nsescrip) VALUES (7, 'Abcde Ltd', 'ABCDE');"
                  "INSERT INTO mto (TransDate, scriptcode, NSETrdQty) VALUES ('2024-01-31', 7, 100)");
    const std::string before = storeChecksum(db);

    const QByteArray header = "Tarvenix 01/Feb/2024", good = "1,7,ABCDE,500007,100,10,50,5,50,50,10.5,10.55";
    const QByteArray partner = "2,8,FGHIJ,500008,";
    auto line3 = [](const QString& reason) {
        return "Line 3 of the file cannot be imported: " + reason + ".\nNothing was imported from the file.";
    };
    auto figure = [&](int field, const char* name, const char* text) {
        return line3(QStringLiteral("\"%1\" in field %2 (%3) is not a price, quantity or percentage")
                         .arg(QLatin1String(text))
                         .arg(field)
                         .arg(QLatin1String(name)));
    };
    const QList<std::pair<QByteArray, QString>> cases{
        {partner + "-5,1,1,1,20,10,10,10", figure(5, "NSETrdQty", "-5")},
        {partner + "5,1,1,1,20,10,-0.5,10", figure(11, "NSEClPrice", "-0.5")},
        {partner + "5,1,1,1,20,10,10,1e308", figure(12, "BSEClPrice", "1e308")},
        {partner + "5,1,1e16,1,20,10,10,10", figure(7, "NSEDelyQty", "1e16")},
        {partner + "5,1,1,1,inf,10,10,10", figure(9, "NSEPerc", "inf")},
        {partner + "5,1,1,1,20,nan,10,10", line3("\"nan\" in field 10 (BSEPerc) is not a number")},
        {QByteArray("2,8,FG") + '\0' + "HIJ,500008,5,1,1,1,20,10,10,10",
         line3("field 3 (NSEScriptCode) holds a control character")},
        {QByteArray("2,8,FGHIJ,5000") + '\t' + "08,5,1,1,1,20,10,10,10",
         line3("field 4 (BSEScriptCode) holds a control character")},
        // A field of two million characters is quoted by its start; an ESC
        // is shown as its code.
        {partner + "5,1,1,1,20,10,10," + QByteArray(2'000'000, 'x') + "1",
         line3("\"" + QString(60, 'x') + "\u2026\" in field 12 (BSEClPrice) is not a number")},
        {partner + "5,1,1,1,20,10,\x1B[2J10,10", line3("\"\\x1B[2J10\" in field 11 (NSEClPrice) is not a number")},
        // Markers in a field are quoted as they are.
        {partner + "%1x%2,1,1,1,20,10,10,10", line3("\"%1x%2\" in field 5 (NSETrdQty) is not a number")},
    };
    for (const auto& [line, expected] : cases) {
        const QString path = writeText(folder, "NB01Feb.csv", deliveryText({header, good, line}));
        EXPECT_EQ(DeliveryImporter(db).importFile(path).message.toStdString(), expected.toStdString());
        EXPECT_EQ(storeChecksum(db), before) << expected.toStdString();
    }

    QFile::remove(folder + "/NB01Feb.csv");
    const QString pipe = makePipe(folder, "NB01Feb.csv");
    EXPECT_EQ(DeliveryImporter(db).importFile(pipe).message, notRegular(pipe));
    EXPECT_EQ(storeChecksum(db), before);

    // A scrip the scrip master does not list yet is stored all the same: a
    // master refresh may come later.
    const QString unlisted = writeText(folder, "NB02Feb.csv", deliveryText({"Tarvenix 02/Feb/2024", partner + "5,1,1,1,20,10,10,10"}));
    EXPECT_TRUE(DeliveryImporter(db).importFile(unlisted).imported());
    EXPECT_EQ(db.scalar("SELECT NSEScriptCode FROM mto WHERE scriptcode = 8").toString(), QStringLiteral("FGHIJ"));
}

// When the store itself cannot be written (read-only, a full disk) every
// importer says so, naming the store's file, instead of blaming a line of
// the file; and nothing changes.
TEST(ImportRefusals, AStoreThatCannotBeWrittenIsNamedRatherThanTheFile)
{
    TestStore store;
    store::Database& db = store.db();
    const QString folder = store.folder();
    db.execScript("INSERT INTO ScripMaster (srno, company, nsescrip) VALUES (7, 'Abcde Ltd', 'ABCDE');"
                  "INSERT INTO GroupMaster VALUES ('Derivative', 'Derivatives');"
                  "INSERT INTO LinkDetails VALUES ('Derivative', 7);"
                  "INSERT INTO allbhavcopy (symbol, series, closeprice, TransDate, EMA14Days, EMA34days) "
                  "VALUES ('ABCDE', 'EQ', 10, '2024-01-05', 10, 10), ('ABCDE', 'EQ', 11, '2024-01-08', NULL, NULL);"
                  "INSERT INTO nnf_security VALUES (11, 'ABCDE', 'EQ')");
    const std::string before = storeChecksum(db);

    // Files of many scrips, more than the free pages of the store can take.
    QList<QByteArray> day{"Tarvenix 01/Feb/2024"};
    QByteArray bhavcopy = QByteArray(bhavcopyfile::kHeader.data(), qsizetype(bhavcopyfile::kHeader.size())) + "\n";
    QByteArray securities = "Token|Symbol|Series|\n";
    for (int scrip = 1; scrip <= 3000; ++scrip) {
        const QByteArray n = QByteArray::number(scrip);
        day.append(n + ',' + n + ",SYM" + n + ",,100,,50,,50,,10.5,");
        bhavcopy += "SYM" + n + ",EQ,1,2,0.5,1.5,1.5,1,100,150,09-JAN-2024,\n";
        securities += n + "|SYM" + n + "|EQ|\n";
    }
    const QString delivery = writeText(folder, "NB01Feb.csv", deliveryText(day));
    const QString cash = writeText(folder, "cm09JAN2024bhav.csv", bhavcopy);
    const QString nnf = writeText(folder, "Security.csv", securities);

    struct Import {
        std::function<QString()> run;
        QString kept;         // what the message ends with
        bool grows = true;    // whether it needs new pages (the EMA update rewrites rows in place)
    };
    const QString book = folder + "/book.xls";
    ASSERT_TRUE(writeXlsFixture(
        book, {{"sheet1", {QVariantList(13, "head"), QVariantList{QVariant(), "ABCDE-EQ1"} + QVariantList(9) +
                                                         QVariantList{10.5, 100}}}}));
    QByteArray scripMaster;
    for (int scrip = 1; scrip <= 3000; ++scrip)
        scripMaster += "insert into scripmaster values(" + QByteArray::number(scrip) + ",'Scrip " +
                       QByteArray::number(scrip) + "','SYM" + QByteArray::number(scrip) + "','1')\r\n";
    const QString newscript = writeText(folder, "newscript.txt", scripMaster);

    const QString nothing = "\nNothing was imported from the file.";
    const QList<Import> imports{
        {[&] { return XlsImporter(db).importSheet(book, QDate(2024, 2, 2)).message; },
         "\nNothing was written for the day.", false},
        {[&] { return refreshFromFile(db, MasterFile::ScripMaster, newscript).message; },
         "\nThe file was not used; the scrip master was not changed."},
        {[&] { return DeliveryImporter(db).importFile(delivery).message; }, nothing},
        {[&] { return importBatch(db, folder, {"NB01Feb.csv"}).value(0).outcome.message; }, nothing},
        {[&] { return BhavcopyImporter(db).importFile(cash).message; }, nothing},
        {[&] { return NnfImporter(db).importFile(nnf).message; }, "\nThe NNF securities were not changed."},
        {[&] {
             try {
                 updateLatestDayEma(db);
                 return QString();
             } catch (const store::StoreError& error) {
                 return error.message();
             }
         },
         "", false},
    };
    const qint64 pages = db.scalar("PRAGMA page_count").toLongLong();
    const QString named = "The database \"" + store.path() + "\" could not be written: ";
    const QList<std::tuple<QString, QString, QString>> failures{
        {"PRAGMA query_only = 1", "PRAGMA query_only = 0", named + "it is read-only (attempt to write a readonly database)."},
        {QStringLiteral("PRAGMA max_page_count = %1").arg(pages), "PRAGMA max_page_count = 1000000000",
         named + "the disk is full (database or disk is full)."},
    };
    for (const auto& [fail, mend, expected] : failures) {
        for (qsizetype i = 0; i < imports.size(); ++i) {
            if (!imports[i].grows && fail.contains("max_page_count"))
                continue;
            db.scalar(fail);
            const QString message = imports[i].run();
            db.scalar(mend);
            EXPECT_EQ(message.toStdString(), (expected + imports[i].kept).toStdString()) << "import " << i;
            EXPECT_EQ(storeChecksum(db), before) << "import " << i << ": " << expected.toStdString();
        }
    }
}

// A scrip linked twice in the derivative group would count twice in every
// group query: the refresh links it once and says how many lines repeated.
TEST(MasterRefreshFile, LinksARepeatedDerivativeScripOnce)
{
    TestStore store;
    store::Database& db = store.db();
    db.execScript("INSERT INTO GroupMaster VALUES ('Derivative', 'Derivatives')");
    QByteArray lines;
    for (int scrip = 1; scrip <= 50; ++scrip)
        lines += "insert into linkdetails values('Derivative'," + QByteArray::number(scrip) + ")\r\n";
    for (int scrip : {4, 9, 4})
        lines += "insert into linkdetails values('derivative'," + QByteArray::number(scrip) + ")\r\n";
    const MasterRefreshOutcome outcome =
        refreshFromFile(db, MasterFile::DerivativeGroup, writeText(store.folder(), "DerivativesGroup.txt", lines));
    ASSERT_TRUE(outcome.updated()) << outcome.message.toStdString();
    EXPECT_EQ(outcome.rows, 50);
    EXPECT_EQ(outcome.repeatedLines, 3);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM LinkDetails WHERE GrpCode = 'Derivative'").toInt(), 50);
    EXPECT_EQ(db.scalar("SELECT count(DISTINCT ScrCode) FROM LinkDetails WHERE GrpCode = 'Derivative'").toInt(), 50);
}
