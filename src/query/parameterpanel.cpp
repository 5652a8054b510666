#include "query/parameterpanel.h"

#include "query/querywidgets.h"
#include "store/datetext.h"

#include <QComboBox>
#include <QGridLayout>
#include <QSignalBlocker>

namespace query {

namespace {

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

}  // namespace

ParameterPanel::ParameterPanel(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    m_firstDateCaption = makeLabel(QStringLiteral("lbltradingdate"), QStringLiteral("Trading Date"), this);
    m_firstDate = named(new QComboBox(this), QStringLiteral("cbofirstdate"));
    m_secondDateCaption = makeLabel(QStringLiteral("lblseconddate"), QStringLiteral("Second Date"), this);
    m_secondDate = named(new QComboBox(this), QStringLiteral("cboseconddate"));
    m_numberCaption = makeLabel(QStringLiteral("lbldiffper"), kNumberCaptionAtStart, this);
    m_number = makeBox(QStringLiteral("diffper"), this);
    m_number2Caption = makeLabel(QStringLiteral("lbldiffper1"), kNumberCaptionAtStart, this);
    m_number2 = makeBox(QStringLiteral("diffper1"), this);
    for (QComboBox* box : {m_firstDate, m_secondDate})
        box->setMaxVisibleItems(20);

    grid->addWidget(m_firstDateCaption, 0, 0);
    grid->addWidget(m_firstDate, 0, 1);
    grid->addWidget(m_secondDateCaption, 1, 0);
    grid->addWidget(m_secondDate, 1, 1);
    grid->addWidget(m_numberCaption, 2, 0);
    grid->addWidget(m_number, 2, 1);
    grid->addWidget(m_number2Caption, 3, 0);
    grid->addWidget(m_number2, 3, 1);
    grid->setColumnStretch(1, 1);

    m_secondDate->hide();
    m_secondDateCaption->hide();
}

void ParameterPanel::setDates(const QList<QDate>& dates)
{
    fillDateBox(m_firstDate, dates);
    fillDateBox(m_secondDate, dates);
    const int latest = dates.isEmpty() ? -1 : 0;
    m_firstDate->setCurrentIndex(latest);
    m_secondDate->setCurrentIndex(latest);
}

ParameterFields ParameterPanel::fields() const
{
    ParameterFields fields;
    fields.firstDate = chosenDate(m_firstDate);
    fields.secondDate = chosenDate(m_secondDate);
    fields.secondDateShown = !m_secondDate->isHidden();
    fields.number = readNumber(m_numberCaption, m_number);
    fields.number2 = readNumber(m_number2Caption, m_number2);
    return fields;
}

void ParameterPanel::apply(const ParameterFields& fields)
{
    selectDate(m_secondDate, fields.secondDate);
    m_secondDate->setHidden(!fields.secondDateShown);
    m_secondDateCaption->setHidden(!fields.secondDateShown);
    applyNumber(m_numberCaption, m_number, fields.number);
    applyNumber(m_number2Caption, m_number2, fields.number2);
}

QDate ParameterPanel::firstDate() const
{
    return chosenDate(m_firstDate);
}

void ParameterPanel::showSecondDate(const QDate& date)
{
    selectDate(m_secondDate, date);
}

QString ParameterPanel::numberCaption() const
{
    return m_numberCaption->text();
}

QString ParameterPanel::number2Caption() const
{
    return m_number2Caption->text();
}

}  // namespace query
