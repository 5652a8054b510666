// Times the result viewer on a generated result of 10,000 rows and 12
// columns: reading the rows in, a header-click sort, a filter and a refresh,
// both on the model alone and through the window (offscreen), and laying
// the result out on the pages of its printed layout.
#include "reports/reportbinding.h"
#include "reports/reportengine.h"
#include "store/database.h"
#include "store/transaction.h"
#include "ui/prompt.h"
#include "viewer/resultfilter.h"
#include "viewer/resultmodel.h"
#include "viewer/resultviewer.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kRows = 10000;
constexpr int kRepeats = 5;

void makeResult(store::Database& db)
{
    db.exec(QStringLiteral(
        "CREATE TABLE QueryResult (stock TEXT COLLATE NOCASE, TransDate DATE, scriptcode INTEGER, NSETrdQty REAL, "
        "BSETrdQty REAL, NSEDelyQty REAL, BSEDelyQty REAL, NSEPerc REAL, BSEPerc REAL, NSEClPrice REAL, "
        "BSEClPrice REAL, \"\u00A0\" TEXT)"));
    QRandomGenerator random(42);
    const QDate first(2025, 1, 1);
    store::Transaction transaction(db);
    store::Statement insert(db, QStringLiteral("INSERT INTO QueryResult VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"));
    for (int i = 0; i < kRows; ++i) {
        QString name;
        for (int c = 0; c < 8; ++c)
            name += QChar('A' + random.bounded(26));
        const double nseQty = random.bounded(1000000);
        const double bseQty = random.bounded(500000);
        insert.run({name, first.addDays(random.bounded(365)), i + 1, nseQty, bseQty, nseQty * random.generateDouble(),
                    bseQty * random.generateDouble(), random.bounded(10000) / 100.0, random.bounded(10000) / 100.0,
                    random.bounded(500000) / 100.0, random.bounded(500000) / 100.0, QStringLiteral(" ")});
    }
    transaction.commit();
}

// The fastest of a few runs of `work`, in milliseconds; `prepare` runs
// untimed before each.
double best(const std::function<void()>& work, const std::function<void()>& prepare = {})
{
    double fastest = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
    }
    return fastest;
}

// The last shown row, as a view asks for it after a change.
void touch(const QAbstractItemModel& model)
{
    if (model.rowCount() > 0)
        (void)model.index(model.rowCount() - 1, 0).data();
}

void report(const char* what, double ms, double limit)
{
    std::printf("%-52s %8.1f ms  (limit %.0f ms)%s\n", what, ms, limit, ms <= limit ? "" : "  OVER");
}

// Answers every message with OK, so that a message would not stop the bench.
class SilentPrompt : public ui::Prompt {
public:
    ui::Answer show(const ui::Message& message) override
    {
        std::printf("message: %s\n", qPrintable(message.text));
        return ui::Answer::Ok;
    }
    QString openFile(const ui::FileRequest&) override { return {}; }
    QString saveFile(const ui::FileRequest&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QColor> chooseColour(const QColor&, const QString&) override { return {}; }
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentPrompt prompt;
    ui::setPrompt(&prompt);

    QTemporaryDir folder;
    store::Database db;
    db.open(folder.filePath(QStringLiteral("bench.db")));
    makeResult(db);
    const QString select = QStringLiteral("select * from QueryResult");
    std::printf("Result viewer on %d rows x 12 columns (best of %d runs)\n", kRows, kRepeats);

    // The model alone.
    viewer::ResultModel model(db);
    report("copy the rows into the model", best([&] { model.load(select); }), 100);
    report("sort by a text column (model)",
           best([&] { model.sortBy(viewer::SortKey{0, true}); touch(model); }, [&] { model.sortBy(std::nullopt); }), 50);
    report("sort by a real column, descending (model)",
           best([&] { model.sortBy(viewer::SortKey{7, false}); touch(model); }, [&] { model.sortBy(std::nullopt); }),
           50);
    model.sortBy(std::nullopt);
    viewer::ResultFilter filter;
    filter.append(viewer::FilterJoiner::And,
                  *viewer::makeCondition(model.columns()[0], 0, viewer::FilterOperator::Like, QStringLiteral("b")));
    filter.append(viewer::FilterJoiner::Or,
                  *viewer::makeCondition(model.columns()[7], 7, viewer::FilterOperator::Greater, QStringLiteral("50")));
    filter.append(viewer::FilterJoiner::And, *viewer::makeCondition(model.columns()[1], 1, viewer::FilterOperator::Less,
                                                                    QStringLiteral("01/Jul/2025")));
    report("filter by three conditions (model)",
           best([&] { model.setResultFilter(filter); touch(model); }, [&] { model.clearResultFilter(); }), 50);
    std::printf("  (%d rows pass the filter)\n", model.rowCount());

    // Through the window, shown offscreen.
    viewer::ResultViewerWindow window(db);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    report("load into the window and show", best([&] {
               window.load(select, QStringLiteral("Bench"));
               QCoreApplication::processEvents();
           }),
           100);
    QHeaderView* header = window.findChild<QTableView*>(QStringLiteral("DataGrid1"))->horizontalHeader();
    report("header click on a text column (window)", best([&] {
               emit header->sectionClicked(0);
               QCoreApplication::processEvents();
           }),
           50);
    report("header click on a real column (window)", best([&] {
               emit header->sectionClicked(3);
               QCoreApplication::processEvents();
           }),
           50);
    window.findChild<QComboBox*>(QStringLiteral("cboFilterCols"))->setCurrentIndex(7);
    window.findChild<QComboBox*>(QStringLiteral("cboOper"))->setCurrentIndex(1);
    window.findChild<QLineEdit*>(QStringLiteral("txtFilterValue"))->setText(QStringLiteral("50"));
    auto* show = window.findChild<QPushButton*>(QStringLiteral("cmdFilterShow0"));
    auto* showAll = window.findChild<QPushButton*>(QStringLiteral("cmdFilterShow1"));
    report("\"Show\" with one condition, header-sorted (window)", best(
               [&] {
                   show->click();
                   QCoreApplication::processEvents();
               },
               [&] {
                   showAll->click();
                   emit header->sectionClicked(0);
                   QCoreApplication::processEvents();
               }),
           50);
    window.findChild<QComboBox*>(QStringLiteral("Combosort1"))->setEditText(QStringLiteral("NSEPerc"));
    window.findChild<QComboBox*>(QStringLiteral("ComboSortorder1"))->setCurrentIndex(1);
    auto* refresh = window.findChild<QPushButton*>(QStringLiteral("cmdrefresh"));
    report("\"&Refresh Query\" with one sort row (window)", best([&] {
               refresh->click();
               QCoreApplication::processEvents();
           }),
           100);

    // Every column is sized from the texts of every row before paging.
    reports::ReportFacts facts;
    facts.queryLabel = QStringLiteral("View All Records");
    facts.exchange = reports::Exchange::Combined;
    const reports::ReportDocument document = reports::bindReport(facts, db.query(select));
    const QSizeF page = reports::reportPageLayout(document.orientation).paintRect(QPageLayout::Inch).size();
    int pages = 0;
    report("lay out the printed report's columns and pages", best([&] {
               pages = reports::ReportPager(document, page).pageCount();
           }),
           500);
    std::printf("  (%d pages)\n", pages);
    ui::setPrompt(nullptr);
    return 0;
}
