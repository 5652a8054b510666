#include "query/queryscreen.h"

#include "query/catalogue.h"
#include "query/parameterpanel.h"
#include "query/querylists.h"
#include "query/querywidgets.h"
#include "query/rangefilterpanel.h"
#include "query/scripselectionpanel.h"
#include "query/tradingcalendar.h"
#include "reports/reportpreview.h"
#include "shell/appservices.h"
#include "store/jetfunctions.h"
#include "store/storeerror.h"
#include "ui/prompt.h"
#include "ui/viewfit.h"
#include "viewer/resultviewer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace query {

namespace {

const QString kEnterNumbers = QStringLiteral("Enter Nos. Only");

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

// Rows read as a whole percentage of all rows (halves to even).
int percentOf(qsizetype done, qsizetype total)
{
    if (total <= 0)
        return 0;
    return static_cast<int>(store::jetRound(static_cast<double>(done) / static_cast<double>(total) * 100.0));
}

}  // namespace

QueryScreen::QueryScreen(shell::AppServices& services, QWidget* parent)
    : QWidget(parent), m_services(services), m_db(services.database())
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
    m_ranges = new RangeFilterPanel(this);
    left->addWidget(m_ranges);
    left->addStretch(1);

    auto* middle = new QVBoxLayout;
    middle->addWidget(buildQueryList(), 1);
    m_parameters = new ParameterPanel(this);
    middle->addWidget(m_parameters);

    m_scrips = new ScripSelectionPanel(m_db, this);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(middle, 3);
    columns->addWidget(m_scrips, 2);

    // Leaving a number box or a range bound box checks what it holds.
    QList<QLineEdit*> checkedBoxes = m_ranges->boundBoxes();
    checkedBoxes << m_parameters->numberBox() << m_parameters->number2Box();
    for (QLineEdit* box : checkedBoxes)
        box->installEventFilter(this);
    // A click on a range filter while a box is being refused is part of the
    // move the refusal cancels.
    for (QCheckBox* check : m_ranges->checkBoxes())
        check->installEventFilter(this);

    m_viewReport = named(new QPushButton(QStringLiteral("&View Report "), this), QStringLiteral("cmdquery"));
    m_editReport = named(new QPushButton(QStringLiteral("&Edit Report"), this), QStringLiteral("cmdDisplay"));
    connect(m_viewReport, &QPushButton::clicked, this, &QueryScreen::viewReport);
    connect(m_editReport, &QPushButton::clicked, this, &QueryScreen::editReport);
    auto* runText = makeBox(QStringLiteral("Text1"), this);
    runText->setReadOnly(true);
    auto* runProgress = named(new QProgressBar(this), QStringLiteral("RunProgress"));
    runText->hide();
    runProgress->hide();
    m_runner.emplace(m_db, runText, runProgress);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_viewReport);
    bottom->addWidget(m_editReport);
    bottom->addWidget(runText, 1);
    bottom->addWidget(runProgress);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buildProgress());
    layout->addLayout(bottom);

    resize(980, 620);
    loadLists();
    m_scrips->fitListToItems();
}

QueryScreen::~QueryScreen() = default;

QWidget* QueryScreen::buildQueryGroups()
{
    auto* frame = named(new QGroupBox(QStringLiteral("Select Type Of Query"), this), QStringLiteral("Frame1"));
    auto* layout = new QVBoxLayout(frame);
    for (const QueryGroup& group : queryGroups()) {
        auto* option = named(new QRadioButton(group.caption, frame), QStringLiteral("Option%1").arg(group.number));
        // The button fills its back with the group's colour: a button's
        // background role is otherwise Button, which the styles paint grey.
        option->setAutoFillBackground(true);
        option->setBackgroundRole(QPalette::Window);
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
    QList<ListedScrip> scrips;
    try {
        scrips = readListedScrips(m_db, [this](qsizetype done, qsizetype total) {
            showLoadProgress(QStringLiteral("Loading Scrip ....."), done, total);
        });
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The scrips could not be read: %1").arg(error.message()));
    }
    try {
        m_tradingDates = loadTradingDates(m_db);
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The trading dates could not be read: %1").arg(error.message()));
    }
    m_scrips->setScrips(std::move(scrips));
    for (qsizetype i = 0; i < m_tradingDates.size(); ++i)
        showLoadProgress(QStringLiteral("Loading Transaction Dates ...."), i + 1, m_tradingDates.size());
    m_parameters->setDates(m_tradingDates);

    m_groupOptions[0]->setChecked(true);
    m_ranges->followChecks();
    m_scrips->setListAvailable(true);

    try {
        m_scrips->setGroups(readListedGroups(m_db));
    } catch (const store::StoreError& error) {
        ui::prompt().warn(QStringLiteral("The groups could not be read: %1").arg(error.message()));
    }
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
        m_scrips->setListAvailable(group.scripList == ControlChange::Enable);

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
    if (group.rangeFilters != ControlChange::Unchanged)
        m_ranges->setAvailable(group.rangeFilters == ControlChange::Enable);
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
    m_parameters->apply(setup.fields);
    if (setup.disableRangeFilters)
        m_ranges->setAvailable(false);
    for (const RangePreset& preset : setup.rangePresets)
        m_ranges->applyPreset(preset);
    if (setup.chooseCombine)
        m_combine->setChecked(true);
    if (!setup.groupName.isEmpty())
        m_scrips->chooseGroupNamed(setup.groupName);
}

ParameterFields QueryScreen::parameterFields() const
{
    return m_parameters->fields();
}

RunInputs QueryScreen::readInputs() const
{
    const ParameterFields fields = m_parameters->fields();
    RunInputs inputs;
    inputs.group = m_group;
    inputs.label = chosenLabel();
    inputs.firstDate = fields.firstDate;
    inputs.secondDate = fields.secondDate;
    inputs.numberText = fields.number.text;
    inputs.number2Text = fields.number2.text;
    inputs.exchange = m_combine->isChecked() ? Exchange::Combined : m_bse->isChecked() ? Exchange::Bse : Exchange::Nse;
    inputs.groupCode = m_scrips->groupCode();
    inputs.groupName = m_scrips->groupName();
    // An unavailable scrip list or range filter does not apply to the query
    // chosen, whatever it still shows.
    inputs.scripCodes = m_scrips->pickedScrips();
    inputs.scripText = m_scrips->currentScripText();
    inputs.ranges = m_ranges->ranges();
    inputs.optionPath = m_services.optionPath();
    inputs.dataFolder = m_services.dataFolder();
    return inputs;
}

bool QueryScreen::eventFilter(QObject* watched, QEvent* event)
{
    // The press that took the focus from a refused box neither ticks nor
    // clears the filter (on its square or its caption alike).
    if (m_refusalPending && qobject_cast<QCheckBox*>(watched) &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick))
        return true;
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

bool QueryScreen::isNumberBox(const QLineEdit* box) const
{
    return box == m_parameters->numberBox() || box == m_parameters->number2Box();
}

bool QueryScreen::isRefused(QLineEdit* box) const
{
    if (box->isHidden() || !box->isEnabled())
        return false;
    // A number box and a range bound alike hold a number; an empty text is
    // no number.
    return !isNumberText(box->text());
}

void QueryScreen::boxLeft(QLineEdit* box)
{
    if (m_refusalPending)
        return;
    if (!isRefused(box)) {
        QLineEdit* days = m_parameters->numberBox();
        if (box == days && secondDateFollowsDays(chosenLabel()))
            m_parameters->showSecondDate(windowStartDate(m_parameters->firstDate(), days->text(), m_tradingDates));
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
    if (tellUser && isNumberBox(box))
        ui::prompt().show(ui::Message::fromStyle(kEnterNumbers, 0));
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

bool QueryScreen::entriesAllowRun()
{
    // A box being refused right now says so itself.
    if (m_refusalPending)
        return false;
    QList<QLineEdit*> boxes{m_parameters->numberBox(), m_parameters->number2Box()};
    boxes << m_ranges->boundBoxes();
    for (QLineEdit* box : boxes) {
        if (isRefused(box)) {
            // Leaving the box for the button has just said why.
            refuseEntry(box, QApplication::focusWidget() != box);
            return false;
        }
    }
    return true;
}

std::optional<CompletedRun> QueryScreen::runChosenQuery(bool readRows)
{
    if (!entriesAllowRun())
        return std::nullopt;
    const RunInputs inputs = readInputs();
    const reports::QueryParameter firstParameter{m_parameters->numberCaption(), m_parameters->numberBox()->text()};
    const reports::QueryParameter secondParameter{m_parameters->number2Caption(), m_parameters->number2Box()->text()};
    return m_runner->run(inputs, firstParameter, secondParameter, readRows);
}

void QueryScreen::editReport()
{
    if (const auto run = runChosenQuery(false))
        viewer::showResult(m_services, run->outcome.viewerSelect, run->facts);
}

void QueryScreen::viewReport()
{
    if (const auto run = runChosenQuery(true))
        m_reportHandOver(run->facts, run->outcome.rows);
}

}  // namespace query
