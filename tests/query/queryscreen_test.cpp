#include "query/catalogue.h"
#include "query/queryscreen.h"
#include "shell/sharedstate.h"
#include "store/datetext.h"
#include "store/transaction.h"
#include "support/fakeservices.h"
#include "support/scriptedprompt.h"
#include "viewer/resultviewer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace query;

namespace {

constexpr int kDayCount = 300;

// Weekdays back from Friday 27 Dec 2024, newest first.
QList<QDate> tradingDays()
{
    QList<QDate> days;
    for (QDate day(2024, 12, 27); days.size() < kDayCount; day = day.addDays(-1))
        if (day.dayOfWeek() <= 5)
            days.append(day);
    return days;
}

const QList<QDate> kDays = tradingDays();

// The main window's services with a "Query" menu item whose availability
// the test watches.
class QueryServices : public FakeServices {
public:
    QueryServices()
    {
        QObject::connect(&queryItem, &QAction::changed, [this] { queryItemStates.append(queryItem.isEnabled()); });
    }
    QAction* menuAction(const QString& menuItem) override
    {
        return menuItem == QLatin1String("Query") ? &queryItem : nullptr;
    }

    QAction queryItem;
    QList<bool> queryItemStates;
};

class QueryScreenTest : public ::testing::Test {
protected:
    // Five scrips traded every day; scrip n trades 1000 n on NSE and 500 n on
    // BSE. Groups: " All Stocks" (all), "Banks" (1 and 3), "Derivatives F &
    // O" (2 and 5).
    void fillStore(bool withDays = true, bool withGroups = true)
    {
        store::Database& db = services.database();
        store::Transaction transaction(db);
        db.exec(QStringLiteral("INSERT INTO ScripMaster VALUES (1, 'Alpha Ltd', 'ALPHA', '500001'),"
                               " (2, 'Beta Ltd', 'BETA', '500002'), (3, 'Gamma Ltd', 'GAMMA', '500003'),"
                               " (4, 'alphabet Corp', 'ALPHB', '500004'), (5, 'Delta Ltd', 'DELTA', '500005')"));
        if (withDays) {
            store::Statement insert(
                db, QStringLiteral("INSERT INTO mto SELECT ?, srno, nsescrip, bsescrip, 1000.0 * srno, 500.0 * srno,"
                                   " 400.0 * srno, 200.0 * srno, 40, 40, 100 + srno, 100 + srno FROM ScripMaster"));
            for (const QDate& day : kDays)
                insert.run({day});
        }
        if (withGroups) {
            db.execScript(QStringLiteral(
                "INSERT INTO GroupMaster VALUES ('ALL', ' All Stocks'), ('BANK', 'Banks'), ('Derivative', 'Derivatives F & O');"
                "INSERT INTO LinkDetails SELECT 'ALL', srno FROM ScripMaster;"
                "INSERT INTO LinkDetails VALUES ('BANK', 1), ('BANK', 3), ('Derivative', 2), ('Derivative', 5)"));
        }
        transaction.commit();
    }

    void open(bool withDays = true, bool withGroups = true)
    {
        fillStore(withDays, withGroups);
        screen = std::make_unique<QueryScreen>(services);
        screen->setAttribute(Qt::WA_DeleteOnClose, false);
    }

    void TearDown() override
    {
        delete viewer::openResultViewer();
        screen.reset();
    }

    template <typename T>
    T* child(const QString& name)
    {
        T* found = screen->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    QListWidget* queryList() { return child<QListWidget>(QStringLiteral("listquery")); }
    QListWidget* scripList() { return child<QListWidget>(QStringLiteral("cboscript")); }
    QComboBox* combo(const char* name) { return child<QComboBox>(QString::fromLatin1(name)); }
    QLabel* label(const char* name) { return child<QLabel>(QString::fromLatin1(name)); }
    QLineEdit* box(const char* name) { return child<QLineEdit>(QString::fromLatin1(name)); }
    QLineEdit* rangeBox(int index) { return child<QLineEdit>(QStringLiteral("Text2_%1").arg(index)); }
    QCheckBox* check(int number) { return child<QCheckBox>(QStringLiteral("Check%1").arg(number)); }
    QRadioButton* option(const char* name) { return child<QRadioButton>(QString::fromLatin1(name)); }

    void chooseGroup(int number) { child<QRadioButton>(QStringLiteral("Option%1").arg(number))->click(); }
    void chooseQuery(int group, const QString& label)
    {
        chooseGroup(group);
        const int row = labelPosition(group, label);
        ASSERT_GE(row, 0) << label.toStdString();
        queryList()->setCurrentRow(row);
    }
    void press(const char* button) { child<QPushButton>(QString::fromLatin1(button))->click(); }

    static QStringList texts(QListWidget* list)
    {
        QStringList items;
        for (int row = 0; row < list->count(); ++row)
            items.append(list->item(row)->text());
        return items;
    }
    void selectScrips(const QStringList& companies)
    {
        for (int row = 0; row < scripList()->count(); ++row)
            scripList()->item(row)->setSelected(companies.contains(scripList()->item(row)->text()));
    }
    // A number box as shown: its caption and text, or "hidden".
    QString numberBox(const char* box)
    {
        QLineEdit* field = this->box(box);
        if (field->isHidden())
            return QStringLiteral("hidden");
        return label((QByteArray("lbl") + box).constData())->text() + " = " + field->text();
    }
    // The range filters Check1 .. Check5 ("x" ticked, "o" free, "-"
    // unavailable), then whether each of the ten bound boxes takes input.
    QString rangeControls()
    {
        QString shown;
        for (int filter = 1; filter <= 5; ++filter)
            shown += !check(filter)->isEnabled() ? '-' : check(filter)->isChecked() ? 'x' : 'o';
        shown += ' ';
        for (int index = 0; index < 10; ++index)
            shown += rangeBox(index)->isEnabled() ? '+' : '-';
        return shown;
    }
    // The facts handed to a report or the viewer, as one line.
    static QString facts(const reports::ReportFacts& f)
    {
        return QStringList{f.queryLabel, QString::number(static_cast<int>(f.queryGroup)), exchangeName(f.exchange),
                           f.groupName, datetext::toDisplay(f.firstDate), datetext::toDisplay(f.secondDate)}
            .join(" | ");
    }
    // Moves the focus from `from` to `to`, as a Tab or a click would.
    static void leave(QWidget* from, QWidget* to)
    {
        from->setFocus(Qt::OtherFocusReason);
        to->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }

    QueryServices services;
    ScriptedPrompt prompt;
    std::unique_ptr<QueryScreen> screen;
};

}  // namespace

TEST_F(QueryScreenTest, LoadingFillsTheListsAndPausesTheMenuItem)
{
    open();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Query"));
    EXPECT_EQ(services.queryItemStates, (QList<bool>{false, true}));
    EXPECT_TRUE(child<QGroupBox>(QStringLiteral("FramePBar"))->isHidden());

    // Group 1 and its first query.
    EXPECT_TRUE(option("Option1")->isChecked());
    EXPECT_EQ(texts(queryList()), queryGroup(1).labels);
    EXPECT_EQ(queryList()->currentRow(), 0);

    // Both date boxes list every trading date, newest first, and show the newest.
    for (const char* name : {"cbofirstdate", "cboseconddate"}) {
        ASSERT_EQ(combo(name)->count(), kDayCount) << name;
        EXPECT_EQ(combo(name)->itemText(0), datetext::toDisplay(kDays.first())) << name;
        EXPECT_EQ(combo(name)->itemText(kDayCount - 1), datetext::toDisplay(kDays.last())) << name;
        EXPECT_EQ(combo(name)->currentIndex(), 0) << name;
    }
    EXPECT_FALSE(combo("cboseconddate")->isHidden());
    EXPECT_EQ(numberBox("diffper"), "hidden");
    EXPECT_TRUE(label("lbldiffper")->isHidden());

    // The first group is chosen: its scrips, without "ALL".
    QComboBox* groups = combo("cboGroup");
    ASSERT_EQ(groups->count(), 3);
    EXPECT_EQ((QStringList{groups->itemText(0), groups->itemText(1), groups->itemText(2)}),
              (QStringList{" All Stocks", "Banks", "Derivatives F & O"}));
    EXPECT_EQ(groups->currentText(), QStringLiteral(" All Stocks"));
    EXPECT_EQ(texts(scripList()), (QStringList{"Alpha Ltd", "alphabet Corp", "Beta Ltd", "Delta Ltd", "Gamma Ltd"}));
    EXPECT_EQ(scripList()->toolTip(), QStringLiteral("Select Multiple Script by click"));

    // Range filters available, their bounds only once ticked; "Trades"
    // never, since the market data keeps no trade counts.
    EXPECT_EQ(rangeControls(), "oooo- ----------");
    EXPECT_EQ(check(5)->toolTip(), QStringLiteral("Not available: the market data keeps no number of trades."));
    EXPECT_EQ(child<QPushButton>(QStringLiteral("cmdquery"))->text(), QStringLiteral("&View Report "));
    EXPECT_EQ(child<QPushButton>(QStringLiteral("cmdDisplay"))->text(), QStringLiteral("&Edit Report"));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(QueryScreenTest, WithoutGroupsTheScripListKeepsAllAndEveryScrip)
{
    open(true, false);
    EXPECT_EQ(texts(scripList()), (QStringList{"ALL", "Alpha Ltd", "alphabet Corp", "Beta Ltd", "Delta Ltd", "Gamma Ltd"}));
    // "ALL" chosen with a scrip still means that scrip alone.
    selectScrips({"ALL", "Beta Ltd"});
    EXPECT_EQ(screen->readInputs().scripCodes, (QList<qint64>{2}));
    EXPECT_TRUE(screen->readInputs().groupCode.isEmpty());
}

TEST_F(QueryScreenTest, EachGroupFillsTheListInCatalogueOrderAndSwitchesTheControls)
{
    open();
    for (const QueryGroup& group : queryGroups()) {
        chooseGroup(group.number);
        const std::string where = "group " + std::to_string(group.number);
        EXPECT_EQ(texts(queryList()), group.labels) << where;
        EXPECT_EQ(queryList()->currentRow(), 0) << where;
        EXPECT_EQ(queryList()->palette().color(QPalette::Base), group.backColour) << where;
        EXPECT_EQ(scripList()->isEnabled(), group.number == 1 || group.number == 7 || group.number == 8) << where;
    }

    // Combine: group 9 moves a chosen Combine to NSE and takes it away until
    // a group that offers it.
    chooseGroup(1);
    option("OptCombine")->click();
    chooseGroup(9);
    EXPECT_TRUE(option("OptNSE")->isChecked());
    EXPECT_FALSE(option("OptCombine")->isEnabled());
    chooseGroup(8);
    EXPECT_FALSE(option("OptCombine")->isEnabled());
    chooseGroup(2);
    EXPECT_TRUE(option("OptCombine")->isEnabled());

    // Price queries take the scrips and range filters away; group 8 gives the
    // scrips back but leaves the filters as they were.
    check(1)->click();
    chooseGroup(5);
    EXPECT_FALSE(scripList()->isEnabled());
    EXPECT_EQ(rangeControls(), "----- ----------");
    chooseGroup(8);
    EXPECT_TRUE(scripList()->isEnabled());
    EXPECT_EQ(rangeControls(), "----- ----------");
    chooseGroup(3);
    EXPECT_EQ(rangeControls(), "xooo- ++--------");
}

TEST_F(QueryScreenTest, ChoosingAQuerySetsUpItsFields)
{
    open();
    QComboBox* secondDate = combo("cboseconddate");
    chooseQuery(8, QStringLiteral("Weekly High"));
    EXPECT_FALSE(secondDate->isHidden());
    EXPECT_EQ(secondDate->currentData().toDate(), kDays.at(6));
    EXPECT_EQ((QStringList{numberBox("diffper"), numberBox("diffper1")}), (QStringList{"No Of Days = 7", "hidden"}));

    chooseQuery(7, QStringLiteral("Pellam Query"));
    EXPECT_TRUE(secondDate->isHidden());
    EXPECT_TRUE(label("lblseconddate")->isHidden());
    EXPECT_EQ((QStringList{numberBox("diffper"), numberBox("diffper1")}), (QStringList{"DMA - 1 = 12", "DMA - 2 = 48"}));
    EXPECT_TRUE(option("OptCombine")->isChecked());
    EXPECT_EQ(combo("cboGroup")->currentText(), QStringLiteral("Derivatives F & O"));
    EXPECT_EQ(texts(scripList()), (QStringList{"Beta Ltd", "Delta Ltd"}));
    EXPECT_EQ(screen->readInputs().groupCode, QStringLiteral("Derivative"));

    chooseGroup(1);
    option("OptNSE")->click();
    chooseQuery(6, QStringLiteral("Belmora - Price Query"));
    EXPECT_EQ(rangeControls(), "xxox- ++++--++--");
    const QStringList bounds{rangeBox(0)->text(), rangeBox(1)->text(), rangeBox(2)->text(), rangeBox(6)->text()};
    EXPECT_EQ(bounds, (QStringList{"50", "9999999999", "25000", "30"}));
    EXPECT_TRUE(option("OptCombine")->isChecked());
    EXPECT_EQ(numberBox("diffper"), "No Of Days = 2");

    // An "over previous day" abnormal change takes the range filters away,
    // and another query of the group leaves them so.
    chooseQuery(2, QStringLiteral("Abnormal Change in delivery qty over previous day"));
    EXPECT_EQ(rangeControls(), "----- ----------");
    queryList()->setCurrentRow(0);
    EXPECT_EQ(rangeControls(), "----- ----------");
}

TEST_F(QueryScreenTest, TickingARangeFilterOpensItsBoundsAndProposesNoUpperLimit)
{
    open();
    check(3)->click();
    EXPECT_EQ(rangeControls(), "ooxo- ----++----");
    EXPECT_EQ(rangeBox(5)->text(), QStringLiteral("9999999999"));
    rangeBox(4)->setText(QStringLiteral("100"));
    rangeBox(5)->setText(QStringLiteral("500"));
    check(3)->click();
    EXPECT_EQ(rangeControls(), "oooo- ----------");
    EXPECT_EQ(rangeBox(4)->text(), QStringLiteral("100"));
    EXPECT_EQ(rangeBox(5)->text(), QStringLiteral("500"));
    EXPECT_FALSE(screen->readInputs().range(RangeMeasure::DeliveryQty).ticked);
}

TEST_F(QueryScreenTest, NonNumericEntriesAreRefused)
{
    open();
    screen->show();
    QApplication::setActiveWindow(screen.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(screen.get()));
    check(1)->click();
    QLineEdit* low = rangeBox(0);
    QLineEdit* high = rangeBox(1);

    // A range bound that is no number keeps the focus, without a message
    // (an empty text is no number) ...
    for (const char* typed : {"12a", "abc", "", " "}) {
        low->setText(QString::fromLatin1(typed));
        leave(low, high);
        EXPECT_EQ(QApplication::focusWidget(), low) << typed;
        EXPECT_TRUE(prompt.messages.isEmpty()) << typed;
        // ... and no run starts with it.
        press("cmdDisplay");
        EXPECT_EQ(viewer::openResultViewer(), nullptr) << typed;
        EXPECT_EQ(QApplication::focusWidget(), low) << typed;
    }

    // A number lets the focus go, and the filter can be unticked.
    low->setText(QStringLiteral("0"));
    leave(low, high);
    EXPECT_EQ(QApplication::focusWidget(), high);
    check(1)->click();
    EXPECT_FALSE(low->isEnabled());

    // The number box says why.
    chooseQuery(8, QStringLiteral("Weekly High"));
    QLineEdit* days = box("diffper");
    days->setText(QStringLiteral("abc"));
    leave(days, box("txtFind"));
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("Enter Nos. Only")});
    EXPECT_EQ(QApplication::focusWidget(), days);
    // Days typed move the second date to the start of a window that long.
    days->setText(QStringLiteral("10"));
    leave(days, box("txtFind"));
    EXPECT_EQ(combo("cboseconddate")->currentData().toDate(), kDays.at(9));
    EXPECT_EQ(prompt.messages.size(), 1);
}

// The screen as the user sees it: each query group's option button painted
// in the group's colour; a click on a range filter (its square or its
// caption) while its bound box is refused leaves the tick and the focus
// where they were; the downward volume breakout heads its filler with a
// plain blank.
TEST_F(QueryScreenTest, GroupColoursRefusedRangesAndTheDownwardBreakoutsFiller)
{
    open();
    screen->show();
    QApplication::setActiveWindow(screen.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(screen.get()));

    const QImage shown = screen->grab().toImage();
    for (const QueryGroup& group : queryGroups()) {
        QRadioButton* button = child<QRadioButton>(QStringLiteral("Option%1").arg(group.number));
        // Right of the caption, where only the button's back shows.
        const QPoint back = button->mapTo(screen.get(), QPoint(button->width() - 3, button->height() / 2));
        EXPECT_EQ(shown.pixelColor(back).name(), group.backColour.name()) << "group " << group.number;
    }

    QCheckBox* rate = check(1);
    QLineEdit* low = rangeBox(0);
    QStyleOptionButton look;
    look.initFrom(rate);
    look.text = rate->text();
    const QPoint square = rate->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &look, rate).center();
    const QRect contents = rate->style()->subElementRect(QStyle::SE_CheckBoxContents, &look, rate);
    const QPoint caption(contents.left() + rate->fontMetrics().horizontalAdvance(rate->text()) / 2, contents.center().y());
    for (const auto& [where, at] : {std::pair{"square", square}, std::pair{"caption", caption}}) {
        rate->setChecked(true);
        low->setText(QStringLiteral("abc"));
        low->setFocus(Qt::OtherFocusReason);
        QTest::mouseClick(rate, Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
        EXPECT_TRUE(rate->isChecked()) << where;
        EXPECT_TRUE(low->isEnabled()) << where;
        EXPECT_EQ(QApplication::focusWidget(), low) << where;
    }
    // With a number in the box the click clears the filter.
    low->setText(QStringLiteral("5"));
    QTest::mouseClick(rate, Qt::LeftButton, {}, caption);
    EXPECT_FALSE(rate->isChecked());

    chooseQuery(8, QStringLiteral("Volume breakout with downward price"));
    press("cmdDisplay");
    viewer::ResultViewerWindow* window = viewer::openResultViewer();
    ASSERT_NE(window, nullptr);
    QStringList headings;
    for (const store::Column& column : window->shownResult().rows.columns)
        headings.append(column.name);
    EXPECT_EQ(headings,
              (QStringList{"Stock", "Todays Vol", "10 Days Avg Vol", "%ChgInVol", "Todays Price", "YDay Price",
                           "%ChgInPrice", " "}));
}

TEST_F(QueryScreenTest, TheInputsAreWhatTheUserSet)
{
    open();
    chooseQuery(1, QStringLiteral("Average % Delivery Quantity [Between Dates]"));
    combo("cbofirstdate")->setCurrentIndex(1);
    combo("cboseconddate")->setCurrentIndex(5);
    option("OptBSE")->click();
    combo("cboGroup")->setCurrentIndex(combo("cboGroup")->findText(QStringLiteral("Banks")));
    ASSERT_EQ(texts(scripList()), (QStringList{"Alpha Ltd", "Gamma Ltd"}));
    selectScrips({"Alpha Ltd", "Gamma Ltd"});
    scripList()->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    check(1)->click();
    rangeBox(0)->setText(QStringLiteral("10"));
    rangeBox(1)->setText(QStringLiteral("20"));
    check(4)->click();
    rangeBox(6)->setText(QStringLiteral("50"));
    rangeBox(7)->clear();

    RunInputs inputs = screen->readInputs();
    EXPECT_EQ(inputs.group, 1);
    EXPECT_EQ(inputs.label, QStringLiteral("Average % Delivery Quantity [Between Dates]"));
    EXPECT_EQ(inputs.firstDate, kDays.at(1));
    EXPECT_EQ(inputs.secondDate, kDays.at(5));
    EXPECT_TRUE(inputs.numberText.isEmpty());
    EXPECT_EQ(inputs.exchange, Exchange::Bse);
    EXPECT_EQ(inputs.groupCode, QStringLiteral("BANK"));
    EXPECT_EQ(inputs.groupName, QStringLiteral("Banks"));
    EXPECT_EQ(inputs.scripCodes, (QList<qint64>{1, 3}));
    EXPECT_EQ(inputs.scripText, QStringLiteral("Gamma Ltd"));
    const RangeBox& price = inputs.range(RangeMeasure::Price);
    EXPECT_EQ((std::tuple{price.ticked, price.low, price.high}), (std::tuple{true, 10.0, 20.0}));
    const RangeBox& percent = inputs.range(RangeMeasure::DeliveryPercent);
    EXPECT_EQ((std::tuple{percent.ticked, percent.low, percent.high}), (std::tuple{true, 50.0, 9999999999.0}));
    EXPECT_FALSE(inputs.range(RangeMeasure::TradedQty).ticked);

    // Where the scrip list and the range filters are unavailable, what they
    // still show does not apply.
    chooseQuery(2, QStringLiteral("Abnormal Change in Trading qty over previous day"));
    inputs = screen->readInputs();
    EXPECT_EQ(inputs.group, 2);
    EXPECT_EQ(inputs.numberText, QStringLiteral("100"));
    EXPECT_TRUE(inputs.scripCodes.isEmpty());
    EXPECT_FALSE(inputs.range(RangeMeasure::Price).ticked);
    EXPECT_FALSE(inputs.range(RangeMeasure::DeliveryPercent).ticked);
}

TEST_F(QueryScreenTest, EditReportHandsTheViewerTheResultAndItsFacts)
{
    open();
    shell::sharedState() = shell::SharedState();
    chooseQuery(1, QStringLiteral("Average Traded Quantity [Between Dates]"));
    combo("cboseconddate")->setCurrentIndex(4);
    selectScrips({"Gamma Ltd", "Alpha Ltd"});
    press("cmdDisplay");

    viewer::ResultViewerWindow* window = viewer::openResultViewer();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_TRUE(services.children.contains(window));
    const store::Rows rows = window->shownResult().rows;
    ASSERT_EQ(rows.size(), 2);
    QHash<QString, double> averages;
    for (int row = 0; row < rows.size(); ++row)
        averages.insert(rows.value(row, QStringLiteral("Stock")).toString(),
                        rows.value(row, QStringLiteral("AvgTradingQty")).toDouble());
    EXPECT_EQ(averages, (QHash<QString, double>{{"Alpha Ltd", 1000}, {"Gamma Ltd", 3000}}));

    EXPECT_EQ(facts(window->reportFacts()),
              "Average Traded Quantity [Between Dates] | 1 | NSE |  All Stocks | 27/Dec/2024 | 23/Dec/2024");
    EXPECT_FALSE(shell::sharedState().lastQuerySql.isEmpty());
    // The viewer's refresh takes the facts of the run that remade the result.
    EXPECT_EQ(facts(shell::sharedState().lastQueryFacts.value_or(reports::ReportFacts())), facts(window->reportFacts()));

    // The next run reloads the same viewer.
    option("OptBSE")->click();
    selectScrips({"Delta Ltd"});
    press("cmdDisplay");
    EXPECT_EQ(viewer::openResultViewer(), window);
    ASSERT_EQ(window->shownResult().rows.size(), 1);
    EXPECT_EQ(window->shownResult().rows.value(0, QStringLiteral("AvgTradingQty")).toDouble(), 2500);
    EXPECT_EQ(window->reportFacts().exchange, reports::Exchange::Bse);
}

TEST_F(QueryScreenTest, ViewReportHandsTheResultToTheReportBinding)
{
    open();
    QList<std::pair<reports::ReportFacts, store::Rows>> handed;
    screen->setReportHandOver([&handed](const reports::ReportFacts& facts, const store::Rows& rows) {
        handed.append({facts, rows});
    });
    chooseQuery(1, QStringLiteral("Combined Report"));
    option("OptCombine")->click();
    combo("cboseconddate")->setCurrentIndex(9);
    press("cmdquery");

    ASSERT_EQ(handed.size(), 1);
    EXPECT_EQ(facts(handed.first().first), "Combined Report | 1 | NSE & BSE |  All Stocks | 27/Dec/2024 | 16/Dec/2024");
    const store::Rows& rows = handed.first().second;
    EXPECT_EQ(rows.size(), 5);
    EXPECT_EQ(rows.value(0, QStringLiteral("AvgTradingQty")).toDouble(), 1500);
    EXPECT_EQ(viewer::openResultViewer(), nullptr);

    // The research group's report heading takes both number boxes with their captions.
    chooseQuery(9, QStringLiteral("Rate"));
    box("diffper")->setText(QStringLiteral("4"));
    box("diffper1")->setText(QStringLiteral("5"));
    press("cmdquery");
    ASSERT_EQ(handed.size(), 2);
    const reports::ReportFacts& research = handed.last().first;
    EXPECT_EQ((QStringList{research.firstParameter.caption, research.firstParameter.text, research.secondParameter.caption,
                           research.secondParameter.text}),
              (QStringList{"Rising For", "4", "Falling For", "5"}));

    // A double click on a query does what the button does.
    chooseQuery(4, QStringLiteral("Top N Traded Quantity"));
    emit queryList()->itemDoubleClicked(queryList()->currentItem());
    ASSERT_EQ(handed.size(), 3);
    EXPECT_EQ(handed.last().first.queryLabel, QStringLiteral("Top N Traded Quantity"));
    EXPECT_EQ(handed.last().second.size(), 3);
}

TEST_F(QueryScreenTest, AQueryThatCannotRunShowsTheEnginesMessageAndNoResult)
{
    // The open-interest queries cannot run without their options database,
    // which this store's folder does not hold.
    open();
    bool handed = false;
    screen->setReportHandOver([&handed](const reports::ReportFacts&, const store::Rows&) { handed = true; });
    chooseQuery(7, QStringLiteral("Ivro Query"));
    press("cmdDisplay");
    press("cmdquery");
    const QStringList texts = prompt.texts();
    ASSERT_EQ(texts.size(), 2);
    for (const QString& text : texts)
        EXPECT_TRUE(text.startsWith(QStringLiteral("The options database \"%1\"").arg(services.optionPath())))
            << text.toStdString();
    EXPECT_EQ(viewer::openResultViewer(), nullptr);
    EXPECT_FALSE(handed);
}

// Notes what a widget looked like each time it was painted: for a text box
// its text, for anything else its name.
class PaintLog : public QObject {
public:
    explicit PaintLog(QWidget* watched) { watched->installEventFilter(this); }
    QStringList painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const auto* box = qobject_cast<QLineEdit*>(watched);
            painted.append(box ? box->text() : watched->objectName());
        }
        return false;
    }
};

TEST_F(QueryScreenTest, ARunDrawsItsProgressWhileItLasts)
{
    open();
    screen->setReportHandOver([](const reports::ReportFacts&, const store::Rows&) {});
    screen->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen.get()));
    auto* text = child<QLineEdit>(QStringLiteral("Text1"));
    auto* bar = child<QProgressBar>(QStringLiteral("RunProgress"));
    const PaintLog textPaints(text), barPaints(bar);

    // A run without progress of its own still shows the bar as it starts.
    chooseQuery(1, QStringLiteral("Average Traded Quantity [Between Dates]"));
    press("cmdquery");
    EXPECT_FALSE(barPaints.painted.isEmpty());
    EXPECT_TRUE(textPaints.painted.contains(QString()));

    // A scan shows its first scrip's line: the text is drawn again as it changes.
    chooseQuery(3, QStringLiteral("Rising Delivery Quantity for N days"));
    box("diffper")->setText(QStringLiteral("3"));
    press("cmdquery");
    EXPECT_TRUE(textPaints.painted.contains(QStringLiteral("Processing for Stock Alpha Ltd")))
        << textPaints.painted.join(" | ").toStdString();
    EXPECT_TRUE(text->isHidden());
    EXPECT_TRUE(bar->isHidden());
}

TEST_F(QueryScreenTest, FindPicksAScripByNameOrCode)
{
    open();
    auto current = [this] { return scripList()->currentItem() ? scripList()->currentItem()->text() : QString(); };
    // Typed, and the scrip then current; nothing found changes nothing.
    const std::pair<const char*, const char*> finds[] = {{"ALPHAB", "alphabet Corp"}, {"delta", "Delta Ltd"},
                                                         {"500002", "Beta Ltd"},       {"gamma", "Gamma Ltd"},
                                                         {"ALPHB", "alphabet Corp"},   {"zzz", "alphabet Corp"}};
    for (const auto& [typed, found] : finds) {
        box("txtFind")->setText(QString::fromLatin1(typed));
        press("cmdFind");
        EXPECT_EQ(current(), QString::fromLatin1(found)) << typed;
        EXPECT_TRUE(scripList()->currentItem()->isSelected()) << typed;
    }
    EXPECT_EQ(screen->readInputs().scripCodes, (QList<qint64>{4, 2, 5, 3}));
    // An unavailable list is not searched.
    chooseGroup(2);
    box("txtFind")->setText(QStringLiteral("Beta"));
    press("cmdFind");
    EXPECT_EQ(current(), QStringLiteral("alphabet Corp"));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(QueryScreenTest, DetailsShowTheScripsCodesAndGroupsSortedByHeaderClicks)
{
    open();
    auto* details = child<QGroupBox>(QStringLiteral("FrameGroup"));
    EXPECT_TRUE(details->isHidden());
    QListWidgetItem* gamma = scripList()->findItems(QStringLiteral("Gamma Ltd"), Qt::MatchExactly).first();
    scripList()->setCurrentItem(gamma, QItemSelectionModel::NoUpdate);
    emit scripList()->itemDoubleClicked(gamma);
    ASSERT_FALSE(details->isHidden());
    EXPECT_EQ(details->title(), QStringLiteral("Gamma Ltd"));
    EXPECT_EQ(box("TxtNseCode")->text(), QStringLiteral("GAMMA"));
    EXPECT_EQ(box("TxtBseCode")->text(), QStringLiteral("500003"));
    EXPECT_TRUE(box("TxtNseCode")->isReadOnly());

    auto* grid = child<QTableView>(QStringLiteral("DataGrid1"));
    auto groupsShown = [grid] {
        QStringList names;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            names.append(grid->model()->index(row, 0).data().toString());
        return names;
    };
    EXPECT_EQ(groupsShown().size(), 2);
    emit grid->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(groupsShown(), (QStringList{" All Stocks", "Banks"}));
    emit grid->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(groupsShown(), (QStringList{"Banks", " All Stocks"}));

    // While shown, the details follow the scrip list.
    scripList()->setCurrentRow(2, QItemSelectionModel::NoUpdate);
    EXPECT_EQ(details->title(), QStringLiteral("Beta Ltd"));
    QStringList betaGroups = groupsShown();
    betaGroups.sort();
    EXPECT_EQ(betaGroups, (QStringList{" All Stocks", "Derivatives F & O"}));
    emit scripList()->itemDoubleClicked(scripList()->item(2));
    EXPECT_TRUE(details->isHidden());
}

TEST_F(QueryScreenTest, AnUnreadableListSaysWhyInsteadOfShowingNothing)
{
    fillStore();
    services.store.damage(QStringLiteral("mto_day_scrip"));
    screen = std::make_unique<QueryScreen>(services);
    EXPECT_EQ(combo("cbofirstdate")->count(), 0);
    EXPECT_EQ(prompt.texts(),
              QStringList{QStringLiteral("The trading dates could not be read: The database \"%1\" is damaged "
                                         "(database disk image is malformed).")
                              .arg(services.store.path())});
    EXPECT_EQ(scripList()->count(), 5);  // the scrips are read all the same
}
