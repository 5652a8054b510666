#pragma once

#include "portfolio/lookupdialog.h"
#include "portfolio/valuation.h"
#include "reports/portfolioreport.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QDialog;
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
// scrip or by sector, as a summary or in detail. A window of its own, of a
// fixed size, in the middle of the screen. Print shows the report in a modal
// window and waits: when the user closes the report, the screen empties its
// choices and closes.
class PortfolioReportScreen : public QWidget {
    Q_OBJECT
public:
    // Makes the window that shows a finished report, not yet shown; the
    // screen shows it. By default the report's print preview.
    using ReportWindowMaker = std::function<QDialog*(const reports::ReportDocument&)>;

    PortfolioReportScreen(store::Database& db, LookupRunner lookup, ReportWindowMaker makeReportWindow = {},
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
    void showReport(const reports::ReportDocument& document);
    void reportClosed();

    store::Database& m_db;
    LookupRunner m_lookup;
    ReportWindowMaker m_makeReportWindow;
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
