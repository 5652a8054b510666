#include "viewer/resultviewer.h"

#include "reports/reportbinding.h"
#include "reports/reportpreview.h"
#include "shell/appservices.h"
#include "store/datetext.h"
#include "store/storeerror.h"
#include "ui/prompt.h"
#include "ui/flowlayout.h"
#include "ui/screenframe.h"
#include "ui/viewfit.h"
#include "ui/waitcursor.h"
#include "viewer/chartcolumnspanel.h"
#include "viewer/chartdata.h"
#include "viewer/chartwindow.h"
#include "viewer/excelexportcommand.h"
#include "viewer/groupfromresult.h"
#include "viewer/resultfilter.h"
#include "viewer/resultfilterpanel.h"
#include "viewer/resultgridheader.h"
#include "viewer/resultmodel.h"
#include "viewer/sortrowspanel.h"
#include "viewer/viewercontrols.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace viewer {

namespace {

QPointer<ResultViewerWindow> g_viewer;

// The result printed while the grid shows the chart rows is read into
// tables of its own.
const QString kPrintedRows = QStringLiteral("ViewerPrintedRows");
const QString kPrintedOrder = QStringLiteral("ViewerPrintedOrder");

void tell(const QString& text)
{
    ui::prompt().show(ui::Message::fromStyle(text, 0));
}

// The facts of the rows the result table holds now: those of the last run,
// as every run makes the table afresh; `own` until a run has made one.
reports::ReportFacts resultTableFacts(const reports::ReportFacts& own)
{
    return shell::sharedState().lastQueryFacts.value_or(own);
}

}  // namespace

ResultViewerWindow::ResultViewerWindow(store::Database& db, QWidget* parent) : QWidget(parent), m_db(db)
{
    setObjectName(QStringLiteral("frmdisplayrecord"));
    setWindowTitle(QStringLiteral("Query Result "));
    setAttribute(Qt::WA_DeleteOnClose);

    m_model = new ResultModel(db, this);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    m_grid->setHorizontalHeader(new ResultGridHeader(m_grid));
    m_grid->setModel(m_model);
    m_grid->setSortingEnabled(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->horizontalHeader()->setSortIndicatorShown(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_columnWidths = new ui::ColumnWidths(m_grid);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &ResultViewerWindow::sortByHeader);

    // The panels stand side by side below the grid and go on in a second
    // line where the window is too narrow for all of them.
    auto* panels = new ui::FlowLayout;
    panels->setContentsMargins(0, 0, 0, 0);
    m_sortPanel = new SortRowsPanel(this);
    m_chartPanel = new ChartColumnsPanel(this);
    m_filterPanel = new ResultFilterPanel(m_model, this);
    m_groupPanel = buildGroupPanel();
    connect(m_chartPanel, &ChartColumnsPanel::displayRequested, this, &ResultViewerWindow::displayGraph);
    connect(m_filterPanel, &ResultFilterPanel::showRequested, this, [this] { applyFilterRows(false); });
    connect(m_filterPanel, &ResultFilterPanel::showAllRequested, this, &ResultViewerWindow::showAll);
    connect(m_filterPanel, &ResultFilterPanel::showInResultsRequested, this, [this] { applyFilterRows(true); });
    for (QFrame* panel : std::initializer_list<QFrame*>{m_sortPanel, m_filterPanel, m_chartPanel, m_groupPanel})
        panels->addWidget(panel);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    QPushButton* sort = addButton(QStringLiteral("cmdsort"), QStringLiteral("Select Columns To Sort"), 2175);
    QPushButton* excel = addButton(QStringLiteral("Command1"), QStringLiteral("&Export To Excel"), 1455);
    QPushButton* graph = addButton(QStringLiteral("Command2"), QStringLiteral("&Show Graph"), 1215);
    QPushButton* print = addButton(QStringLiteral("CmdPrint"), QStringLiteral("&Print"), 1455);
    QPushButton* refreshButton = addButton(QStringLiteral("cmdrefresh"), QStringLiteral("&Refresh Query"), 1695);
    QPushButton* filter = addButton(QStringLiteral("CmdFilter"), QStringLiteral("Filter"), 1560);
    QPushButton* saveGroup = addButton(QStringLiteral("CmdSave_Group"), QStringLiteral("Save Group"), 1560);
    for (QPushButton* button : {sort, excel, graph, print, refreshButton, filter, saveGroup})
        buttons->addWidget(button);
    buttons->addStretch(1);

    connect(sort, &QPushButton::clicked, this, [this] { togglePanel(m_sortPanel); });
    connect(graph, &QPushButton::clicked, this, [this] { togglePanel(m_chartPanel); });
    connect(filter, &QPushButton::clicked, this, [this] { togglePanel(m_filterPanel); });
    connect(refreshButton, &QPushButton::clicked, this, &ResultViewerWindow::refresh);
    connect(print, &QPushButton::clicked, this, &ResultViewerWindow::print);
    connect(excel, &QPushButton::clicked, this, &ResultViewerWindow::exportToExcel);
    connect(saveGroup, &QPushButton::clicked, this, &ResultViewerWindow::saveGroup);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_grid, 1);
    layout->addLayout(panels);
    layout->addLayout(buttons);
    resize(pixels(18300), pixels(9480));
}

ResultViewerWindow::~ResultViewerWindow() = default;

QPushButton* ResultViewerWindow::addButton(const QString& name, const QString& caption, int widthTwips)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    // The design's size, or more where the caption needs it.
    button->setMinimumSize(button->sizeHint().expandedTo(QSize(pixels(widthTwips), pixels(375))));
    return button;
}

void ResultViewerWindow::togglePanel(QFrame* panel)
{
    panel->setHidden(!panel->isHidden());
    if (panel->isHidden())
        return;
    // Once the window is laid out again, a frame the window scrolls in is
    // scrolled to show the panel.
    QTimer::singleShot(0, panel, [panel] {
        for (QWidget* outer = panel->parentWidget(); outer; outer = outer->parentWidget()) {
            if (auto* scroll = qobject_cast<QScrollArea*>(outer)) {
                scroll->ensureWidgetVisible(panel, 0, 0);
                return;
            }
        }
    });
}

QFrame* ResultViewerWindow::buildGroupPanel()
{
    auto* panel = new QFrame(this);
    setUpPanel(panel, QStringLiteral("FrmGrp"));
    auto* layout = new QVBoxLayout(panel);
    auto* title = new QLabel(QStringLiteral("Select Group"), panel);
    title->setStyleSheet(QStringLiteral("color: red"));
    m_groupList = new QComboBox(panel);
    m_groupList->setObjectName(QStringLiteral("CmbGrp"));
    m_groupList->setMinimumWidth(pixels(2535));
    auto* ok = new QPushButton(QStringLiteral("Ok"), panel);
    ok->setObjectName(QStringLiteral("CmdOk"));
    connect(ok, &QPushButton::clicked, this, &ResultViewerWindow::addToChosenGroup);
    layout->addWidget(title);
    layout->addWidget(m_groupList);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    return panel;
}

bool ResultViewerWindow::load(const QString& select, const QString& queryName, const QStringList& headings)
{
    m_select = select;
    m_queryName = queryName;
    m_headings = headings;
    m_facts = reports::ReportFacts();
    m_facts.queryLabel = queryName;
    m_sortClause.clear();
    m_sortKeys.clear();
    m_headerSort = HeaderSort();
    m_showsChartRows = false;
    m_columnWidths->forgetHandWidths();
    bool loaded = true;
    try {
        m_model->load(select);
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The result could not be read: %1").arg(error.message()));
        loaded = false;
    }
    rowsReplaced();
    fillColumnLists();
    m_sortPanel->resetOrders();
    m_filterPanel->resetRows();
    return loaded;
}

namespace {

QStringList namesOf(const QList<store::Column>& columns)
{
    QStringList names;
    for (const store::Column& column : columns)
        names.append(column.name);
    return names;
}

}  // namespace

void ResultViewerWindow::rowsReplaced()
{
    clearHeaderSort();
    // Each column as wide as its widest value among all the rows read, so
    // that no sort, filter or scroll shows a value cut.
    const QList<store::Column>& columns = m_model->columns();
    QList<QStringList> widest;
    try {
        widest = m_model->rows().widestTexts(CharacterWidths(m_columnWidths->characterWidths(false)),
                                             CharacterWidths(m_columnWidths->characterWidths(true)));
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The widths of the columns could not be found: %1").arg(error.message()));
    }
    QList<ui::ColumnContent> contents;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        ui::ColumnContent content;
        content.texts = widest.value(i);
        content.figures = columns[i].kind != store::ColumnKind::Text;
        // Days are all written alike, but the months' names differ in width.
        if (columns[i].kind == store::ColumnKind::Date)
            for (int month = 1; month <= 12; ++month)
                content.texts.append(datetext::toDisplay(QDate(2000, month, 28)));
        contents.append(content);
    }
    m_columnWidths->fit(contents);

    // The filter rows offer the columns of the rows shown.
    const QStringList shown = namesOf(columns);
    if (shown != m_filterColumns) {
        m_filterColumns = shown;
        m_filterPanel->setColumnNames(shown);
        m_filterPanel->resetRows();
    }
}

void ResultViewerWindow::fillColumnLists()
{
    // The sort rows and the chart lists name the columns of the result
    // table, whose rows they read again.
    m_resultColumns = m_model->columns();
    const QStringList names = namesOf(m_resultColumns);
    m_sortPanel->setColumnNames(names);
    m_chartPanel->setColumnNames(names);
}

bool ResultViewerWindow::showRows(const QString& statement, const QString& failure)
{
    try {
        // The rows shown stay when the store refuses the statement.
        m_db.query(QStringLiteral("SELECT * FROM (%1) LIMIT 0").arg(statement));
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("%1: %2").arg(failure, error.message()));
        return false;
    }
    bool shown = true;
    try {
        const ui::WaitCursor wait;
        m_model->load(statement);
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("%1: %2").arg(failure, error.message()));
        shown = false;
    }
    rowsReplaced();
    return shown;
}

void ResultViewerWindow::refresh()
{
    const SortOrder order = buildSortOrder(m_resultColumns, m_sortPanel->rows());
    if (!order.problem.isEmpty()) {
        ui::prompt().show(ui::Message::fromStyle(order.problem, 48));
        return;
    }
    if (!showRows(refreshStatement(order.keys), QStringLiteral("The result could not be read again")))
        return;
    m_sortClause = order.clause;
    m_sortKeys = order.keys;
    m_select = refreshSelectText(order.clause);
    m_showsChartRows = false;
    // The rows may be another run's than those shown before: the printout
    // and the exports follow the run that made them.
    m_facts = resultTableFacts(m_facts);
    m_queryName = m_facts.queryLabel;

    // The result table normally holds the columns listed; should it not, the
    // lists must offer the columns it holds now.
    if (namesOf(m_model->columns()) != namesOf(m_resultColumns))
        fillColumnLists();
}

void ResultViewerWindow::sortByHeader(int section)
{
    const QList<store::Column>& columns = m_model->columns();
    if (section < 0 || section >= columns.size())
        return;
    const std::optional<HeaderSort::Direction> direction = m_headerSort.click(section, columns[section].name);
    if (!direction)
        return;
    const Qt::SortOrder order =
        *direction == HeaderSort::Direction::Ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
    if (!reshow([&] { m_model->sortBy(SortKey{section, order == Qt::AscendingOrder}); }))
        return;
    m_grid->horizontalHeader()->setSortIndicatorShown(true);
    m_grid->horizontalHeader()->setSortIndicator(section, order);
    m_headerSortText = headerSortText(columns[section].name, *direction);
}

void ResultViewerWindow::clearHeaderSort()
{
    m_grid->horizontalHeader()->setSortIndicatorShown(false);
    m_headerSortText.clear();
}

bool ResultViewerWindow::reshow(const std::function<void()>& change)
{
    try {
        const ui::WaitCursor wait;
        change();
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The rows could not be shown: %1").arg(error.message()));
        return false;
    }
    return true;
}

void ResultViewerWindow::applyFilterRows(bool narrowShown)
{
    const FilterRowsReading reading = readFilterRows(m_model->columns(), m_filterPanel->inputs());
    if (reading.problem) {
        const FilterProblem& problem = *reading.problem;
        ui::prompt().show(ui::Message::fromStyle(problem.message, problem.style));
        m_filterPanel->focusProblem(problem);
        return;
    }
    if (!narrowShown) {
        reshow([&] { m_model->setResultFilter(reading.composed); });
        return;
    }
    // "Show In Results" narrows the filter in force by the first row.
    ResultFilter narrowed = m_model->resultFilter().value_or(ResultFilter());
    narrowed.append(FilterJoiner::And, reading.firstRow);
    reshow([&] { m_model->setResultFilter(narrowed); });
}

void ResultViewerWindow::showAll()
{
    // Every row of the result again, in the order it was read.
    reshow([this] { m_model->showEverything(); });
    clearHeaderSort();
}

ShownResult ResultViewerWindow::shownResult() const
{
    ShownResult shown;
    shown.rows = m_model->shownRows();
    shown.select = m_select;
    shown.queryName = m_queryName;
    shown.headings = m_headings;
    if (m_model->resultFilter())
        shown.filterText = m_model->resultFilter()->text();
    shown.sortText = m_headerSortText;
    return shown;
}

reports::ReportDocument ResultViewerWindow::printDocument() const
{
    const auto bind = [](const reports::ReportFacts& facts, const ResultRows& rows) {
        return reports::bindReport(facts, rows.columns(),
                                   [&rows](const reports::ResultRow& visit) { rows.forEach(visit); });
    };
    if (!m_showsChartRows)
        return bind(m_facts, m_model->rows());
    // The chart rows have none of the layout's columns: while the grid shows
    // them, the result they were drawn from is printed, as its select reads
    // it now (under the run that made it), with the filter and the header
    // order in force on its columns of the same names.
    ResultRows result(m_db, kPrintedRows, kPrintedOrder);
    result.load(m_select);
    std::optional<ResultFilter> filter;
    if (m_model->resultFilter()) {
        filter = m_model->resultFilter()->onColumns(result.columns());
        if (!filter)
            throw store::StoreError(QStringLiteral("the result lacks a column that the filter names"));
    }
    std::optional<SortKey> order = m_model->order();
    if (order) {
        order->column = columnPosition(result.columns(), m_model->columns().value(order->column).name);
        if (order->column < 0)
            throw store::StoreError(QStringLiteral("the result lacks the column the rows are ordered by"));
    }
    result.show(filter, order);
    return bind(resultTableFacts(m_facts), result);
}

void ResultViewerWindow::print()
{
    reports::ReportDocument document;
    try {
        document = printDocument();
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The result could not be read for printing: %1").arg(error.message()));
        return;
    }
    reports::showReportPreview(document, this);
}

QString ResultViewerWindow::dataFolder() const
{
    return m_services ? m_services->dataFolder() : QDir::currentPath();
}

void ResultViewerWindow::saveGroup()
{
    ResultScrips collected;
    try {
        const ResultRows& rows = m_model->rows();
        collected = collectResultScrips(m_db, rows.columns(), [&rows](const RecordVisitor& visit) { rows.forEach(visit); });
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The scrips could not be looked up: %1").arg(error.message()));
        return;
    }
    if (!collected.ok()) {
        ui::prompt().show(ui::Message::fromStyle(collected.problem, 48));
        return;
    }
    shell::SharedState& shared = shell::sharedState();
    shared.newGroupScrips = collected.scrips;
    const ui::Answer answer = ui::prompt().show(
        ui::Message::fromStyle(QStringLiteral("Do You Want To Create New Group Or Add To Existing Group"), 68));
    if (answer == ui::Answer::Yes) {
        shared.newGroupFlag = true;
        if (m_services)
            m_services->openScreen(QStringLiteral("Group"));
        return;
    }
    togglePanel(m_groupPanel);
    m_groupList->clear();
    try {
        m_groupList->addItems(groupNamesForList(m_db));
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The groups could not be read: %1").arg(error.message()));
    }
    if (m_groupList->count() > 0)
        m_groupList->setCurrentIndex(0);
}

void ResultViewerWindow::addToChosenGroup()
{
    std::optional<int> added;
    try {
        added = addScripsToGroup(m_db, m_groupList->currentText(), shell::sharedState().newGroupScrips);
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The group could not be updated: %1").arg(error.message()));
        return;
    }
    if (!added)
        return;
    ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Group Updated"), 64));
    m_groupPanel->hide();
}

void ResultViewerWindow::exportToExcel()
{
    if (m_model->columns().isEmpty()) {
        tell(QStringLiteral("No Active recordset detected"));
        return;
    }
    ExcelExportRequest request;
    request.dataFolder = dataFolder();
    request.queryName = m_queryName;
    request.rows = &m_model->rows();
    request.firstRecord = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : 0;
    viewer::exportToExcel(request);
}

void ResultViewerWindow::displayGraph()
{
    const ChartStatement statement = chartStatement(m_resultColumns, m_chartPanel->chosen(), m_sortKeys);
    if (!statement.problem.isEmpty()) {
        tell(statement.problem);
        return;
    }
    // The grid shows the chart rows from now on, until a refresh reads the
    // result again.
    if (!showRows(statement.sql, QStringLiteral("The chart rows could not be read")))
        return;
    m_showsChartRows = true;
    if (m_services)
        showChart(*m_services, m_model->shownRows());
}

ResultViewerWindow* showResult(shell::AppServices& services, const QString& select,
                               const reports::ReportFacts& facts, const QStringList& headings)
{
    ResultViewerWindow* window = showResult(services, select, facts.queryLabel, headings);
    window->setReportFacts(facts);
    return window;
}

ResultViewerWindow* showResult(shell::AppServices& services, const QString& select, const QString& queryName,
                               const QStringList& headings)
{
    if (!g_viewer) {
        g_viewer = new ResultViewerWindow(services.database());
        g_viewer->setServices(&services);
        g_viewer->load(select, queryName, headings);
        services.showChild(g_viewer);
        return g_viewer;
    }
    g_viewer->load(select, queryName, headings);
    if (auto* frame = ui::subWindowOf(g_viewer)) {
        frame->showNormal();
        if (QMdiArea* area = frame->mdiArea())
            area->setActiveSubWindow(frame);
    } else {
        g_viewer->show();
        g_viewer->raise();
        g_viewer->activateWindow();
    }
    return g_viewer;
}

ResultViewerWindow* openResultViewer()
{
    return g_viewer;
}

}  // namespace viewer
