#pragma once

#include "query/branch.h"
#include "query/sql.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace computations {

// One mto row of a scrip as the scans read it; an empty figure reads as 0.
struct ScanDay {
    QDate day;
    double nseTraded = 0, bseTraded = 0;
    double nseDelivered = 0, bseDelivered = 0;
    double nsePercent = 0, bsePercent = 0;
    double nseClose = 0, bseClose = 0;
};

// A scrip in hand: its code, its company and its window rows, newest first.
struct ScanScrip {
    qint64 code = 0;
    QString company;
    QList<ScanDay> days;
};

// A column a scan adds to its window rows: a REAL made by `expression`.
struct ExtraColumn {
    QString name;
    QString expression;
};

// Which scrips a scan walks.
enum class ScripListing {
    ByExchange,  // scrips with the chosen exchange's code (both codes for NSE & BSE)
    Everyone,    // every scrip, whatever its codes
};

// The frame shared by the N-day scans: the scrips of the chosen exchange and
// group in company order, each with its N newest mto rows up to the first
// date. The window rows of every listed scrip are read by one statement;
// each member tests them in memory (or in the store, over windowSource())
// and copies the rows of the scrips that pass into queryresult1 with one
// statement, so a scan runs a handful of statements whatever the number of
// scrips.
class ScanFrame {
public:
    // N is the first number box's count (at most query::kMaxScanDays).
    ScanFrame(query::RunContext& context, ScripListing listing);

    int days() const { return m_days; }

    // Takes every row from `start` to the first date that meets
    // `rowCondition` (" and ..." over mto, or empty) in place of the N
    // newest rows.
    void useWholeWindow(const QDate& start, const query::Sql& rowCondition);

    // Sets the window rows (mto's columns, plus `extraColumns`) of every
    // listed scrip that scan() and copyPassingScrips() read straight from
    // mto (from QR when plain statements are asked for). Refuses a run
    // without a window start.
    void defineWindow(const QList<ExtraColumn>& extraColumns = {});
    // The same, the rows kept in the work table QR (for a scan that changes
    // them before it copies them).
    void makeWindowTable(const QList<ExtraColumn>& extraColumns = {});

    // Walks the listed scrips in company order, reporting "Processing for
    // Stock <company>" for each, and hands `visit` every scrip that has rows
    // in its window.
    void scan(const std::function<void(const ScanScrip&)>& visit);
    // Reports the listed scrips as scan() does, for a scan whose test is
    // made inside the store.
    void reportScrips();

    // The window rows as a table for a FROM clause: the select of them, or
    // QR when it was made.
    query::Sql windowSource() const;
    // From now on the window read straight from mto holds only the rows of
    // the scrips `codes`, read scrip by scrip through the scrip index (for a
    // few scrips, where reading the whole window day by day would cost
    // more).
    void narrowTo(const QList<qint64>& codes);

    // The trading days from the window start to the first date, newest
    // first.
    QList<QDate> windowDays() const;
    // The condition a listed scrip meets, over scripmaster as `alias`.
    query::Sql scripCondition(const QString& alias) const;

    // Makes queryresult1 with mto's columns and copies into it every window
    // row of the scrips `codes`; without `withListedCodes` the NSE and BSE
    // codes stay empty.
    void copyPassingScrips(const QList<qint64>& codes, bool withListedCodes = true);
    // The same with the scan's own layout: `columns` filled by `selectList`
    // over the window rows as `w`.
    void copyPassingScrips(const QList<qint64>& codes, const QList<store::Column>& columns, const QString& selectList);
    // The same for the scrips that `passingCodes` (a select of scrip codes,
    // made by the caller over windowSource()) gives.
    void copyPassingScrips(const query::Sql& passingCodes);
    // The rows copyPassingScrips() copies for the scrips `codes`, in the
    // same order, as a source for a FROM clause: for a statement that reads
    // them once, with no work table between.
    query::Sql passingRows(const QList<qint64>& codes) const;

private:
    // The listed scrips' `columns` (over scripmaster as s), in company order.
    query::Sql listedScrips(const QString& columns) const;
    void setWindow(const QList<ExtraColumn>& extraColumns);
    // The window rows as a select.
    query::Sql windowRows() const;
    void copyRows(const query::Sql& rows, const QList<store::Column>& columns, const QString& selectList);
    // The window rows of the scrips `scripTest` selects, by scrip, newest
    // day first, as a FROM source.
    query::Sql rowsWhere(const query::Sql& scripTest) const;

    query::RunContext& m_context;
    ScripListing m_listing;
    int m_days = 0;
    QDate m_windowStart;
    bool m_newestOnly = true;
    query::Sql m_rowCondition;
    QList<ExtraColumn> m_extras;
    bool m_windowTable = false;
    std::optional<QList<qint64>> m_narrowedTo;
};

// The entry of day `k` (1 = newest) of a series, 0 past the rows of the window.
double entry(const QList<double>& series, int k);

// The scrip codes as one bound JSON array, for "in (select value from json_each(?))".
query::Sql codeList(const QList<qint64>& codes);

// " and <column> in (the scrips whose queryresult1 row on the first date meets
// every ticked range)", or an empty text when no range is ticked.
query::Sql rangeOnFirstDate(const query::RunState& state, const QString& scripColumn);
// The same over the measures `columns` of queryresult1 as `a`.
query::Sql rangeOnFirstDate(const query::RunState& state, const QString& scripColumn,
                            const query::MeasureColumns& columns);

}  // namespace computations
