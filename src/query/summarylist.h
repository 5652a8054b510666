#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace query {

// The select list of a grouped summary taken apart, for working the summary
// out in one pass: the arguments of its aggregate calls (its figures), and
// the list rewritten over a table of totals, each aggregate call replaced by
// the total it stands for and each group term by the term's column.
//
// It takes lists whose items are group terms (with or without an alias) or
// expressions that read columns only inside avg(), sum(), min(), max() and
// count(); anything else (a column outside an aggregate, DISTINCT, total(),
// nested aggregates) is left to the statement.
class SummaryList {
public:
    // What the totals keep of a figure.
    enum class Total { Average, Sum, Lowest, Highest, Count };

    static std::optional<SummaryList> parse(const QString& selectList, const QStringList& groupBy);

    const QStringList& figures() const { return m_figures; }
    // The list over the totals as `t`; the column of group term k is named
    // keyColumns[k].
    QString columnsOver(const QStringList& keyColumns) const;
    // Whether the list shows the lowest or the highest of `figure`.
    bool showsExtremes(int figure) const;

    // The column of the totals holding `total` of `figure`, and the one
    // holding the count of rows.
    static QString totalColumn(int figure, Total total);
    static QString rowCountColumn();
    // Whether `a` and `b` name one column: the same text, or the same column
    // name where one of them leaves out the table ("scriptcode" and
    // "m.scriptcode").
    static bool sameColumn(const QString& a, const QString& b);

private:
    QStringList m_figures;
    QString m_columns;  // with a placeholder for each group term's column
};

}  // namespace query
