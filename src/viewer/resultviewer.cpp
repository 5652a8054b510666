#include "viewer/resultviewer.h"

#include "reports/reportbinding.h"
#include "reports/reportpreview.h"
#include "shell/appservices.h"
#include "store/storeerror.h"
#include "ui/prompt.h"
#include "ui/screenframe.h"
#include "ui/viewfit.h"
#include "viewer/chartdata.h"
#include "viewer/chartwindow.h"
#include "viewer/groupfromresult.h"
#include "viewer/resultexport.h"
#include "viewer/resultfilter.h"
#include "viewer/resultmodel.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace viewer {

namespace {

QPointer<ResultViewerWindow> g_viewer;

// The window was laid out in twips; 15 twips make a pixel on a 96 dpi screen.
int pixels(int twips)
{
    return twips / 15;
}

// The hourglass while a long step runs.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

void tell(const QString& text)
{
    ui::prompt().show(ui::Message::fromStyle(text, 0));
}

QComboBox* makeColumnCombo(QWidget* parent, const QString& name, bool typable)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(typable);
    if (typable)
        combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QFrame* makePanel(QWidget* parent, const QString& name)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->hide();
    return panel;
}

void clearChoice(QComboBox* combo)
{
    combo->setCurrentIndex(-1);
    if (combo->isEditable())
        combo->clearEditText();
}

}  // namespace

ResultViewerWindow::ResultViewerWindow(store::Database& db, QWidget* parent) : QWidget(parent), m_db(db)
{
    setObjectName(QStringLiteral("frmdisplayrecord"));
    setWindowTitle(QStringLiteral("Query Result "));
    setAttribute(Qt::WA_DeleteOnClose);

    m_model = new ResultModel(this);
    m_proxy = new ResultProxy(m_model, this);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    m_grid->setModel(m_proxy);
    m_grid->setSortingEnabled(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setSortIndicatorShown(false);
    m_grid->horizontalHeader()->setResizeContentsPrecision(50);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &ResultViewerWindow::sortByHeader);

    auto* panels = new QHBoxLayout;
    panels->setContentsMargins(0, 0, 0, 0);
    m_sortPanel = buildSortPanel();
    m_chartPanel = buildChartPanel();
    m_filterPanel = buildFilterPanel();
    m_groupPanel = buildGroupPanel();
    for (QFrame* panel : {m_sortPanel, m_filterPanel, m_chartPanel, m_groupPanel})
        panels->addWidget(panel, 0, Qt::AlignTop);
    panels->addStretch(1);

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

    connect(sort, &QPushButton::clicked, this, [this] { m_sortPanel->setHidden(!m_sortPanel->isHidden()); });
    connect(graph, &QPushButton::clicked, this, [this] { m_chartPanel->setHidden(!m_chartPanel->isHidden()); });
    connect(filter, &QPushButton::clicked, this, [this] { m_filterPanel->setHidden(!m_filterPanel->isHidden()); });
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

QFrame* ResultViewerWindow::buildSortPanel()
{
    QFrame* panel = makePanel(this, QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(panel);
    grid->addWidget(new QLabel(QStringLiteral("Sorting Order"), panel), 0, 1);
    for (int i = 0; i < 4; ++i) {
        const QString number = QString::number(i + 1);
        m_sortColumns[i] = makeColumnCombo(panel, QStringLiteral("Combosort") + number, true);
        m_sortColumns[i]->setMinimumWidth(pixels(2175));
        m_sortOrders[i] = makeColumnCombo(panel, QStringLiteral("ComboSortorder") + number, true);
        m_sortOrders[i]->setMinimumWidth(pixels(1695));
        grid->addWidget(m_sortColumns[i], i + 1, 0);
        grid->addWidget(m_sortOrders[i], i + 1, 1);
    }
    return panel;
}

QFrame* ResultViewerWindow::buildChartPanel()
{
    QFrame* panel = makePanel(this, QStringLiteral("Frame2"));
    auto* grid = new QGridLayout(panel);
    const QStringList names = {QStringLiteral("Comboxaxis"),   QStringLiteral("Comboyaxis"),
                               QStringLiteral("Combo1series"), QStringLiteral("Combo2series"),
                               QStringLiteral("Combo3series"), QStringLiteral("Combo4series")};
    const QStringList labels = {QStringLiteral("Select X Axis"),   QStringLiteral("Select Y Axis"),
                                QStringLiteral("Select 1 Series"), QStringLiteral("Select 2 Series"),
                                QStringLiteral("Select 3 Series"), QStringLiteral("Select 4 Series")};
    for (int i = 0; i < 6; ++i) {
        m_chartColumns[i] = makeColumnCombo(panel, names[i], true);
        m_chartColumns[i]->setMinimumWidth(pixels(2175));
        grid->addWidget(new QLabel(labels[i], panel), i, 0);
        grid->addWidget(m_chartColumns[i], i, 1);
    }
    auto* showGraph = new QPushButton(QStringLiteral("Display &Graph"), panel);
    showGraph->setObjectName(QStringLiteral("cmdshowgraph"));
    showGraph->setMinimumWidth(std::max(pixels(1815), showGraph->sizeHint().width()));
    grid->addWidget(showGraph, 6, 0, 1, 2, Qt::AlignCenter);
    connect(showGraph, &QPushButton::clicked, this, &ResultViewerWindow::displayGraph);
    return panel;
}

QFrame* ResultViewerWindow::buildFilterPanel()
{
    QFrame* panel = makePanel(this, QStringLiteral("Frame3"));
    auto* grid = new QGridLayout(panel);
    auto* title = new QLabel(QStringLiteral("Filter"), panel);
    title->setObjectName(QStringLiteral("Label7"));
    grid->addWidget(title, 0, 0);
    const QStringList suffixes = {QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    for (int row = 0; row < 4; ++row) {
        FilterRowControls& controls = m_filterRows[row];
        const QString& suffix = suffixes[row];
        controls.column = makeColumnCombo(panel, QStringLiteral("cboFilterCols") + suffix, false);
        controls.column->setMinimumWidth(pixels(1905));
        controls.op = makeColumnCombo(panel, QStringLiteral("cboOper") + suffix, false);
        controls.op->setMinimumWidth(pixels(855));
        controls.value = new QLineEdit(panel);
        controls.value->setObjectName(QStringLiteral("txtFilterValue") + suffix);
        controls.value->setMinimumWidth(pixels(1455));
        grid->addWidget(controls.column, row + 1, 0);
        grid->addWidget(controls.op, row + 1, 1);
        grid->addWidget(controls.value, row + 1, 2);
        if (row < 3) {
            controls.joiner = makeColumnCombo(panel, QStringLiteral("CmbOpt") + suffix, false);
            controls.joiner->setMinimumWidth(pixels(975));
            grid->addWidget(controls.joiner, row + 1, 3);
        }
        connect(controls.column, &QComboBox::currentIndexChanged, this, [this, row] { fillOperators(row); });
        connect(controls.column, &QComboBox::activated, this, [this, row] { fillOperators(row); });
    }
    const QStringList captions = {QStringLiteral("Show"), QStringLiteral("Show All"), QStringLiteral("Show In Results")};
    const QList<int> widths = {825, 945, 945};
    auto* buttons = new QHBoxLayout;
    for (int index = 0; index < 3; ++index) {
        auto* button = new QPushButton(captions[index], panel);
        button->setObjectName(QStringLiteral("cmdFilterShow") + QString::number(index));
        button->setMinimumWidth(std::max(pixels(widths[index]), button->sizeHint().width()));
        connect(button, &QPushButton::clicked, this, [this, index] { pressFilterButton(index); });
        buttons->addWidget(button);
    }
    grid->addLayout(buttons, 2, 4, 2, 1, Qt::AlignTop);
    grid->setColumnStretch(5, 1);
    return panel;
}

QFrame* ResultViewerWindow::buildGroupPanel()
{
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("FrmGrp"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->hide();
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
    store::Rows rows;
    bool loaded = true;
    try {
        rows = m_db.query(select);
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The result could not be read: %1").arg(error.message()));
        loaded = false;
    }
    showRows(std::move(rows));
    fillColumnLists();
    for (QComboBox* order : m_sortOrders) {
        order->clear();
        order->addItems({QStringLiteral("Asc"), QStringLiteral("Desc")});
        clearChoice(order);
    }
    resetFilterRows();
    return loaded;
}

void ResultViewerWindow::showRows(store::Rows rows)
{
    m_proxy->clearResultFilter();
    clearHeaderSort();
    m_model->setRows(std::move(rows));
    ui::fitColumns(m_grid);
}

void ResultViewerWindow::fillColumnLists()
{
    QStringList names;
    for (const store::Column& column : m_model->columns())
        names.append(column.name);
    auto fill = [&names](QComboBox* combo) {
        combo->clear();
        combo->addItems(names);
        clearChoice(combo);
    };
    for (QComboBox* combo : m_sortColumns)
        fill(combo);
    for (QComboBox* combo : m_chartColumns)
        fill(combo);
    for (FilterRowControls& row : m_filterRows)
        fill(row.column);
}

void ResultViewerWindow::resetFilterRows()
{
    for (FilterRowControls& row : m_filterRows) {
        clearChoice(row.column);
        row.value->clear();
    }
}

void ResultViewerWindow::refresh()
{
    QList<SortRowInput> sortRows;
    for (int i = 0; i < 4; ++i)
        sortRows.append({m_sortColumns[i]->currentText(), m_sortOrders[i]->currentText()});
    const SortOrder order = buildSortOrder(m_model->columns(), sortRows);
    if (!order.problem.isEmpty()) {
        ui::prompt().show(ui::Message::fromStyle(order.problem, 48));
        return;
    }
    store::Rows rows;
    try {
        rows = m_db.query(refreshStatement(order.keys));
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The result could not be read again: %1").arg(error.message()));
        return;
    }
    m_sortClause = order.clause;
    m_sortKeys = order.keys;
    m_select = refreshSelectText(order.clause);

    // The result table normally holds the columns shown; should it not, the
    // lists must offer the columns of the rows now shown.
    QStringList before, after;
    for (const store::Column& column : m_model->columns())
        before.append(column.name);
    for (const store::Column& column : rows.columns)
        after.append(column.name);
    showRows(std::move(rows));
    if (before != after) {
        fillColumnLists();
        resetFilterRows();
    }
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
    m_proxy->sort(section, order);
    m_grid->horizontalHeader()->setSortIndicatorShown(true);
    m_grid->horizontalHeader()->setSortIndicator(section, order);
    m_headerSortText = headerSortText(columns[section].name, *direction);
}

void ResultViewerWindow::clearHeaderSort()
{
    m_proxy->clearSort();
    m_grid->horizontalHeader()->setSortIndicatorShown(false);
    m_headerSortText.clear();
}

void ResultViewerWindow::fillOperators(int row)
{
    FilterRowControls& controls = m_filterRows[row];
    controls.op->clear();
    if (controls.joiner)
        controls.joiner->clear();
    const int column = controls.column->currentIndex();
    if (column < 0 || column >= m_model->columns().size())
        return;
    controls.op->addItems(operatorCaptions(m_model->columns()[column].kind));
    controls.op->setCurrentIndex(0);
    if (controls.joiner) {
        controls.joiner->addItems(joinerCaptions());
        controls.joiner->setCurrentIndex(0);
    }
}

void ResultViewerWindow::pressFilterButton(int index)
{
    if (index == 1) {
        showAll();
        return;
    }
    QList<FilterRowInput> inputs;
    for (const FilterRowControls& controls : m_filterRows) {
        inputs.append({controls.column->currentIndex(), controls.op->currentText(), controls.value->text(),
                       controls.joiner ? controls.joiner->currentText() : QString()});
    }
    const FilterRowsReading reading = readFilterRows(m_model->columns(), inputs);
    if (reading.problem) {
        const FilterProblem& problem = *reading.problem;
        ui::prompt().show(ui::Message::fromStyle(problem.message, problem.style));
        const FilterRowControls& controls = m_filterRows[problem.row];
        switch (problem.field) {
        case FilterProblem::Field::Column:
            controls.column->setFocus();
            break;
        case FilterProblem::Field::Operator:
            controls.op->setFocus();
            break;
        case FilterProblem::Field::Value:
            controls.value->setFocus();
            break;
        case FilterProblem::Field::None:
            break;
        }
        return;
    }
    if (index == 0) {
        m_proxy->setResultFilter(reading.composed);
        return;
    }
    // "Show In Results" narrows the filter in force by the first row.
    ResultFilter narrowed = m_proxy->resultFilter().value_or(ResultFilter());
    narrowed.append(FilterJoiner::And, reading.firstRow);
    m_proxy->setResultFilter(narrowed);
}

void ResultViewerWindow::showAll()
{
    // Every row of the result again, in the order it was read.
    m_proxy->clearResultFilter();
    clearHeaderSort();
}

ShownResult ResultViewerWindow::shownResult() const
{
    ShownResult shown;
    shown.rows = m_proxy->shownRows();
    shown.select = m_select;
    shown.queryName = m_queryName;
    shown.headings = m_headings;
    if (m_proxy->resultFilter())
        shown.filterText = m_proxy->resultFilter()->text();
    shown.sortText = m_headerSortText;
    return shown;
}

reports::ReportDocument ResultViewerWindow::printDocument() const
{
    return reports::bindReport(m_facts, m_proxy->shownRows());
}

void ResultViewerWindow::print()
{
    reports::showReportPreview(printDocument(), this);
}

QString ResultViewerWindow::dataFolder() const
{
    return m_services ? m_services->dataFolder() : QDir::currentPath();
}

void ResultViewerWindow::saveGroup()
{
    ResultScrips collected;
    try {
        collected = collectResultScrips(m_db, m_proxy->shownRows());
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
    m_groupPanel->setHidden(!m_groupPanel->isHidden());
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
    const store::Rows rows = m_proxy->shownRows();
    switch (exportTargetFor(m_queryName)) {
    case ExportTarget::DerivativesReport:
        exportDerivatives(rows);
        break;
    case ExportTarget::MarketWatch:
        exportMarketWatchSheet(rows);
        break;
    case ExportTarget::NewWorkbook:
        exportNewWorkbook(rows);
        break;
    }
}

namespace {

// Asks where a workbook goes; empty when the user cancelled.
QString chooseWorkbookPath(const QString& folder, const QString& caption)
{
    ui::FileRequest request;
    request.caption = caption;
    request.directory = folder;
    request.filter = QStringLiteral("Excel workbooks (*.xlsx)");
    QString path = ui::prompt().saveFile(request);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".xlsx");
    return path;
}

}  // namespace

void ResultViewerWindow::exportNewWorkbook(const store::Rows& rows)
{
    // The export starts at the row chosen in the grid.
    const int firstRecord = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : 0;
    const QString path = chooseWorkbookPath(dataFolder(), QStringLiteral("Export To Excel"));
    if (path.isEmpty())
        return;
    try {
        WaitCursor wait;
        viewer::exportNewWorkbook(path, rows, firstRecord);
    } catch (const WorkbookError& error) {
        tell(error.text());
        return;
    }
    tell(QStringLiteral("Result Exported to ") + QDir::toNativeSeparators(path));
}

void ResultViewerWindow::exportDerivatives(const store::Rows& rows)
{
    const ui::Answer answer = ui::prompt().show(ui::Message::fromStyle(
        QStringLiteral("This will export the current records of the Query to an Excel sheet, Do you wish to continue?"),
        36, QStringLiteral("Export Data?")));
    if (answer != ui::Answer::Yes)
        return;
    const QString path = chooseWorkbookPath(dataFolder(), QStringLiteral("Export Data?"));
    if (path.isEmpty())
        return;
    const QString templatePath = QDir(dataFolder()).filePath(kDerivativesTemplateFile);
    try {
        WaitCursor wait;
        exportDerivativesReport(templatePath, path, rows);
    } catch (const WorkbookError& error) {
        tell(error.text());
        return;
    }
    tell(QStringLiteral("Result Exported to ") + QDir::toNativeSeparators(path));
}

void ResultViewerWindow::exportMarketWatchSheet(const store::Rows& rows)
{
    const QString path = QDir(dataFolder()).filePath(kMarketWatchFile);
    bool written = false;
    try {
        WaitCursor wait;
        written = exportMarketWatch(path, m_queryName, rows);
    } catch (const WorkbookError& error) {
        tell(error.text());
        return;
    }
    tell(written ? QStringLiteral("Result Exported to ") + QDir::toNativeSeparators(path)
                 : QStringLiteral("Nothing To Export"));
}

void ResultViewerWindow::displayGraph()
{
    ChartColumns chosen;
    chosen.xAxis = m_chartColumns[0]->currentText();
    chosen.yAxis = m_chartColumns[1]->currentText();
    for (int i = 0; i < 4; ++i)
        chosen.series[i] = m_chartColumns[i + 2]->currentText();
    const ChartStatement statement = chartStatement(m_model->columns(), chosen, m_sortKeys);
    if (!statement.problem.isEmpty()) {
        tell(statement.problem);
        return;
    }
    store::Rows rows;
    try {
        rows = m_db.query(statement.sql);
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The chart rows could not be read: %1").arg(error.message()));
        return;
    }
    if (m_services)
        showChart(*m_services, rows);
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
