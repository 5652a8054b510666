#include "viewer/resultviewer.h"

#include "support/fakeservices.h"
#include "support/scriptedprompt.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kFiller = QString(QChar(0x00A0));

class ResultViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto& db = services.database();
        db.exec(QStringLiteral("CREATE TABLE QueryResult (stock TEXT COLLATE NOCASE, NSETrdQty INTEGER, "
                               "NSEPerc REAL, TransDate DATE, \"%1\" TEXT)")
                    .arg(kFiller));
        const QList<QVariantList> rows = {
            {QStringLiteral("Bharat"), 1500, 60.0, QDate(2026, 1, 5), QStringLiteral(" ")},
            {QStringLiteral("abacus"), 200, 75.0, QDate(2026, 1, 6), QStringLiteral(" ")},
            {QStringLiteral("Zen"), 5000, QVariant(), QDate(2026, 1, 7), QStringLiteral(" ")},
            {QStringLiteral("O'Neil"), QVariant(), 20.0, QVariant(), QStringLiteral(" ")},
            {QStringLiteral("ABC Ltd"), 1000, 50.5, QDate(2026, 1, 5), QStringLiteral(" ")},
        };
        for (const QVariantList& row : rows)
            db.exec(QStringLiteral("INSERT INTO QueryResult VALUES (?, ?, ?, ?, ?)"), row);
    }

    void TearDown() override { delete viewer::openResultViewer(); }

    viewer::ResultViewerWindow* open(const QString& select = QStringLiteral("select * from QueryResult"))
    {
        window = viewer::showResult(services, select, QStringLiteral("Top Delivery"));
        return window;
    }

    template <typename T>
    T* child(const QString& name)
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    void press(const QString& button) { child<QPushButton>(button)->click(); }

    void clickHeader(int section)
    {
        QHeaderView* header = child<QTableView>(QStringLiteral("DataGrid1"))->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    QStringList shownColumn(int column) const
    {
        QStringList values;
        for (const QVariantList& row : window->shownResult().rows.rows)
            values.append(row.at(column).toString());
        return values;
    }

    // Picks a column in filter row `row` (0 to 3) and types its value.
    void setFilterRow(int row, const QString& column, const QString& op, const QString& value,
                      const QString& joiner = QString())
    {
        const QString suffix = row == 0 ? QString() : QString::number(row);
        auto* columns = child<QComboBox>(QStringLiteral("cboFilterCols") + suffix);
        columns->setCurrentIndex(columns->findText(column));
        auto* ops = child<QComboBox>(QStringLiteral("cboOper") + suffix);
        ops->setCurrentIndex(ops->findText(op));
        child<QLineEdit>(QStringLiteral("txtFilterValue") + suffix)->setText(value);
        if (!joiner.isEmpty()) {
            auto* joiners = child<QComboBox>(QStringLiteral("CmbOpt") + suffix);
            joiners->setCurrentIndex(joiners->findText(joiner));
        }
    }

    FakeServices services;
    ScriptedPrompt prompt;
    viewer::ResultViewerWindow* window = nullptr;
};

QStringList items(QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

}  // namespace

TEST_F(ResultViewerTest, ShowsRowsReadOnceWithEveryColumnList)
{
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Query Result "));
    EXPECT_EQ(window->queryName(), QStringLiteral("Top Delivery"));
    // The rows stay after the next run drops the result table.
    services.database().exec(QStringLiteral("DROP TABLE QueryResult"));
    auto* grid = child<QTableView>(QStringLiteral("DataGrid1"));
    ASSERT_EQ(grid->model()->rowCount(), 5);
    EXPECT_EQ(grid->model()->index(0, 3).data().toString(), QStringLiteral("05/Jan/2026"));
    EXPECT_EQ(grid->model()->headerData(4, Qt::Horizontal).toString(), kFiller);

    const QStringList names = {QStringLiteral("stock"), QStringLiteral("NSETrdQty"), QStringLiteral("NSEPerc"),
                               QStringLiteral("TransDate"), kFiller};
    const QStringList lists = {
        QStringLiteral("Combosort1"),   QStringLiteral("Combosort2"),   QStringLiteral("Combosort3"),
        QStringLiteral("Combosort4"),   QStringLiteral("Comboxaxis"),   QStringLiteral("Comboyaxis"),
        QStringLiteral("Combo1series"), QStringLiteral("Combo2series"), QStringLiteral("Combo3series"),
        QStringLiteral("Combo4series"), QStringLiteral("cboFilterCols"), QStringLiteral("cboFilterCols1"),
        QStringLiteral("cboFilterCols2"), QStringLiteral("cboFilterCols3")};
    for (const QString& list : lists) {
        auto* combo = child<QComboBox>(list);
        EXPECT_EQ(items(combo), names) << list.toStdString();
        EXPECT_TRUE(combo->currentText().isEmpty()) << list.toStdString();
    }
    EXPECT_EQ(items(child<QComboBox>(QStringLiteral("ComboSortorder3"))),
              QStringList({QStringLiteral("Asc"), QStringLiteral("Desc")}));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ResultViewerTest, HeaderClicksSortAscendingDescendingAscending)
{
    open();
    clickHeader(1);
    EXPECT_EQ(shownColumn(1), QStringList({QString(), QStringLiteral("200"), QStringLiteral("1000"),
                                           QStringLiteral("1500"), QStringLiteral("5000")}));
    EXPECT_EQ(window->shownResult().sortText, QStringLiteral("[NSETrdQty]"));
    clickHeader(1);
    EXPECT_EQ(shownColumn(1), QStringList({QStringLiteral("5000"), QStringLiteral("1500"), QStringLiteral("1000"),
                                           QStringLiteral("200"), QString()}));
    EXPECT_EQ(window->headerDirection(), QStringLiteral("Desc"));
    clickHeader(1);
    EXPECT_EQ(shownColumn(1).at(1), QStringLiteral("200"));
    EXPECT_EQ(window->headerDirection(), QStringLiteral("Asc"));

    // Text sorts without regard to case; a filler column does not sort.
    clickHeader(0);
    const QStringList byName = {QStringLiteral("abacus"), QStringLiteral("ABC Ltd"), QStringLiteral("Bharat"),
                                QStringLiteral("O'Neil"), QStringLiteral("Zen")};
    EXPECT_EQ(shownColumn(0), byName);
    clickHeader(4);
    EXPECT_EQ(shownColumn(0), byName);
    EXPECT_EQ(window->headerColumnIndex(), 4);
}

TEST_F(ResultViewerTest, RefreshRereadsTableInSortRowOrder)
{
    open();
    clickHeader(0);
    setFilterRow(0, QStringLiteral("stock"), QStringLiteral("Like"), QStringLiteral("Z"));
    press(QStringLiteral("cmdFilterShow0"));
    ASSERT_EQ(window->shownResult().rows.size(), 1);

    services.database().exec(QStringLiteral("INSERT INTO QueryResult (stock, NSEPerc) VALUES ('New', 99)"));
    child<QComboBox>(QStringLiteral("Combosort2"))->setEditText(QStringLiteral("NSEPerc"));
    child<QComboBox>(QStringLiteral("ComboSortorder2"))->setCurrentIndex(1);
    press(QStringLiteral("cmdrefresh"));

    EXPECT_EQ(window->sortClause(), QStringLiteral("[NSEPerc] Desc"));
    EXPECT_EQ(window->select(), QStringLiteral("Select * from QueryResult order by [NSEPerc] Desc"));
    // The filter and the header sort are gone; the new row is read.
    const viewer::ShownResult shown = window->shownResult();
    EXPECT_TRUE(shown.filterText.isEmpty());
    EXPECT_TRUE(shown.sortText.isEmpty());
    EXPECT_EQ(shownColumn(0), QStringList({QStringLiteral("New"), QStringLiteral("abacus"), QStringLiteral("Bharat"),
                                           QStringLiteral("ABC Ltd"), QStringLiteral("O'Neil"), QStringLiteral("Zen")}));
    // The sort rows keep their choice for the next refresh.
    EXPECT_EQ(child<QComboBox>(QStringLiteral("Combosort2"))->currentText(), QStringLiteral("NSEPerc"));
    // The header click memory survives: the next click on stock sorts descending.
    clickHeader(0);
    EXPECT_EQ(window->headerDirection(), QStringLiteral("Desc"));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ResultViewerTest, RefreshFailuresKeepTheRowsShown)
{
    open();
    child<QComboBox>(QStringLiteral("Combosort1"))->setEditText(QStringLiteral("price"));
    press(QStringLiteral("cmdrefresh"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("\"price\" is not a column of this result."));

    child<QComboBox>(QStringLiteral("Combosort1"))->setEditText(QString());
    services.database().exec(QStringLiteral("DROP TABLE QueryResult"));
    press(QStringLiteral("cmdrefresh"));
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("The result could not be read again")));
    EXPECT_EQ(window->shownResult().rows.size(), 5);
    EXPECT_EQ(window->select(), QStringLiteral("select * from QueryResult"));
}

TEST_F(ResultViewerTest, SecondHandOverReloadsEverything)
{
    open();
    clickHeader(0);
    setFilterRow(0, QStringLiteral("stock"), QStringLiteral("Like"), QStringLiteral("Z"));
    press(QStringLiteral("cmdFilterShow0"));

    // The next run makes another result with other columns.
    auto& db = services.database();
    db.exec(QStringLiteral("DROP TABLE QueryResult"));
    db.exec(QStringLiteral("CREATE TABLE QueryResult (company TEXT, Rate REAL)"));
    db.exec(QStringLiteral("INSERT INTO QueryResult VALUES ('Delta', 1.5), ('Alpha', 2.5)"));
    viewer::ResultViewerWindow* first = window;
    open(QStringLiteral("select * from QueryResult order by Rate desc"));
    EXPECT_EQ(window, first);
    EXPECT_EQ(services.children.size(), 1);

    EXPECT_EQ(shownColumn(0), QStringList({QStringLiteral("Alpha"), QStringLiteral("Delta")}));
    const viewer::ShownResult shown = window->shownResult();
    EXPECT_TRUE(shown.filterText.isEmpty());
    EXPECT_TRUE(shown.sortText.isEmpty());
    EXPECT_EQ(shown.select, QStringLiteral("select * from QueryResult order by Rate desc"));
    const QStringList names = {QStringLiteral("company"), QStringLiteral("Rate")};
    for (const QString& list : {QStringLiteral("Combosort1"), QStringLiteral("Combo4series"),
                                QStringLiteral("cboFilterCols"), QStringLiteral("cboFilterCols3")})
        EXPECT_EQ(items(child<QComboBox>(list)), names) << list.toStdString();
    EXPECT_EQ(child<QComboBox>(QStringLiteral("cboOper"))->count(), 0);
    EXPECT_TRUE(child<QLineEdit>(QStringLiteral("txtFilterValue"))->text().isEmpty());
    // The first header click on the new result sorts ascending.
    clickHeader(0);
    EXPECT_EQ(window->headerDirection(), QStringLiteral("Asc"));

    // A select the store refuses is reported and leaves no old rows behind.
    open(QStringLiteral("select * from NoSuchResult"));
    EXPECT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(window->shownResult().rows.size(), 0);
    EXPECT_EQ(child<QComboBox>(QStringLiteral("Combosort1"))->count(), 0);
}

TEST_F(ResultViewerTest, FilterRowsOperatorsAndMessages)
{
    open();
    press(QStringLiteral("cmdFilterShow0"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Please Select Filter "));
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Warning);

    auto* columns = child<QComboBox>(QStringLiteral("cboFilterCols"));
    auto* ops = child<QComboBox>(QStringLiteral("cboOper"));
    auto* joiner = child<QComboBox>(QStringLiteral("CmbOpt"));
    columns->setCurrentIndex(1);  // NSETrdQty, an integer column
    EXPECT_EQ(items(ops), QStringList({QStringLiteral("="), QStringLiteral(">"), QStringLiteral("<"),
                                       QStringLiteral(">="), QStringLiteral("<=")}));
    EXPECT_EQ(items(joiner), QStringList({QStringLiteral("AND"), QStringLiteral("OR")}));
    ops->setCurrentIndex(3);
    joiner->setCurrentIndex(1);
    press(QStringLiteral("cmdFilterShow2"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Please Enter Value "));

    // Picking a column again resets the operator and the joiner.
    columns->setCurrentIndex(0);
    emit columns->activated(0);
    EXPECT_EQ(items(ops), QStringList({QStringLiteral("="), QStringLiteral("Like")}));
    EXPECT_EQ(ops->currentText(), QStringLiteral("="));
    EXPECT_EQ(joiner->currentText(), QStringLiteral("AND"));

    setFilterRow(0, QStringLiteral("stock"), QStringLiteral("="), QStringLiteral("zen"));
    setFilterRow(1, QStringLiteral("TransDate"), QStringLiteral("="), QStringLiteral("not a day"));
    press(QStringLiteral("cmdFilterShow0"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("INVALID DATE"));
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::None);
    EXPECT_EQ(window->shownResult().rows.size(), 5);
    EXPECT_EQ(prompt.messages.size(), 3);
}

TEST_F(ResultViewerTest, ShowShowInResultsAndShowAll)
{
    open();
    clickHeader(0);
    setFilterRow(0, QStringLiteral("NSETrdQty"), QStringLiteral(">="), QStringLiteral("1000"), QStringLiteral("OR"));
    setFilterRow(1, QStringLiteral("TransDate"), QStringLiteral("="), QStringLiteral("06/Jan/2026"));
    press(QStringLiteral("cmdFilterShow0"));
    EXPECT_EQ(window->shownResult().filterText, QStringLiteral("[NSETrdQty] >= 1000 OR ([TransDate] = #06/Jan/2026#)"));
    EXPECT_EQ(shownColumn(0), QStringList({QStringLiteral("abacus"), QStringLiteral("ABC Ltd"),
                                           QStringLiteral("Bharat"), QStringLiteral("Zen")}));

    // Narrowing by the first row, now "stock Like 'b'", keeps only Bharat.
    setFilterRow(0, QStringLiteral("stock"), QStringLiteral("Like"), QStringLiteral("b"));
    press(QStringLiteral("cmdFilterShow2"));
    EXPECT_EQ(shownColumn(0), QStringList({QStringLiteral("Bharat")}));
    EXPECT_EQ(window->shownResult().filterText,
              QStringLiteral("([NSETrdQty] >= 1000 OR ([TransDate] = #06/Jan/2026#)) And [stock] Like 'b%'"));

    // "Show All" needs no complete first row.
    child<QLineEdit>(QStringLiteral("txtFilterValue"))->clear();
    press(QStringLiteral("cmdFilterShow1"));
    EXPECT_TRUE(prompt.messages.isEmpty());
    const viewer::ShownResult shown = window->shownResult();
    EXPECT_EQ(shown.rows.size(), 5);
    EXPECT_TRUE(shown.filterText.isEmpty());
    EXPECT_EQ(shownColumn(0).first(), QStringLiteral("Bharat"));
}

TEST_F(ResultViewerTest, PanelsToggle)
{
    open();
    const QList<std::pair<QString, QString>> toggles = {{QStringLiteral("cmdsort"), QStringLiteral("Frame1")},
                                                        {QStringLiteral("Command2"), QStringLiteral("Frame2")},
                                                        {QStringLiteral("CmdFilter"), QStringLiteral("Frame3")}};
    for (const auto& [button, frame] : toggles) {
        auto* panel = child<QFrame>(frame);
        EXPECT_TRUE(panel->isHidden());
        press(button);
        EXPECT_FALSE(panel->isHidden());
        press(button);
        EXPECT_TRUE(panel->isHidden());
    }
    EXPECT_EQ(child<QPushButton>(QStringLiteral("cmdrefresh"))->text(), QStringLiteral("&Refresh Query"));
    EXPECT_TRUE(prompt.messages.isEmpty());
}
