#pragma once

#include "query/parametersetup.h"
#include "query/queryrunner.h"
#include "reports/reportfacts.h"
#include "store/database.h"

#include <QList>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace shell {
class AppServices;
}

namespace query {

class ParameterPanel;
class RangeFilterPanel;
class ScripSelectionPanel;

// The query screen, caption "Query": the nine query groups and the list of
// their queries, the dates, the number parameters that the chosen query asks
// for, the exchange, the scrip group and scrips, the range filters, the
// details and find of a scrip, and the two run buttons: "&Edit Report"
// shows the result in the result viewer, "&View Report " prints it through
// the report layouts.
//
// The screen lays out its panels, loads their lists, applies the set-up of
// the chosen query, refuses a box that does not hold a number, and hands a
// completed run over. The parameter fields (ParameterPanel), the range
// filters (RangeFilterPanel), the scrip choice (ScripSelectionPanel), the
// lists read from the store (querylists.h) and the run itself (QueryRunner)
// live in files of their own.
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
    QWidget* buildQueryGroups();
    QWidget* buildQueryList();
    QWidget* buildExchange();
    QWidget* buildProgress();

    void loadLists();
    void showLoadProgress(const QString& text, qsizetype done, qsizetype total);

    void chooseQueryGroup(int group);
    void setUpChosenQuery();
    void applySetup(const ParameterSetup& setup);
    QString chosenLabel() const;

    void boxLeft(QLineEdit* box);
    void refuseEntry(QLineEdit* box, bool tellUser);
    bool isRefused(QLineEdit* box) const;
    bool isNumberBox(const QLineEdit* box) const;
    bool entriesAllowRun();

    // With `readRows` the result's rows come with it; otherwise they stay in the store.
    std::optional<CompletedRun> runChosenQuery(bool readRows);
    void editReport();
    void viewReport();

    shell::AppServices& m_services;
    store::Database& m_db;
    ReportHandOver m_reportHandOver;

    std::array<QRadioButton*, 9> m_groupOptions{};
    QListWidget* m_queryList = nullptr;
    ParameterPanel* m_parameters = nullptr;
    QRadioButton* m_nse = nullptr;
    QRadioButton* m_bse = nullptr;
    QRadioButton* m_combine = nullptr;
    RangeFilterPanel* m_ranges = nullptr;
    ScripSelectionPanel* m_scrips = nullptr;
    QGroupBox* m_loadFrame = nullptr;
    QProgressBar* m_loadProgress = nullptr;
    QLineEdit* m_loadText = nullptr;
    QPushButton* m_viewReport = nullptr;
    QPushButton* m_editReport = nullptr;
    std::optional<QueryRunner> m_runner;

    int m_group = 0;
    QList<QDate> m_tradingDates;
    bool m_refusalPending = false;
};

}  // namespace query
