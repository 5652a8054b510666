#include "bhavcopyfixture.h"
#include "import/nnfimporter.h"
#include "support/teststore.h"

#include <gtest/gtest.h>

using namespace import;

// A security listed again in the NNF file would be stored, and counted by
// every query of the table, twice: it is stored once and the repeated lines
// are counted for the user.
TEST(NnfImport, StoresARepeatedSecurityOnceAndSaysHowManyLinesWereSkipped)
{
    TestStore store;
    store::Database& db = store.db();
    struct Case {
        int repeats;
        const char* message;
    };
    for (const Case& c : {Case{5, "NNF Security Import Completed Successfully\n5 repeated lines were skipped."},
                          Case{1, "NNF Security Import Completed Successfully\n1 repeated line was skipped."},
                          Case{0, "NNF Security Import Completed Successfully"}}) {
        QByteArray text = "Token|Symbol|Series|\n";
        for (int i = 1; i <= 200; ++i)
            text += QByteArray::number(i) + "|SYM" + QByteArray::number(i) + "|EQ|\n";
        // Repeats in another letter case; a repeated line of another series
        // is not stored at all, and so not counted.
        for (int i = 1; i <= c.repeats; ++i)
            text += QByteArray::number(i * 10) + "|sym" + QByteArray::number(i * 10) + "|EQ|\n";
        text += "900|OTHER|BE|\n900|OTHER|BE|\n";
        const NnfImportOutcome outcome = NnfImporter(db).importFile(writeText(store.folder(), "Security.csv", text));
        ASSERT_TRUE(outcome.imported()) << outcome.message.toStdString();
        EXPECT_EQ(outcome.message.toStdString(), c.message);
        EXPECT_EQ(outcome.rowsImported, 200);
        EXPECT_EQ(outcome.repeatedLines, c.repeats);
        EXPECT_EQ(db.scalar("SELECT count(*) FROM nnf_security").toInt(), 200);
        EXPECT_EQ(db.scalar("SELECT count(DISTINCT srno) FROM nnf_security").toInt(), 200);
    }
}
