#include "query/queryscreen.h"

#include "masters/textmatch.h"
#include "query/catalogue.h"
#include "query/queryreporting.h"
#include "query/tradingcalendar.h"
#include "reports/reportpreview.h"
#include "shell/appservices.h"
#include "shell/sharedstate.h"
#include "store/datetext.h"
#include "store/jetfunctions.h"
#include "store/recordsetmodel.h"
#include "store/storeerror.h"
#include "ui/prompt.h"
#include "ui/viewfit.h"
#include "viewer/resultviewer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace query {

namespace {

const QString kEnterNumbers = QStringLiteral("Enter Nos. Only");

// The "Trades" range stays unavailable: the market data keeps no trade counts.
constexpr int kTradesFilter = static_cast<int>(RangeMeasure::Trades);
const QString kNoTradesTip = QStringLiteral("Not available: the market data keeps no number of trades.");

// Keeps a main-menu item unavailable for as long as it lives.
class MenuItemPause {
public:
    explicit MenuItemPause(QAction* action) : m_action(action)
    {
        if (m_action)
            m_action->setEnabled(false);
    }
    ~MenuItemPause()
    {
        if (m_action)
            m_action->setEnabled(true);
    }
    MenuItemPause(const MenuItemPause&) = delete;
    MenuItemPause& operator=(const MenuItemPause&) = delete;

private:
    QPointer<QAction> m_action;
};

// The wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

template <typename T>
T* named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent)
{
    return named(new QLabel(caption, parent), name);
}

QLineEdit* makeBox(const QString& name, QWidget* parent)
{
    return named(new QLineEdit(parent), name);
}

void fillDateBox(QComboBox* box, const QList<QDate>& dates)
{
    const QSignalBlocker blocker(box);
    box->clear();
    for (const QDate& date : dates)
        box->addItem(datetext::toDisplay(date), date);
}

// Shows `date` in a date box; a null date (or one not listed) empties it.
void selectDate(QComboBox* box, const QDate& date)
{
    box->setCurrentIndex(date.isValid() ? box->findData(date) : -1);
}

QDate chosenDate(const QComboBox* box)
{
    return box->currentIndex() < 0 ? QDate() : box->currentData().toDate();
}

void applyNumber(QLabel* caption, QLineEdit* box, const NumberField& field)
{
    caption->setText(field.caption);
    box->setText(field.text);
    caption->setHidden(!field.shown);
    box->setHidden(!field.shown);
}

NumberField readNumber(const QLabel* caption, const QLineEdit* box)
{
    return {caption->text(), box->text(), !box->isHidden()};
}

// Rows read as a whole percentage of all rows (halves to even).
int percentOf(qsizetype done, qsizetype total)
{
    if (total <= 0)
        return 0;
    return static_cast<int>(store::jetRound(static_cast<double>(done) / static_cast<double>(total) * 100.0));
}

}  // namespace

QueryScreen::QueryScreen(shell::AppServices& services, QWidget* parent)
    : QWidget(parent), m_services(services), m_db(services.database()), m_engine(m_db)
{
    setObjectName(QStringLiteral("frmquery"));
    setWindowTitle(QStringLiteral("Query"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_reportHandOver = [this](const reports::ReportFacts& facts, const store::Rows& rows) {
        reports::showQueryReport(facts, rows, this);
    };

    const MenuItemPause pause(services.menuAction(QStringLiteral("Query")));

    auto* left = new QVBoxLayout;
    left->addWidget(buildQueryGroups());
    left->addWidget(buildExchange());
    left->addWidget(buildRangeFilters());
    left->addStretch(1);

    auto* middle = new QVBoxLayout;
    middle->addWidget(buildQueryList(), 1);
    middle->addWidget(buildParameters());

    auto* right = new QVBoxLayout;
    right->addWidget(buildStockSelection(), 1);
    right->addWidget(buildDetails());

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(middle, 3);
    columns->addLayout(right, 2);
    // The range boxes hold numbers of up to ten digits and leave the rest of
    // the room to the lists; the find box keeps room to type a name.
    const int digitWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (const RangeControls& controls : m_ranges)
        for (QLineEdit* box : {controls.low, controls.high})
            box->setFixedWidth(digitWidth * 11);
    m_findText->setMinimumWidth(digitWidth * 12);

    m_viewReport = named(new QPushButton(QStringLiteral("&View Report "), this), QStringLiteral("cmdquery"));
    m_editReport = named(new QPushButton(QStringLiteral("&Edit Report"), this), QStringLiteral("cmdDisplay"));
    connect(m_viewReport, &QPushButton::clicked, this, &QueryScreen::viewReport);
    connect(m_editReport, &QPushButton::clicked, this, &QueryScreen::editReport);
    m_runText = makeBox(QStringLiteral("Text1"), this);
    m_runText->setReadOnly(true);
    m_runProgress = named(new QProgressBar(this), QStringLiteral("RunProgress"));
    m_runText->hide();
    m_runProgress->hide();

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_viewReport);
    bottom->addWidget(m_editReport);
    bottom->addWidget(m_runText, 1);
    bottom->addWidget(m_runProgress);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buildProgress());
    layout->addLayout(bottom);

    resize(980, 620);
    m_secondDate->hide();
    m_secondDateCaption->hide();
    loadLists();
    ui::fitListToItems(m_scripList);
}

QueryScreen::~QueryScreen()
{
    // The grid and its model let go of the rows before they go.
    m_detailsGrid->setModel(nullptr);
    m_detailsModel->setRecordset(nullptr);
}

QWidget* QueryScreen::buildQueryGroups()
{
    auto* frame = named(new QGroupBox(QStringLiteral("Select Type Of Query"), this), QStringLiteral("Frame1"));
    auto* layout = new QVBoxLayout(frame);
    for (const QueryGroup& group : queryGroups()) {
        auto* option = named(new QRadioButton(group.caption, frame), QStringLiteral("Option%1").arg(group.number));
        option->setAutoFillBackground(true);
        QPalette palette = option->palette();
        palette.setColor(QPalette::Window, group.backColour);
        palette.setColor(QPalette::WindowText, Qt::black);
        option->setPalette(palette);
        connect(option, &QRadioButton::toggled, this, [this, number = group.number](bool chosen) {
            if (chosen)
                chooseQueryGroup(number);
        });
        m_groupOptions[group.number - 1] = option;
        layout->addWidget(option);
    }
    return frame;
}

QWidget* QueryScreen::buildQueryList()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeLabel(QStringLiteral("Label5"), QStringLiteral("Select Query"), panel));
    m_queryList = named(new QListWidget(panel), QStringLiteral("listquery"));
    m_queryList->setSelectionMode(QAbstractItemView::SingleSelection);
    // Wide enough for the longest query of any group.
    ui::fitListWidth(m_queryList, catalogueLabels());
    layout->addWidget(m_queryList, 1);
    connect(m_queryList, &QListWidget::currentRowChanged, this, &QueryScreen::setUpChosenQuery);
    connect(m_queryList, &QListWidget::itemDoubleClicked, this, &QueryScreen::viewReport);
    return panel;
}

QWidget* QueryScreen::buildParameters()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    m_firstDateCaption = makeLabel(QStringLiteral("lbltradingdate"), QStringLiteral("Trading Date"), panel);
    m_firstDate = named(new QComboBox(panel), QStringLiteral("cbofirstdate"));
    m_secondDateCaption = makeLabel(QStringLiteral("lblseconddate"), QStringLiteral("Second Date"), panel);
    m_secondDate = named(new QComboBox(panel), QStringLiteral("cboseconddate"));
    m_numberCaption = makeLabel(QStringLiteral("lbldiffper"), kNumberCaptionAtStart, panel);
    m_number = makeBox(QStringLiteral("diffper"), panel);
    m_number2Caption = makeLabel(QStringLiteral("lbldiffper1"), kNumberCaptionAtStart, panel);
    m_number2 = makeBox(QStringLiteral("diffper1"), panel);
    for (QComboBox* box : {m_firstDate, m_secondDate})
        box->setMaxVisibleItems(20);
    for (QLineEdit* box : {m_number, m_number2})
        box->installEventFilter(this);

    grid->addWidget(m_firstDateCaption, 0, 0);
    grid->addWidget(m_firstDate, 0, 1);
    grid->addWidget(m_secondDateCaption, 1, 0);
    grid->addWidget(m_secondDate, 1, 1);
    grid->addWidget(m_numberCaption, 2, 0);
    grid->addWidget(m_number, 2, 1);
    grid->addWidget(m_number2Caption, 3, 0);
    grid->addWidget(m_number2, 3, 1);
    grid->setColumnStretch(1, 1);
    return panel;
}

QWidget* QueryScreen::buildExchange()
{
    auto* frame = named(new QGroupBox(QStringLiteral("Exchange Selection"), this), QStringLiteral("Frame3"));
    auto* layout = new QHBoxLayout(frame);
    m_nse = named(new QRadioButton(QStringLiteral("NSE"), frame), QStringLiteral("OptNSE"));
    m_bse = named(new QRadioButton(QStringLiteral("BSE"), frame), QStringLiteral("OptBSE"));
    m_combine = named(new QRadioButton(QStringLiteral("Combine"), frame), QStringLiteral("OptCombine"));
    m_nse->setChecked(true);
    for (QRadioButton* option : {m_nse, m_bse, m_combine})
        layout->addWidget(option);
    return frame;
}

QWidget* QueryScreen::buildRangeFilters()
{
    static const char* const captions[kRangeMeasureCount] = {"Rate", "Trading Qty", "Delivery Qty", "% Delivery Qty",
                                                             "Trades"};
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int filter = 0; filter < kRangeMeasureCount; ++filter) {
        RangeControls& controls = m_ranges[filter];
        const int lowIndex = 2 * filter;
        const int highIndex = lowIndex + 1;
        controls.check = named(new QCheckBox(QString::fromLatin1(captions[filter]), panel),
                               QStringLiteral("Check%1").arg(filter + 1));
        controls.low = makeBox(QStringLiteral("Text2_%1").arg(lowIndex), panel);
        controls.high = makeBox(QStringLiteral("Text2_%1").arg(highIndex), panel);
        grid->addWidget(controls.check, filter, 0);
        grid->addWidget(makeLabel(QStringLiteral("Label1_%1").arg(lowIndex), QStringLiteral(">="), panel), filter, 1);
        grid->addWidget(controls.low, filter, 2);
        grid->addWidget(makeLabel(QStringLiteral("Label1_%1").arg(highIndex), QStringLiteral("<="), panel), filter, 3);
        grid->addWidget(controls.high, filter, 4);
        for (QLineEdit* box : {controls.low, controls.high}) {
            box->installEventFilter(this);
            box->setEnabled(false);
        }
        if (filter == kTradesFilter) {
            controls.check->setEnabled(false);
            controls.check->setToolTip(kNoTradesTip);
        }
        connect(controls.check, &QCheckBox::toggled, this, [this, filter](bool ticked) {
            if (ticked)
                m_ranges[filter].high->setText(kOpenUpperBound);
            followRangeCheck(filter);
        });
    }
    return panel;
}

QWidget* QueryScreen::buildStockSelection()
{
    auto* frame = named(new QGroupBox(QStringLiteral("Stock Selection"), this), QStringLiteral("Frame2"));
    auto* layout = new QVBoxLayout(frame);
    m_groupList = named(new QComboBox(frame), QStringLiteral("cboGroup"));
    m_scripList = named(new QListWidget(frame), QStringLiteral("cboscript"));
    m_scripList->setSelectionMode(QAbstractItemView::MultiSelection);
    m_scripList->setUniformItemSizes(true);
    m_scripList->setToolTip(QStringLiteral("Select Multiple Script by click"));
    m_findText = makeBox(QStringLiteral("txtFind"), frame);
    auto* find = named(new QPushButton(QStringLiteral("Find"), frame), QStringLiteral("cmdFind"));
    auto* details = named(new QPushButton(QStringLiteral("Details"), frame), QStringLiteral("CmdDetails"));

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(m_findText, 1);
    findRow->addWidget(find);
    findRow->addWidget(details);
    layout->addWidget(m_groupList);
    layout->addWidget(m_scripList, 1);
    layout->addLayout(findRow);

    connect(m_groupList, &QComboBox::currentIndexChanged, this, &QueryScreen::chooseScripGroup);
    connect(m_scripList, &QListWidget::currentRowChanged, this, &QueryScreen::scripClicked);
    connect(m_scripList, &QListWidget::itemDoubleClicked, this, &QueryScreen::scripDoubleClicked);
    connect(find, &QPushButton::clicked, this, &QueryScreen::findScrip);
    connect(details, &QPushButton::clicked, this, &QueryScreen::fillDetails);
    return frame;
}

QWidget* QueryScreen::buildDetails()
{
    m_details = named(new QGroupBox(this), QStringLiteral("FrameGroup"));
    auto* grid = new QGridLayout(m_details);
    m_nseCode = makeBox(QStringLiteral("TxtNseCode"), m_details);
    m_bseCode = makeBox(QStringLiteral("TxtBseCode"), m_details);
    m_nseCode->setReadOnly(true);
    m_bseCode->setReadOnly(true);
    m_detailsGrid = named(new QTableView(m_details), QStringLiteral("DataGrid1"));
    m_detailsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_detailsGrid->setWordWrap(false);
    m_detailsGrid->horizontalHeader()->setSectionsClickable(true);
    m_detailsGrid->horizontalHeader()->setStretchLastSection(true);
    m_detailsModel = new store::RecordsetModel(this);
    m_detailsModel->setRecordset(&m_groupsOfScrip);
    m_detailsGrid->setModel(m_detailsModel);
    connect(m_detailsGrid->horizontalHeader(), &QHeaderView::sectionClicked, this, &QueryScreen::sortDetails);

    grid->addWidget(makeLabel(QStringLiteral("Label2"), QStringLiteral("Nse Code"), m_details), 0, 0);
    grid->addWidget(m_nseCode, 0, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label3"), QStringLiteral("Bse Code"), m_details), 1, 0);
    grid->addWidget(m_bseCode, 1, 1);
    grid->addWidget(makeLabel(QStringLiteral("DataGrid1Caption"), QStringLiteral("Double Click To Sort"), m_details), 2,
                    0, 1, 2);
    grid->addWidget(m_detailsGrid, 3, 0, 1, 2);
    m_details->hide();
    return m_details;
}

QWidget* QueryScreen::buildProgress()
{
    m_loadFrame = named(new QGroupBox(QStringLiteral("Please Wait ....."), this), QStringLiteral("FramePBar"));
    auto* layout = new QHBoxLayout(m_loadFrame);
    m_loadProgress = named(new QProgressBar(m_loadFrame), QStringLiteral("ProgressBar1"));
    m_loadText = makeBox(QStringLiteral("TxtPBar"), m_loadFrame);
    m_loadText->setReadOnly(true);
    layout->addWidget(m_loadProgress, 1);
    layout->addWidget(m_loadText, 1);
    m_loadFrame->hide();
    return m_loadFrame;
}

void QueryScreen::loadLists()
{
    m_loadFrame->show();
    try {
        const store::Rows rows = m_db.query(
            QStringLiteral("select srno, company, nsescrip, bsescrip from scripmaster order by company"));
        m_scrips.clear();
        m_scrips.reserve(rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QVariantList& row = rows.rows.at(i);
            m_scrips.append({row.at(0).toLongLong(), row.at(1).toString(), row.at(2).toString(), row.at(3).toString()});
            showLoadProgress(QStringLiteral("Loading Scrip ....."), i + 1, rows.size());
        }
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The scrips could not be read: %1").arg(error.message()));
    }
    try {
        m_tradingDates = loadTradingDates(m_db);
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The trading dates could not be read: %1").arg(error.message()));
    }
    fillScripList(m_scrips, true);
    for (qsizetype i = 0; i < m_tradingDates.size(); ++i)
        showLoadProgress(QStringLiteral("Loading Transaction Dates ...."), i + 1, m_tradingDates.size());
    fillDateBox(m_firstDate, m_tradingDates);
    fillDateBox(m_secondDate, m_tradingDates);
    const int latest = m_tradingDates.isEmpty() ? -1 : 0;
    m_firstDate->setCurrentIndex(latest);
    m_secondDate->setCurrentIndex(latest);

    m_groupOptions[0]->setChecked(true);
    for (int filter = 0; filter < kRangeMeasureCount; ++filter)
        followRangeCheck(filter);
    m_scripList->setEnabled(true);

    try {
        const store::Rows groups =
            m_db.query(QStringLiteral("Select GroupCode, GroupName from GroupMaster order by groupname"));
        const QSignalBlocker blocker(m_groupList);
        m_groupList->clear();
        for (const QVariantList& row : groups.rows)
            m_groupList->addItem(row.at(1).toString(), row.at(0).toString());
        m_groupList->setCurrentIndex(m_groupList->count() > 0 ? 0 : -1);
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The groups could not be read: %1").arg(error.message()));
    }
    if (m_groupList->count() > 0)
        chooseScripGroup(0);
    m_loadFrame->hide();
}

void QueryScreen::showLoadProgress(const QString& text, qsizetype done, qsizetype total)
{
    // The bar and its text change with each whole percent, not each row.
    const int percent = percentOf(done, total);
    if (done > 1 && percent == percentOf(done - 1, total))
        return;
    m_loadProgress->setRange(0, 100);
    m_loadProgress->setValue(percent);
    m_loadText->setText(text + QString::number(percent) + QLatin1Char('%'));
}

void QueryScreen::chooseQueryGroup(int number)
{
    const QueryGroup& group = queryGroup(number);
    m_group = number;
    if (group.combine == ControlChange::Enable)
        m_combine->setEnabled(true);
    else if (group.combine == ControlChange::Disable && m_combine->isChecked())
        m_nse->setChecked(true);
    if (group.scripList != ControlChange::Unchanged)
        m_scripList->setEnabled(group.scripList == ControlChange::Enable);

    {
        const QSignalBlocker blocker(m_queryList);
        m_queryList->clear();
        m_queryList->addItems(group.labels);
    }
    QPalette palette = m_queryList->palette();
    palette.setColor(QPalette::Base, group.backColour);
    palette.setColor(QPalette::Text, Qt::black);
    m_queryList->setPalette(palette);
    m_queryList->setCurrentRow(0);

    if (group.combine == ControlChange::Disable)
        m_combine->setEnabled(false);
    if (group.rangeFilters != ControlChange::Unchanged) {
        for (int filter = 0; filter < kRangeMeasureCount; ++filter) {
            m_ranges[filter].check->setEnabled(group.rangeFilters == ControlChange::Enable && filter != kTradesFilter);
            followRangeCheck(filter);
        }
    }
}

QString QueryScreen::chosenLabel() const
{
    const QListWidgetItem* item = m_queryList->currentItem();
    return item ? item->text() : QString();
}

void QueryScreen::setUpChosenQuery()
{
    if (m_group < 1 || !m_queryList->currentItem())
        return;
    applySetup(setUpParameters(m_group, chosenLabel(), parameterFields(), m_tradingDates));
}

void QueryScreen::applySetup(const ParameterSetup& setup)
{
    const ParameterFields& fields = setup.fields;
    selectDate(m_secondDate, fields.secondDate);
    m_secondDate->setHidden(!fields.secondDateShown);
    m_secondDateCaption->setHidden(!fields.secondDateShown);
    applyNumber(m_numberCaption, m_number, fields.number);
    applyNumber(m_number2Caption, m_number2, fields.number2);

    if (setup.disableRangeFilters) {
        for (int filter = 0; filter < kRangeMeasureCount; ++filter) {
            m_ranges[filter].check->setEnabled(false);
            followRangeCheck(filter);
        }
    }
    for (const RangePreset& preset : setup.rangePresets) {
        const RangeControls& controls = m_ranges[static_cast<int>(preset.measure)];
        controls.check->setChecked(true);
        controls.low->setText(preset.lowText);
    }
    if (setup.chooseCombine)
        m_combine->setChecked(true);
    if (!setup.groupName.isEmpty()) {
        const int index = m_groupList->findText(setup.groupName, Qt::MatchFixedString);
        if (index >= 0)
            m_groupList->setCurrentIndex(index);
    }
}

ParameterFields QueryScreen::parameterFields() const
{
    ParameterFields fields;
    fields.firstDate = chosenDate(m_firstDate);
    fields.secondDate = chosenDate(m_secondDate);
    fields.secondDateShown = !m_secondDate->isHidden();
    fields.number = readNumber(m_numberCaption, m_number);
    fields.number2 = readNumber(m_number2Caption, m_number2);
    return fields;
}

RunInputs QueryScreen::readInputs() const
{
    RunInputs inputs;
    inputs.group = m_group;
    inputs.label = chosenLabel();
    inputs.firstDate = chosenDate(m_firstDate);
    inputs.secondDate = chosenDate(m_secondDate);
    inputs.numberText = m_number->text();
    inputs.number2Text = m_number2->text();
    inputs.exchange = m_combine->isChecked() ? Exchange::Combined : m_bse->isChecked() ? Exchange::Bse : Exchange::Nse;
    inputs.groupCode = m_groupCode;
    inputs.groupName = m_groupList->currentText();
    // An unavailable scrip list or range filter does not apply to the query
    // chosen, whatever it still shows.
    if (m_scripList->isEnabled()) {
        for (int row = 0; row < m_scripList->count(); ++row) {
            const QListWidgetItem* item = m_scripList->item(row);
            const QVariant srno = item->data(Qt::UserRole);
            if (item->isSelected() && srno.isValid())
                inputs.scripCodes.append(srno.toLongLong());
        }
    }
    if (const QListWidgetItem* current = m_scripList->currentItem())
        inputs.scripText = current->text();
    for (int filter = 0; filter < kRangeMeasureCount; ++filter) {
        const RangeControls& controls = m_ranges[filter];
        const bool ticked = controls.check->isEnabled() && controls.check->isChecked();
        inputs.ranges[filter] = rangeFromBoxes(ticked, controls.low->text(), controls.high->text());
    }
    inputs.optionPath = m_services.optionPath();
    inputs.dataFolder = m_services.dataFolder();
    return inputs;
}

void QueryScreen::chooseScripGroup(int index)
{
    if (index < 0)
        return;
    m_groupCode = m_groupList->itemData(index).toString();
    QList<Scrip> members;
    try {
        const store::Rows rows =
            m_db.query(QStringLiteral("Select company, srno from ScripMaster Where Exists(Select ScrCode From LinkDetails "
                                      "Where GrpCode = ? And ScrCode = srno) order by company"),
                       {m_groupCode});
        members.reserve(rows.size());
        for (const QVariantList& row : rows.rows)
            members.append({row.at(1).toLongLong(), row.at(0).toString(), {}, {}});
    } catch (const store::StoreError& error) {
        ui::prompt().warn(error.message());
    }
    fillScripList(members, false);
}

void QueryScreen::fillScripList(const QList<Scrip>& scrips, bool withAll)
{
    const QSignalBlocker blocker(m_scripList);
    m_scripList->clear();
    if (withAll)
        m_scripList->addItem(QStringLiteral("ALL"));
    for (const Scrip& scrip : scrips) {
        auto* item = new QListWidgetItem(scrip.company);
        item->setData(Qt::UserRole, scrip.srno);
        m_scripList->addItem(item);
    }
}

void QueryScreen::scripClicked()
{
    if (!m_details->isHidden())
        fillDetails();
}

void QueryScreen::scripDoubleClicked()
{
    if (!m_details->isHidden()) {
        m_details->hide();
        return;
    }
    m_details->show();
    fillDetails();
}

void QueryScreen::fillDetails()
{
    const QListWidgetItem* item = m_scripList->currentItem();
    const QVariant srno = item ? item->data(Qt::UserRole) : QVariant();
    const Scrip* scrip = nullptr;
    if (srno.isValid()) {
        for (const Scrip& candidate : m_scrips) {
            if (candidate.srno == srno.toLongLong()) {
                scrip = &candidate;
                break;
            }
        }
    }
    // "ALL", no scrip, or one that is no longer stored: nothing to show.
    m_nseCode->setText(scrip ? scrip->nseCode : QString());
    m_bseCode->setText(scrip ? scrip->bseCode : QString());
    m_details->setTitle(scrip ? scrip->company : QString());
    store::Recordset groups;
    if (scrip && scrip->srno != 0) {
        try {
            groups = store::Recordset::fromQuery(
                m_db,
                QStringLiteral(" SELECT GroupMaster.GroupName FROM GroupMaster INNER JOIN LinkDetails ON "
                               "GroupMaster.GroupCode = LinkDetails.GrpCode where ScrCode = ? "),
                {scrip->srno});
        } catch (const store::StoreError& error) {
            ui::prompt().warn(error.message());
        }
    }
    m_groupsOfScrip = std::move(groups);
    m_detailsModel->reset();
}

void QueryScreen::sortDetails(int column)
{
    if (column < 0 || column >= m_groupsOfScrip.fieldCount())
        return;
    if (const auto key = m_detailsSort.click(m_groupsOfScrip.fields().at(column).name)) {
        m_groupsOfScrip.setSort({*key});
        m_detailsModel->reset();
    }
}

void QueryScreen::findScrip()
{
    // A scrip can only be picked where the list is available.
    if (!m_scripList->isEnabled())
        return;
    const QString typed = m_findText->text();
    // The first name that begins with the typed text, without regard to case.
    for (int row = 0; row < m_scripList->count(); ++row) {
        QListWidgetItem* item = m_scripList->item(row);
        if (masters::likeMatches(item->text(), typed + QLatin1Char('*'))) {
            m_scripList->setCurrentItem(item, QItemSelectionModel::Select);
            m_scripList->scrollToItem(item);
            m_scripList->setFocus();
            return;
        }
    }
    // Otherwise the scrip of that BSE code, then of that NSE code.
    const QString code = typed.trimmed();
    if (code.isEmpty())
        return;
    for (const auto codeOf : {&Scrip::bseCode, &Scrip::nseCode}) {
        for (const Scrip& scrip : m_scrips) {
            if ((scrip.*codeOf).compare(code, Qt::CaseInsensitive) == 0) {
                if (selectScrip(scrip.srno))
                    return;
                break;
            }
        }
    }
}

bool QueryScreen::selectScrip(qint64 srno)
{
    for (int row = 0; row < m_scripList->count(); ++row) {
        QListWidgetItem* item = m_scripList->item(row);
        const QVariant code = item->data(Qt::UserRole);
        if (code.isValid() && code.toLongLong() == srno) {
            m_scripList->setCurrentItem(item, QItemSelectionModel::Select);
            m_scripList->scrollToItem(item);
            m_scripList->setFocus();
            return true;
        }
    }
    return false;
}

void QueryScreen::followRangeCheck(int filter)
{
    const RangeControls& controls = m_ranges[filter];
    const bool applies = controls.check->isEnabled() && controls.check->isChecked();
    controls.low->setEnabled(applies);
    controls.high->setEnabled(applies);
}

bool QueryScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Switching windows or opening a menu is no leaving of the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            reason != Qt::MenuBarFocusReason) {
            if (auto* box = qobject_cast<QLineEdit*>(watched))
                boxLeft(box);
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool QueryScreen::isRefused(QLineEdit* box) const
{
    if (box->isHidden() || !box->isEnabled())
        return false;
    if (box == m_number || box == m_number2)
        return !isNumberText(box->text());
    // A range bound may be left empty: it then sets no limit.
    return !box->text().trimmed().isEmpty() && !isNumberText(box->text());
}

void QueryScreen::boxLeft(QLineEdit* box)
{
    if (m_refusalPending)
        return;
    if (!isRefused(box)) {
        if (box == m_number && secondDateFollowsDays(chosenLabel()))
            selectDate(m_secondDate, windowStartDate(chosenDate(m_firstDate), m_number->text(), m_tradingDates));
        return;
    }
    // The focus goes back once the move that left the box is over.
    m_refusalPending = true;
    QTimer::singleShot(0, this, [this, box = QPointer<QLineEdit>(box)] {
        m_refusalPending = false;
        QWidget* focus = QApplication::focusWidget();
        if (!box || !isRefused(box) || (focus && focus != this && !isAncestorOf(focus)))
            return;
        refuseEntry(box, true);
    });
}

void QueryScreen::refuseEntry(QLineEdit* box, bool tellUser)
{
    if (tellUser && (box == m_number || box == m_number2))
        ui::prompt().show(ui::Message::fromStyle(kEnterNumbers, 0));
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

bool QueryScreen::entriesAllowRun()
{
    // A box being refused right now says so itself.
    if (m_refusalPending)
        return false;
    QList<QLineEdit*> boxes{m_number, m_number2};
    for (const RangeControls& controls : m_ranges)
        boxes << controls.low << controls.high;
    for (QLineEdit* box : boxes) {
        if (isRefused(box)) {
            // Leaving the box for the button has just said why.
            refuseEntry(box, QApplication::focusWidget() != box);
            return false;
        }
    }
    return true;
}

std::optional<CompletedRun> QueryScreen::runChosenQuery()
{
    if (!entriesAllowRun())
        return std::nullopt;
    const RunInputs inputs = readInputs();
    const reports::QueryParameter firstParameter{m_numberCaption->text(), m_number->text()};
    const reports::QueryParameter secondParameter{m_number2Caption->text(), m_number2->text()};

    RunOutcome outcome;
    {
        const WaitCursor wait;
        m_runText->clear();
        m_runProgress->setRange(0, 0);
        m_runText->show();
        m_runProgress->show();
        QElapsedTimer sinceRepaint;
        sinceRepaint.start();
        outcome = m_engine.run(inputs, [this, &sinceRepaint](const QString& text, int done, int total) {
            showRunProgress(text, done, total);
            if (sinceRepaint.elapsed() >= 50) {
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                sinceRepaint.restart();
            }
        });
        m_runText->hide();
        m_runProgress->hide();
    }
    if (outcome.completed()) {
        shell::sharedState().lastQuerySql = outcome.lastQuerySql;
        const reports::ReportFacts facts = reportFacts(outcome.state, firstParameter, secondParameter);
        return CompletedRun{std::move(outcome), facts};
    }
    if (!outcome.message.isEmpty()) {
        ui::Message message;
        message.text = outcome.message;
        message.icon = outcome.icon;
        ui::prompt().show(message);
    }
    return std::nullopt;
}

void QueryScreen::showRunProgress(const QString& text, int done, int total)
{
    m_runText->setText(text);
    if (total > 0) {
        m_runProgress->setRange(0, total);
        m_runProgress->setValue(std::min(done, total));
    } else {
        m_runProgress->setRange(0, 0);
    }
}

void QueryScreen::editReport()
{
    if (const auto run = runChosenQuery())
        viewer::showResult(m_services, run->outcome.viewerSelect, run->facts);
}

void QueryScreen::viewReport()
{
    if (const auto run = runChosenQuery())
        m_reportHandOver(run->facts, run->outcome.rows);
}

}  // namespace query
