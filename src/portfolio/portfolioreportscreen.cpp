#include "portfolio/portfolioreportscreen.h"

#include "portfolio/transactions.h"
#include "reports/reportpreview.h"
#include "store/datetext.h"
#include "store/storeerror.h"
#include "ui/prompt.h"
#include "viewer/chartrender.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace portfolio {

namespace {

QRadioButton* makeOption(const QString& name, const QString& caption, QWidget* parent)
{
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(name);
    return option;
}

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

// A bold face of `family` at `points`; where the machine lacks the family,
// the nearest sans-serif face it has.
QFont boldFont(const QString& family, qreal points)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

std::optional<qint64> chosenCode(const QLineEdit* name, const QLineEdit* code)
{
    // A name typed without the look-up asks for the code 0, which no row has.
    if (name->text().isEmpty())
        return std::nullopt;
    return static_cast<qint64>(cellNumber(code->text()));
}

// The sector chart under the sector-wise report: a bar of net market value
// per sector.
reports::ReportPicture sectorChart(const QList<reports::SectorValue>& sectors)
{
    viewer::ChartPicture chart;
    chart.look.type = viewer::ChartType::Bar2D;
    viewer::ChartSeriesData values;
    values.name = QStringLiteral("Net Market Value");
    for (const reports::SectorValue& sector : sectors) {
        chart.data.categories.append(sector.sector);
        values.values.append(sector.value);
    }
    chart.data.series.append(values);
    reports::ReportPicture picture;
    picture.heightInches = 3.5;
    picture.paint = [chart](QPainter& painter, const QRectF& place) {
        // Laid out as on a screen 900 pixels wide, in the place's shape.
        const double width = 900.0;
        viewer::paintChart(painter, place, chart, QSizeF(width, width * place.height() / place.width()));
    };
    return picture;
}

}  // namespace

PortfolioReportScreen::PortfolioReportScreen(store::Database& db, LookupRunner lookup,
                                             ReportWindowMaker makeReportWindow, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_db(db), m_lookup(std::move(lookup)), m_makeReportWindow(std::move(makeReportWindow))
{
    setObjectName(QStringLiteral("FrmPortfolioReport"));
    setWindowTitle(QStringLiteral("Portfolio Report"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (!m_lookup)
        m_lookup = dialogLookup(db, this);
    if (!m_makeReportWindow)
        m_makeReportWindow = [](const reports::ReportDocument& document) {
            return reports::reportPreview(document, nullptr);
        };

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_portfolio = new QLineEdit(frame);
    m_portfolio->setObjectName(QStringLiteral("TxtPortfolio"));
    auto* portfolioButton = new QPushButton(QStringLiteral("..."), frame);
    portfolioButton->setObjectName(QStringLiteral("CmdPortfolio"));
    m_portfolioCode = new QLineEdit(frame);
    m_portfolioCode->setObjectName(QStringLiteral("TxtPortfolioCd"));
    m_portfolioCode->hide();
    m_scrip = new QLineEdit(frame);
    m_scrip->setObjectName(QStringLiteral("TxtScriptnm"));
    auto* scripButton = new QPushButton(QStringLiteral("..."), frame);
    scripButton->setObjectName(QStringLiteral("CmdScript"));
    m_scripCode = new QLineEdit(frame);
    m_scripCode->setObjectName(QStringLiteral("TxtScriptcd"));
    m_scripCode->hide();
    m_dates = new QComboBox(frame);
    m_dates->setObjectName(QStringLiteral("cbofirstdate"));

    auto* frame3 = new QGroupBox(frame);
    frame3->setObjectName(QStringLiteral("Frame3"));
    m_optPortfolio = makeOption(QStringLiteral("OptPortfolio"), QStringLiteral("Portfolio Wise"), frame3);
    m_optScript = makeOption(QStringLiteral("OptScript"), QStringLiteral("Script Wise"), frame3);
    m_optSector = makeOption(QStringLiteral("OptSector"), QStringLiteral("Sector Wise"), frame3);
    auto* groupingRow = new QHBoxLayout(frame3);
    groupingRow->addWidget(m_optPortfolio);
    groupingRow->addWidget(m_optScript);
    groupingRow->addWidget(m_optSector);

    m_frame2 = new QGroupBox(frame);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    // Hidden for Sector Wise, it keeps its place: nothing else moves or grows.
    QSizePolicy kindPolicy = m_frame2->sizePolicy();
    kindPolicy.setRetainSizeWhenHidden(true);
    m_frame2->setSizePolicy(kindPolicy);
    m_optDetail = makeOption(QStringLiteral("OptDetail"), QStringLiteral("Detail"), m_frame2);
    m_optSummary = makeOption(QStringLiteral("OptSummary"), QStringLiteral("Summary"), m_frame2);
    // Sector Wise clears both kinds, so they are not kept exclusive by Qt.
    m_optDetail->setAutoExclusive(false);
    m_optSummary->setAutoExclusive(false);
    auto* kindRow = new QHBoxLayout(m_frame2);
    kindRow->addWidget(m_optDetail);
    kindRow->addWidget(m_optSummary);

    m_chart = new QCheckBox(QStringLiteral("View Chart"), frame);
    m_chart->setObjectName(QStringLiteral("ChkChart"));
    auto* print = new QPushButton(QStringLiteral("&Print"), frame);
    print->setObjectName(QStringLiteral("CmdPrint"));

    auto* portfolioLabel = makeLabel(QStringLiteral("Label9"), QStringLiteral("Portfolio :"), frame);
    auto* scripLabel = makeLabel(QStringLiteral("Label1"), QStringLiteral("Script :"), frame);
    auto* dateLabel = makeLabel(QStringLiteral("Label2"), QStringLiteral("Valuation Date"), frame);

    const QFont choiceFont = boldFont(QStringLiteral("Verdana"), 8.25);
    for (QWidget* control : std::initializer_list<QWidget*>{m_optPortfolio, m_optScript, m_optSector, m_optDetail,
                                                            m_optSummary, m_chart, print, dateLabel})
        control->setFont(choiceFont);
    const QFont entryFont = boldFont(QStringLiteral("Arial"), 9.75);
    for (QWidget* control : std::initializer_list<QWidget*>{m_portfolio, m_portfolioCode, m_scrip, m_scripCode,
                                                            portfolioLabel, scripLabel})
        control->setFont(entryFont);

    auto* grid = new QGridLayout(frame);
    grid->addWidget(portfolioLabel, 0, 0);
    grid->addWidget(m_portfolio, 0, 1, 1, 2);
    grid->addWidget(portfolioButton, 0, 3);
    grid->addWidget(scripLabel, 1, 0);
    grid->addWidget(m_scrip, 1, 1, 1, 2);
    grid->addWidget(scripButton, 1, 3);
    grid->addWidget(dateLabel, 2, 0);
    grid->addWidget(m_dates, 2, 1);
    grid->addWidget(frame3, 3, 0, 1, 4);
    grid->addWidget(m_frame2, 4, 0, 1, 2);
    grid->addWidget(m_chart, 5, 0);
    grid->addWidget(print, 5, 2, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    // A fixed border: the window keeps the size its controls need.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(portfolioButton, &QPushButton::clicked, this, &PortfolioReportScreen::CmdPortfolio_Click);
    connect(scripButton, &QPushButton::clicked, this, &PortfolioReportScreen::CmdScript_Click);
    connect(print, &QPushButton::clicked, this, &PortfolioReportScreen::CmdPrint_Click);
    connect(m_optPortfolio, &QRadioButton::clicked, this, &PortfolioReportScreen::OptPortfolio_Click);
    connect(m_optScript, &QRadioButton::clicked, this, &PortfolioReportScreen::OptPortfolio_Click);
    connect(m_optSector, &QRadioButton::clicked, this, &PortfolioReportScreen::OptSector_Click);
    connect(m_optDetail, &QRadioButton::clicked, this, [this] {
        m_optDetail->setChecked(true);
        m_optSummary->setChecked(false);
    });
    connect(m_optSummary, &QRadioButton::clicked, this, [this] {
        m_optSummary->setChecked(true);
        m_optDetail->setChecked(false);
    });

    m_optPortfolio->setChecked(true);
    m_optDetail->setChecked(true);
    try {
        m_days = tradingDays(db);
    } catch (const store::StoreError& error) {
        ui::prompt().show(ui::Message::fromStyle(error.message(), 0));
    }
    for (const QDate& day : m_days)
        m_dates->addItem(datetext::toDisplay(day));
    if (!m_days.isEmpty())
        m_dates->setCurrentIndex(0);

    // In the middle of the screen, whatever the window system would choose.
    ensurePolished();
    layout->activate();
    move(screen()->availableGeometry().center() - rect().center());
}

QRadioButton* PortfolioReportScreen::option(const QString& name) const
{
    return findChild<QRadioButton*>(name);
}

void PortfolioReportScreen::OptPortfolio_Click()
{
    m_frame2->setVisible(true);
    m_optDetail->setChecked(true);
    m_optSummary->setChecked(false);
}

void PortfolioReportScreen::OptSector_Click()
{
    m_frame2->setVisible(false);
    m_optDetail->setChecked(false);
    m_optSummary->setChecked(false);
}

void PortfolioReportScreen::CmdPortfolio_Click()
{
    const QStringList chosen = m_lookup(portfolioLookupSql(), portfolioLookupTypes());
    m_portfolio->setText(chosen.value(0));
    m_portfolioCode->setText(chosen.value(1));
}

void PortfolioReportScreen::CmdScript_Click()
{
    const QStringList chosen = m_lookup(scripLookupSql(), scripLookupTypes());
    m_scrip->setText(chosen.value(0));
    m_scripCode->setText(chosen.value(1));
}

ReportChoice PortfolioReportScreen::choice() const
{
    ReportChoice choice;
    ValuationRequest& request = choice.request;
    const int dayIndex = m_dates->currentIndex();
    request.day = dayIndex >= 0 && dayIndex < m_days.size() ? m_days.at(dayIndex) : QDate();
    request.portfolioCode = chosenCode(m_portfolio, m_portfolioCode);
    request.scripCode = chosenCode(m_scrip, m_scripCode);
    const bool byScrip = m_optScript->isChecked();
    request.order = byScrip ? ValuationOrder::ScriptWise : ValuationOrder::PortfolioWise;
    if (m_optSector->isChecked()) {
        request.kind = ValuationKind::SectorWise;
        choice.layout = reports::PortfolioLayout::Sector;
    } else if (m_optSummary->isChecked()) {
        request.kind = ValuationKind::Summary;
        choice.layout = byScrip ? reports::PortfolioLayout::ScriptSummary : reports::PortfolioLayout::PortfolioSummary;
    } else {
        request.kind = ValuationKind::Detail;
        choice.layout = byScrip ? reports::PortfolioLayout::ScriptDetail : reports::PortfolioLayout::PortfolioDetail;
    }
    return choice;
}

void PortfolioReportScreen::CmdPrint_Click()
{
    const ReportChoice chosen = choice();
    reports::ReportDocument document;
    try {
        const store::Rows rows = valuationRows(m_db, chosen.request);
        document = reports::buildPortfolioReport(chosen.layout, rows, chosen.request.day, QDate::currentDate());
        if (chosen.layout == reports::PortfolioLayout::Sector && m_chart->isChecked())
            document.closingPicture = sectorChart(reports::sectorValues(rows));
    } catch (const store::StoreError& error) {
        ui::prompt().show(ui::Message::fromStyle(error.message(), 0));
        return;
    }
    showReport(document);
}

void PortfolioReportScreen::showReport(const reports::ReportDocument& document)
{
    // The report window is modal and maximised: this screen and the main
    // window take no input until the user closes it.
    QDialog* window = m_makeReportWindow(document);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    connect(window, &QDialog::finished, this, &PortfolioReportScreen::reportClosed);
    // As large as the screen also where no window manager maximises it.
    window->setGeometry(screen()->availableGeometry());
    window->showMaximized();
}

void PortfolioReportScreen::reportClosed()
{
    // Each report ends the screen's visit; its choices go first.
    for (QLineEdit* box : {m_scripCode, m_scrip, m_portfolio, m_portfolioCode})
        box->clear();
    close();
}

}  // namespace portfolio
