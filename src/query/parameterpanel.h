#pragma once

#include "query/parametersetup.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

namespace query {

// The parameter fields of the query screen: the trading date and the second
// date, each a list of the trading dates, and the two number boxes with their
// captions. Choosing a query applies the fields of its set-up here; a run
// reads them back. The second date starts hidden.
class ParameterPanel : public QWidget {
    Q_OBJECT
public:
    explicit ParameterPanel(QWidget* parent = nullptr);

    // Lists `dates` (newest first) in both date boxes and shows the newest
    // in each; no date is shown when there is none.
    void setDates(const QList<QDate>& dates);

    // The fields as they stand.
    ParameterFields fields() const;
    // Shows the second date of `fields` (or none) and whether it shows, and
    // the captions, texts and showing of both number boxes. The first date
    // stays as it is.
    void apply(const ParameterFields& fields);

    QDate firstDate() const;
    // Shows `date` in the second date box; a null date, or one not listed,
    // empties it.
    void showSecondDate(const QDate& date);

    QLineEdit* numberBox() const { return m_number; }
    QLineEdit* number2Box() const { return m_number2; }
    QString numberCaption() const;
    QString number2Caption() const;

private:
    QLabel* m_firstDateCaption = nullptr;
    QComboBox* m_firstDate = nullptr;
    QLabel* m_secondDateCaption = nullptr;
    QComboBox* m_secondDate = nullptr;
    QLabel* m_numberCaption = nullptr;
    QLineEdit* m_number = nullptr;
    QLabel* m_number2Caption = nullptr;
    QLineEdit* m_number2 = nullptr;
};

}  // namespace query
