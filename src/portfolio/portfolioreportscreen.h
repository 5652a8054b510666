#pragma once

#include "portfolio/lookupdialog.h"
#include "portfolio/valuation.h"
#include "reports/portfolioreport.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace portfolio {

// What the report screen's controls ask for.
struct ReportChoice {
    ValuationRequest request;
    reports::PortfolioLayout layout = reports::PortfolioLayout::PortfolioDetail;
};

// "Portfolio Report": values the holdings at a chosen trading day's closing
// prices, for every portfolio or one, every scrip or one, by portfolio, by
// scrip or by sector, as a summary or in detail. Print shows the report and
// closes the screen.
class PortfolioReportScreen : public QWidget {
    Q_OBJECT
public:
    using ReportShower = std::function<void(const reports::ReportDocument&)>;

    // `showReport` shows the finished report; by default its print preview,
    // maximised.
    PortfolioReportScreen(store::Database& db, LookupRunner lookup, ReportShower showReport = {},
                          QWidget* parent = nullptr);

    void CmdPortfolio_Click();
    void CmdScript_Click();
    void CmdPrint_Click();
    // The choice the controls hold now.
    ReportChoice choice() const;

    QComboBox* dateList() const { return m_dates; }
    QRadioButton* option(const QString& name) const;
    QGroupBox* kindFrame() const { return m_frame2; }

private:
    void OptPortfolio_Click();
    void OptSector_Click();

    store::Database& m_db;
    LookupRunner m_lookup;
    ReportShower m_showReport;
    QLineEdit* m_portfolio = nullptr;
    QLineEdit* m_portfolioCode = nullptr;
    QLineEdit* m_scrip = nullptr;
    QLineEdit* m_scripCode = nullptr;
    QComboBox* m_dates = nullptr;
    QRadioButton* m_optPortfolio = nullptr;
    QRadioButton* m_optScript = nullptr;
    QRadioButton* m_optSector = nullptr;
    QGroupBox* m_frame2 = nullptr;
    QRadioButton* m_optDetail = nullptr;
    QRadioButton* m_optSummary = nullptr;
    QCheckBox* m_chart = nullptr;
    QList<QDate> m_days;
};

}  // namespace portfolio
