#include "portfolio/singleentryform.h"

#include "portfolio/portfolioreportscreen.h"
#include "portfolio/transactions.h"
#include "store/jetfunctions.h"
#include "store/storeerror.h"
#include "ui/checknum.h"
#include "ui/prompt.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace portfolio {

SingleEntryForm::SingleEntryForm(store::Database& db, LookupRunner lookup, QWidget* parent)
    : MasterForm(db,
                 {QStringLiteral("Portfolio Manager"), QStringLiteral("PortfolioManager"), QStringLiteral("ORDER BY code"),
                  QStringLiteral("Browse Portfolio Manager"), reports::MasterList{},
                  {QStringLiteral("tdt"), QStringLiteral("code"), QStringLiteral("ScriptCode"), QStringLiteral("Qty"),
                   QStringLiteral("BuySell"), QStringLiteral("Rate"), QStringLiteral("Portfoliocd"),
                   QStringLiteral("Amt")},
                  masters::StepsOnEmptyTable::BeepAndRefuse},
                 parent),
      m_lookup(std::move(lookup))
{
    setObjectName(QStringLiteral("FrmPortfolio_Manager"));
    if (!m_lookup)
        m_lookup = dialogLookup(db, this);
    auto* form = qobject_cast<QFormLayout*>(frame()->layout());

    m_code = addField(QStringLiteral("Text1"), QStringLiteral("Code :"), QStringLiteral("code"), BoxUse::TypedOnlyWhenAdding, 10);
    m_nse = new QRadioButton(QStringLiteral("Nse Code"), frame());
    m_nse->setObjectName(QStringLiteral("OptNseCode"));
    m_bse = new QRadioButton(QStringLiteral("Bse Code"), frame());
    m_bse->setObjectName(QStringLiteral("OptBseCode"));
    m_nse->setChecked(true);
    auto* codeKind = new QHBoxLayout;
    codeKind->addWidget(m_nse);
    codeKind->addWidget(m_bse);
    form->addRow(QStringLiteral("Script :"), codeKind);
    m_scripName = new QLineEdit(frame());
    m_scripName->setObjectName(QStringLiteral("TxtScript"));
    m_scripName->setReadOnly(true);
    m_scripName->setMaxLength(50);
    m_scripButton = new QPushButton(QStringLiteral("..."), frame());
    m_scripButton->setObjectName(QStringLiteral("CmdScript"));
    auto* scripRow = new QHBoxLayout;
    scripRow->addWidget(m_scripName, 1);
    scripRow->addWidget(m_scripButton);
    form->addRow(QStringLiteral("Company :"), scripRow);
    m_codes = new QComboBox(frame());
    m_codes->setObjectName(QStringLiteral("CmbScriptCode"));
    m_codes->setEditable(true);
    m_codes->setInsertPolicy(QComboBox::NoInsert);
    form->addRow(QString(), m_codes);
    m_qty = addField(QStringLiteral("Txtqty"), QStringLiteral("Qty :"), QStringLiteral("Qty"), BoxUse::Editable, 10);
    m_rate = addField(QStringLiteral("TxtRate"), QStringLiteral("Rate : "), QStringLiteral("Rate"), BoxUse::Editable, 10);
    m_side = new QComboBox(frame());
    m_side->setObjectName(QStringLiteral("CmbBuy_Sell"));
    // The list shows the letters; the entry stores the words, as the
    // transactions grid does.
    m_side->addItem(QStringLiteral("B"), QStringLiteral("Buy"));
    m_side->addItem(QStringLiteral("S"), QStringLiteral("Sell"));
    form->addRow(QStringLiteral("Buy / Sell :"), m_side);
    m_amt = addField(QStringLiteral("TxtAmt"), QStringLiteral("Amt :"), QStringLiteral("Amt"), BoxUse::Editable, 10);
    m_portfolioName = new QLineEdit(frame());
    m_portfolioName->setObjectName(QStringLiteral("TxtPortfolio"));
    m_portfolioName->setReadOnly(true);
    m_portfolioName->setMaxLength(10);
    m_portfolioButton = new QPushButton(QStringLiteral("..."), frame());
    m_portfolioButton->setObjectName(QStringLiteral("CmdPortfolio"));
    auto* portfolioRow = new QHBoxLayout;
    portfolioRow->addWidget(m_portfolioName, 1);
    portfolioRow->addWidget(m_portfolioButton);
    form->addRow(QStringLiteral("Portfolio :"), portfolioRow);
    m_date = new QDateEdit(QDate::currentDate(), frame());
    m_date->setObjectName(QStringLiteral("DTPTdt"));
    m_date->setLocale(QLocale::c());
    m_date->setDisplayFormat(QStringLiteral("dd/MMM/yyyy"));
    m_date->setCalendarPopup(true);
    form->addRow(QStringLiteral("Trans Date :"), m_date);
    // The codes behind the names come from the look-ups and the code list.
    m_portfolioCode = addField(QStringLiteral("TxtPortfolioCd"), QString(), QStringLiteral("Portfoliocd"), BoxUse::Editable);
    m_buySell = addField(QStringLiteral("TxtBuy_Sell"), QString(), QStringLiteral("BuySell"), BoxUse::Editable);
    m_scripCode = addField(QStringLiteral("TxtSciptCd"), QString(), QStringLiteral("ScriptCode"), BoxUse::Editable);
    for (QLineEdit* box : {m_portfolioCode, m_buySell, m_scripCode})
        box->setVisible(false);

    m_qtyCheck = new ui::CheckNum(this);
    m_qtyCheck->setTextBox(m_qty);
    m_rateCheck = new ui::CheckNum(this);
    m_rateCheck->setTextBox(m_rate);
    m_rateCheck->setAllowDec(true);

    connect(m_scripButton, &QPushButton::clicked, this, &SingleEntryForm::CmdScript_Click);
    connect(m_portfolioButton, &QPushButton::clicked, this, &SingleEntryForm::CmdPortfolio_Click);
    connect(m_codes, &QComboBox::currentTextChanged, this, &SingleEntryForm::codeLookup);
    connect(m_nse, &QRadioButton::clicked, this, [this] { switchCodeType(true); });
    connect(m_bse, &QRadioButton::clicked, this, [this] { switchCodeType(false); });
    connect(m_rate, &QLineEdit::textChanged, this, &SingleEntryForm::ComputeAmount);
    connect(m_side, &QComboBox::currentTextChanged, this, [this] {
        ComputeAmount();
        m_buySell->setText(m_side->currentData().toString());
    });

    try {
        m_scrips = db.query(QStringLiteral("SELECT * FROM ScripMaster"));
    } catch (const store::StoreError& error) {
        showError(error.message());
    }
    {
        const QSignalBlocker blocker(m_codes);
        const int column = m_scrips.columnIndex(QStringLiteral("nsescrip"));
        for (const QVariantList& row : m_scrips.rows)
            m_codes->addItem(row.value(column).toString());
    }
    Form_Load();
    showNamesAndDate();
}

QString SingleEntryForm::scripName(qint64 srno) const
{
    const int srnoColumn = m_scrips.columnIndex(QStringLiteral("srno"));
    const int companyColumn = m_scrips.columnIndex(QStringLiteral("company"));
    for (const QVariantList& row : m_scrips.rows)
        if (row.value(srnoColumn).toLongLong() == srno)
            return row.value(companyColumn).toString();
    return {};
}

QString SingleEntryForm::portfolioName(qint64 code) const
{
    try {
        return m_db.scalar(QStringLiteral("SELECT Name FROM PortfolioMaster WHERE Code = ?"), {code}).toString();
    } catch (const store::StoreError&) {
        return {};
    }
}

void SingleEntryForm::showNamesAndDate()
{
    m_scripName->setText(scripName(static_cast<qint64>(cellNumber(m_scripCode->text()))));
    m_portfolioName->setText(portfolioName(static_cast<qint64>(cellNumber(m_portfolioCode->text()))));
    const bool hasRow = !(m_records.bof() || m_records.eof());
    const QVariant day = hasRow ? m_records.value(QStringLiteral("tdt")) : QVariant();
    m_date->setDate(day.typeId() == QMetaType::QDate ? day.toDate() : QDate::currentDate());
    m_shownDay = m_date->date();
    const QSignalBlocker blocker(m_side);
    m_side->setCurrentIndex(sideOf(m_buySell->text()) == QLatin1String("Sell") ? 1 : 0);
}

void SingleEntryForm::codeLookup(const QString& code)
{
    const int column = m_scrips.columnIndex(m_nse->isChecked() ? QStringLiteral("nsescrip") : QStringLiteral("bsescrip"));
    for (const QVariantList& row : m_scrips.rows) {
        if (row.value(column).toString().compare(code, Qt::CaseInsensitive) == 0) {
            m_scripName->setText(row.value(m_scrips.columnIndex(QStringLiteral("company"))).toString());
            m_scripCode->setText(row.value(m_scrips.columnIndex(QStringLiteral("srno"))).toString());
            return;
        }
    }
}

void SingleEntryForm::switchCodeType(bool nse)
{
    const int column = m_scrips.columnIndex(nse ? QStringLiteral("nsescrip") : QStringLiteral("bsescrip"));
    {
        const QSignalBlocker blocker(m_codes);
        m_codes->clear();
        for (const QVariantList& row : m_scrips.rows)
            m_codes->addItem(row.value(column).toString());
    }
    if (m_codes->count() > 0) {
        m_codes->setCurrentIndex(0);
        codeLookup(m_codes->currentText());
    }
}

void SingleEntryForm::CmdScript_Click()
{
    const QStringList chosen = m_lookup(scripLookupSql(), scripLookupTypes());
    if (chosen.isEmpty()) {
        m_scripName->clear();
        m_scripCode->clear();
        return;
    }
    // The chosen scrip stands even when another one shares its code.
    {
        const QSignalBlocker blocker(m_codes);
        m_codes->setEditText(chosen.value(m_nse->isChecked() ? 2 : 3));
    }
    m_scripName->setText(chosen.value(0));
    m_scripCode->setText(chosen.value(1));
}

void SingleEntryForm::CmdPortfolio_Click()
{
    const QStringList chosen = m_lookup(portfolioLookupSql(), portfolioLookupTypes());
    m_portfolioName->setText(chosen.value(0));
    m_portfolioCode->setText(chosen.value(1));
}

void SingleEntryForm::ComputeAmount()
{
    m_amt->setText(store::jetNumberText(cellNumber(m_qty->text()) * cellNumber(m_rate->text())));
}

void SingleEntryForm::Toolbar1_ButtonClick(const QString& button)
{
    const QString key = button.toLower();
    if (key == QLatin1String("new")) {
        AddRecord();
        if (!mbAddNewFlag)
            return;
        m_scripCode->setText(QString::number(LastScripCode));
        m_portfolioCode->setText(QString::number(LastPortfolioCode));
        m_buySell->setText(m_side->currentData().toString());
        m_date->setDate(QDate::currentDate());
        // The names shown are those of the carried codes.
        m_scripName->setText(scripName(LastScripCode));
        m_portfolioName->setText(portfolioName(LastPortfolioCode));
        return;
    }
    if (key == QLatin1String("save")) {
        if (m_scripName->text().isEmpty()) {
            ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Please Select Script"), 48));
            m_scripButton->setFocus();
            return;
        }
        if (m_portfolioName->text().isEmpty()) {
            ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Please Select Portfolio"), 48));
            m_portfolioButton->setFocus();
            return;
        }
        if (mbAddNewFlag)
            m_buySell->setText(m_side->currentData().toString());
        LastScripCode = static_cast<qint64>(cellNumber(m_scripCode->text()));
        LastPortfolioCode = static_cast<qint64>(cellNumber(m_portfolioCode->text()));
        SaveRecord();
        return;
    }
    if (key == QLatin1String("print")) {
        // The report screen outlives this one: it shows its own look-ups.
        auto* report = new PortfolioReportScreen(m_db, {});
        report->show();
        return;
    }
    if (key == QLatin1String("find")) {
        findEntry();
        return;
    }
    MasterForm::Toolbar1_ButtonClick(button);
    if (key == QLatin1String("browse")) {
        if (masters::BrowseDialog* browse = browseWindow())
            connect(browse, &QDialog::finished, this, [this] { showNamesAndDate(); }, Qt::UniqueConnection);
        return;
    }
    // Moves, a delete and a cancel show the names of the entry then current.
    if (!(mbAddNewFlag || mbEditFlag))
        showNamesAndDate();
}

void SingleEntryForm::findEntry()
{
    if (mbAddNewFlag || mbEditFlag)
        return;
    const std::optional<QString> answer = ui::prompt().inputText(QStringLiteral("Input Description"), QStringLiteral("Find"), QString());
    if (!answer || answer->isEmpty())
        return;
    // The entry code is the column searched.
    const int column = m_records.fieldIndex(QStringLiteral("code"));
    const bool found = m_records.find(
        [&](const store::Recordset&, const store::Recordset::Row& row) {
            return store::jetNumberText(row.value(column).toDouble()).startsWith(*answer);
        },
        0);
    if (!found) {
        ui::prompt().show(ui::Message::fromStyle(QStringLiteral("No Records Found"), 0, formTitle()));
        m_records.moveLast();
    }
    showCurrentRecord();
    showNamesAndDate();
}

bool SingleEntryForm::storePendingRow(const QHash<QString, QString>& typed)
{
    const bool adding = mbAddNewFlag;
    if (adding) {
        bool isNumber = false;
        const qlonglong code = typed.value(QStringLiteral("code")).toLongLong(&isNumber);
        if (!isNumber) {
            showError(QStringLiteral("Type mismatch"));
            return false;
        }
        m_records.setValue(QStringLiteral("code"), code);
        // Each row of an entry has its own place in it.
        const qint64 srno =
            m_db.scalar(QStringLiteral("SELECT coalesce(max(srno), 0) + 1 FROM PortfolioManager WHERE code = ?"), {code})
                .toLongLong();
        m_records.setValue(QStringLiteral("srno"), srno);
    }
    // An edit writes only what was changed: the boxes it was given and the
    // date when another one was picked.
    for (const QString& field : {QStringLiteral("ScriptCode"), QStringLiteral("Portfoliocd"), QStringLiteral("Qty"),
                                QStringLiteral("Rate"), QStringLiteral("Amt")})
        if (typed.contains(field))
            m_records.setValue(field, cellNumber(typed.value(field)));
    if (typed.contains(QStringLiteral("BuySell")))
        m_records.setValue(QStringLiteral("BuySell"), typed.value(QStringLiteral("BuySell")));
    if (adding || m_date->date() != m_shownDay)
        m_records.setValue(QStringLiteral("tdt"), m_date->date());
    m_records.update();
    return true;
}

void SingleEntryForm::afterSave(bool added)
{
    if (added)
        MoveLastRecord();
    showNamesAndDate();
}

void SingleEntryForm::keyPressEvent(QKeyEvent* event)
{
    const bool browsing = !(mbAddNewFlag || mbEditFlag);
    MasterForm::keyPressEvent(event);
    if (browsing && !(mbAddNewFlag || mbEditFlag) && isVisible())
        showNamesAndDate();
}

}  // namespace portfolio
