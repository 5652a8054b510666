#pragma once

#include "masters/headersort.h"
#include "query/parametersetup.h"
#include "query/queryengine.h"
#include "reports/reportfacts.h"
#include "store/recordset.h"

#include <QList>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;

namespace shell {
class AppServices;
}

namespace store {
class RecordsetModel;
}

namespace query {

// A run that made its result, with the facts its report headings show.
struct CompletedRun {
    RunOutcome outcome;
    reports::ReportFacts facts;
};

// The query screen, caption "Query": the nine query groups and the list of
// their queries, the dates, the number parameters that the chosen query asks
// for, the exchange, the scrip group and scrips, the range filters, the
// details and find of a scrip, and the two run buttons: "&Edit Report"
// shows the result in the result viewer, "&View Report " prints it through
// the report layouts.
class QueryScreen : public QWidget {
    Q_OBJECT
public:
    // Where "&View Report " hands a completed run: the print preview of the
    // report binding, unless replaced.
    using ReportHandOver = std::function<void(const reports::ReportFacts& facts, const store::Rows& rows)>;

    // Builds the screen and loads its lists; the main menu's "Query" item is
    // unavailable while the lists load.
    explicit QueryScreen(shell::AppServices& services, QWidget* parent = nullptr);
    ~QueryScreen() override;

    // The inputs of a run, read from the controls as they stand.
    RunInputs readInputs() const;
    // The parameter fields as they stand.
    ParameterFields parameterFields() const;
    // The trading dates the date boxes list, newest first.
    const QList<QDate>& tradingDates() const { return m_tradingDates; }

    void setReportHandOver(ReportHandOver handOver) { m_reportHandOver = std::move(handOver); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Scrip {
        qint64 srno = 0;
        QString company;
        QString nseCode;
        QString bseCode;
    };
    struct RangeControls {
        QCheckBox* check = nullptr;
        QLineEdit* low = nullptr;
        QLineEdit* high = nullptr;
    };

    QWidget* buildQueryGroups();
    QWidget* buildQueryList();
    QWidget* buildParameters();
    QWidget* buildExchange();
    QWidget* buildRangeFilters();
    QWidget* buildStockSelection();
    QWidget* buildDetails();
    QWidget* buildProgress();

    void loadLists();
    void showLoadProgress(const QString& text, qsizetype done, qsizetype total);

    void chooseQueryGroup(int group);
    void setUpChosenQuery();
    void applySetup(const ParameterSetup& setup);
    QString chosenLabel() const;

    void chooseScripGroup(int index);
    void fillScripList(const QList<Scrip>& scrips, bool withAll);
    void scripClicked();
    void scripDoubleClicked();
    void fillDetails();
    void sortDetails(int column);
    void findScrip();
    bool selectScrip(qint64 srno);

    void followRangeCheck(int filter);
    void boxLeft(QLineEdit* box);
    void refuseEntry(QLineEdit* box, bool tellUser);
    bool isRefused(QLineEdit* box) const;
    bool entriesAllowRun();

    std::optional<CompletedRun> runChosenQuery();
    void showRunProgress(const QString& text, int done, int total);
    void editReport();
    void viewReport();

    shell::AppServices& m_services;
    store::Database& m_db;
    QueryEngine m_engine;
    ReportHandOver m_reportHandOver;

    std::array<QRadioButton*, 9> m_groupOptions{};
    QListWidget* m_queryList = nullptr;
    QLabel* m_firstDateCaption = nullptr;
    QComboBox* m_firstDate = nullptr;
    QLabel* m_secondDateCaption = nullptr;
    QComboBox* m_secondDate = nullptr;
    QLabel* m_numberCaption = nullptr;
    QLineEdit* m_number = nullptr;
    QLabel* m_number2Caption = nullptr;
    QLineEdit* m_number2 = nullptr;
    QRadioButton* m_nse = nullptr;
    QRadioButton* m_bse = nullptr;
    QRadioButton* m_combine = nullptr;
    QComboBox* m_groupList = nullptr;
    QListWidget* m_scripList = nullptr;
    std::array<RangeControls, kRangeMeasureCount> m_ranges{};
    QLineEdit* m_findText = nullptr;
    QGroupBox* m_details = nullptr;
    QLineEdit* m_nseCode = nullptr;
    QLineEdit* m_bseCode = nullptr;
    QTableView* m_detailsGrid = nullptr;
    store::RecordsetModel* m_detailsModel = nullptr;
    QGroupBox* m_loadFrame = nullptr;
    QProgressBar* m_loadProgress = nullptr;
    QLineEdit* m_loadText = nullptr;
    QLineEdit* m_runText = nullptr;
    QProgressBar* m_runProgress = nullptr;
    QPushButton* m_viewReport = nullptr;
    QPushButton* m_editReport = nullptr;

    int m_group = 0;
    QList<QDate> m_tradingDates;
    QList<Scrip> m_scrips;  // every scrip by company, read once at load
    QString m_groupCode;
    store::Recordset m_groupsOfScrip;
    masters::HeaderSortToggle m_detailsSort;
    bool m_refusalPending = false;
};

}  // namespace query
