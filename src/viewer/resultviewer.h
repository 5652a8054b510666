#pragma once

#include "reports/reportdocument.h"
#include "reports/reportfacts.h"
#include "store/database.h"
#include "viewer/resultsort.h"

#include <QStringList>
#include <QWidget>
#include <functional>

class QComboBox;
class QFrame;
class QPushButton;
class QTableView;

namespace shell {
class AppServices;
}

namespace ui {
class ColumnWidths;
}

namespace viewer {

class ChartColumnsPanel;
class ResultFilterPanel;
class ResultModel;
class SortRowsPanel;

// What the viewer shows at this moment: the rows in the grid's filter and
// order, read whole (the exports and print take them a page at a time
// instead), and what produced them.
struct ShownResult {
    store::Rows rows;
    QString select;     // the select the rows were read with
    QString queryName;  // the query that made the result
    QStringList headings;
    QString filterText;  // the filter in force as text, empty when none
    QString sortText;    // the header sort in force ("[stock] DESC"), empty when none
};

// The result viewer, caption "Query Result ": the rows of the last query in
// a grid, with the sort rows and "&Refresh Query", a header click that sorts
// by a column, and the filter panel. There is one at a time; the query screen
// hands each new result to it through showResult().
//
// The window holds the grid and what its buttons do; the sort rows
// (SortRowsPanel), the chart columns (ChartColumnsPanel), the filter rows
// (ResultFilterPanel) and the workbook exports (excelexportcommand.h) live in
// files of their own.
class ResultViewerWindow : public QWidget {
    Q_OBJECT
public:
    explicit ResultViewerWindow(store::Database& db, QWidget* parent = nullptr);
    ~ResultViewerWindow() override;

    // Reads the rows of `select` and shows them in place of whatever the
    // window showed: column lists, sort rows, filter rows, the filter and the
    // header sort all start afresh. A select the store refuses is reported
    // and leaves the window empty; returns false then. The report facts of
    // the rows are those of `queryName` alone until setReportFacts() gives
    // the facts of the run that made them.
    bool load(const QString& select, const QString& queryName, const QStringList& headings = {});

    // The facts of the run whose rows are shown: the printed report's layout
    // and headings come from them. "&Refresh Query" reads the rows of the
    // last run and takes its facts (shell::SharedState) with them.
    void setReportFacts(const reports::ReportFacts& facts) { m_facts = facts; }
    const reports::ReportFacts& reportFacts() const { return m_facts; }
    // What "&Print" prints: the rows as shown, in the grid's filter and
    // order, bound to the layout of the shown result's query; while the grid
    // shows the chart rows, the result read again by its select, in the
    // filter and order in force, under the run that made it. Raises store::StoreError when the store
    // refuses that select or the result lacks a column they name.
    reports::ReportDocument printDocument() const;

    // The select the shown rows came from: the handed-over one, or after a
    // refresh "Select * from QueryResult order by ..." (as shown).
    QString select() const { return m_select; }
    QString queryName() const { return m_queryName; }
    QStringList headings() const { return m_headings; }
    // The sort rows' clause of the last refresh, e.g. "2 Asc,4 Desc".
    QString sortClause() const { return m_sortClause; }
    // The last header click: column position and "Asc"/"Desc".
    int headerColumnIndex() const { return m_headerSort.columnIndex(); }
    QString headerDirection() const { return m_headerSort.direction(); }

    ShownResult shownResult() const;

    // The main window's services: the data folder for the workbooks, the
    // group master and the chart window. showResult() sets them.
    void setServices(shell::AppServices* services) { m_services = services; }

private:
    QFrame* buildGroupPanel();
    // Shows a hidden panel, in view, or hides a shown one.
    void togglePanel(QFrame* panel);
    QPushButton* addButton(const QString& name, const QString& caption, int widthTwips);

    // After new rows: no header sort, columns fitted to the rows, the filter
    // rows on the columns shown.
    void rowsReplaced();
    // Shows the rows of `statement` in place of those shown; when the store
    // refuses it, says so (`failure` and the store's reason) and, when it
    // refuses it before any row is read, keeps the rows shown. False then.
    bool showRows(const QString& statement, const QString& failure);
    // Runs a change of the shown rows, telling the user when the store
    // refuses it; false then.
    bool reshow(const std::function<void()>& change);
    void fillColumnLists();
    void refresh();
    void sortByHeader(int section);
    void applyFilterRows(bool narrowShown);
    void showAll();
    void clearHeaderSort();
    void print();
    void saveGroup();
    void addToChosenGroup();
    void exportToExcel();
    void displayGraph();
    QString dataFolder() const;

    store::Database& m_db;
    ResultModel* m_model = nullptr;
    QTableView* m_grid = nullptr;
    ui::ColumnWidths* m_columnWidths = nullptr;

    SortRowsPanel* m_sortPanel = nullptr;
    ChartColumnsPanel* m_chartPanel = nullptr;
    ResultFilterPanel* m_filterPanel = nullptr;
    QFrame* m_groupPanel = nullptr;
    QComboBox* m_groupList = nullptr;
    shell::AppServices* m_services = nullptr;

    QString m_select;
    QString m_queryName;
    QStringList m_headings;
    reports::ReportFacts m_facts;
    // The columns of the result the sort rows and chart lists offer; the
    // grid may show other rows (the chart's).
    QList<store::Column> m_resultColumns;
    // The columns the filter rows offer: those of the rows shown.
    QStringList m_filterColumns;
    // Display Graph put the chart rows in the grid; a refresh reads the
    // result again.
    bool m_showsChartRows = false;
    QString m_sortClause;
    QList<SortKey> m_sortKeys;  // the keys of m_sortClause
    HeaderSort m_headerSort;
    QString m_headerSortText;
};

// Hands a new result to the viewer: opens it as a child of the main window,
// or brings the open one forward, and loads the rows of `select` into it.
ResultViewerWindow* showResult(shell::AppServices& services, const QString& select, const QString& queryName,
                               const QStringList& headings = {});
// The same for the result of a query run: the query's name is the facts'
// query label, and the facts go with the rows for printing.
ResultViewerWindow* showResult(shell::AppServices& services, const QString& select,
                               const reports::ReportFacts& facts, const QStringList& headings = {});

// The open viewer, or null.
ResultViewerWindow* openResultViewer();

}  // namespace viewer
