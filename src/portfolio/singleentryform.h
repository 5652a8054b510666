#pragma once

#include "masters/masterform.h"
#include "portfolio/lookupdialog.h"

#include <QDate>

class QComboBox;
class QDateEdit;
class QPushButton;
class QRadioButton;

namespace ui {
class CheckNum;
}

namespace portfolio {

// "Portfolio Manager": transactions entered one at a time, each a row of
// PortfolioManager marked "Buy" or "Sell" (chosen as "B" or "S"), its scrip chosen by NSE or BSE code or
// through the look-up, its portfolio through the look-up. A new entry starts
// with the scrip and portfolio of the last one saved.
class SingleEntryForm : public masters::MasterForm {
    Q_OBJECT
public:
    explicit SingleEntryForm(store::Database& db, LookupRunner lookup = {}, QWidget* parent = nullptr);

    void Toolbar1_ButtonClick(const QString& button) override;

    void CmdScript_Click();
    void CmdPortfolio_Click();
    // Shows the scrip whose code on the chosen exchange is `code` exactly.
    void codeLookup(const QString& code);
    // Refills the code list with NSE (true) or BSE codes.
    void switchCodeType(bool nse);
    void ComputeAmount();

protected:
    bool storePendingRow(const QHash<QString, QString>& typed) override;
    void afterSave(bool added) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The scrip and portfolio names and the date of the current entry.
    void showNamesAndDate();
    QString scripName(qint64 srno) const;
    QString portfolioName(qint64 code) const;
    void findEntry();

    LookupRunner m_lookup;
    store::Rows m_scrips;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_qty = nullptr;
    QLineEdit* m_rate = nullptr;
    QLineEdit* m_amt = nullptr;
    QLineEdit* m_buySell = nullptr;
    QLineEdit* m_scripCode = nullptr;
    QLineEdit* m_portfolioCode = nullptr;
    QLineEdit* m_scripName = nullptr;
    QLineEdit* m_portfolioName = nullptr;
    QRadioButton* m_nse = nullptr;
    QRadioButton* m_bse = nullptr;
    QComboBox* m_codes = nullptr;
    QComboBox* m_side = nullptr;
    QDateEdit* m_date = nullptr;
    QDate m_shownDay;  // the day the picker showed for the current entry
    QPushButton* m_scripButton = nullptr;
    QPushButton* m_portfolioButton = nullptr;
    ui::CheckNum* m_qtyCheck = nullptr;
    ui::CheckNum* m_rateCheck = nullptr;
    qint64 LastScripCode = 0;
    qint64 LastPortfolioCode = 0;
};

}  // namespace portfolio
