#pragma once

#include "shell/sharedstate.h"
#include "support/fakeservices.h"
#include "support/scriptedprompt.h"
#include "viewer/chartwindow.h"
#include "viewer/resultviewer.h"
#include "viewer/workbook.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline const QString kFiller = QString(QChar(0x00A0));

// The result viewer over a QueryResult table that the test makes, driven as
// a user drives it, with its prompts answered by the test.
class ViewerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell::sharedState() = shell::SharedState();
        // Report files proposed by Print go to the test's data folder.
        qputenv("TARVENIX_HOME", services.dataFolder().toUtf8());
    }
    void TearDown() override
    {
        delete viewer::openChartWindow();
        delete viewer::openResultViewer();
        qunsetenv("TARVENIX_HOME");
    }
    store::Database& db() { return services.database(); }
    // QueryResult with the column declarations `columns` and `rows`.
    void makeResult(const QString& columns, const QList<QVariantList>& rows)
    {
        db().exec("CREATE TABLE QueryResult (" + columns + ")");
        const QString marks = QStringList(rows.first().size(), "?").join(", ");
        for (const QVariantList& row : rows)
            db().exec("INSERT INTO QueryResult VALUES (" + marks + ")", row);
    }
    // A result of names, quantities, percentages and days with empty cells,
    // and a filler column.
    void makeMarketResult()
    {
        makeResult("stock TEXT COLLATE NOCASE, NSETrdQty INTEGER, NSEPerc REAL, TransDate DATE, \"" + kFiller +
                       "\" TEXT",
                   {{"Bharat", 1500, 60.0, QDate(2026, 1, 5), " "},
                    {"abacus", 200, 75.0, QDate(2026, 1, 6), " "},
                    {"Zen", 5000, 12.5, QDate(2026, 1, 7), " "},
                    {"O'Neil", QVariant(), 20.0, QVariant(), " "},
                    {"ABC Ltd", 1000, 50.5, QDate(2026, 1, 5), " "}});
    }
    void open(const QString& queryName = "Top Delivery", const QString& select = "select * from QueryResult")
    {
        window = viewer::showResult(services, select, queryName);
    }

    template <typename T>
    T* child(const QString& name)
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    void press(const QString& button) { child<QPushButton>(button)->click(); }
    void choose(const QString& combo, const QString& text) { child<QComboBox>(combo)->setCurrentText(text); }
    void clickHeader(int section)
    {
        QHeaderView* header = child<QTableView>("DataGrid1")->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    // Picks a column in filter row `row` (0 to 3), its operator and joiner,
    // and types its value.
    void setFilterRow(int row, const QString& column, const QString& op, const QString& value,
                      const QString& joiner = QString())
    {
        const QString suffix = row == 0 ? QString() : QString::number(row);
        auto* columns = child<QComboBox>("cboFilterCols" + suffix);
        columns->setCurrentIndex(columns->findText(column));
        auto* ops = child<QComboBox>("cboOper" + suffix);
        ops->setCurrentIndex(ops->findText(op));
        child<QLineEdit>("txtFilterValue" + suffix)->setText(value);
        if (!joiner.isEmpty())
            choose("CmbOpt" + suffix, joiner);
    }
    QStringList shownColumn(int column) const
    {
        QStringList values;
        for (const QVariantList& row : window->shownResult().rows.rows)
            values.append(row.at(column).toString());
        return values;
    }
    static QStringList items(QComboBox* combo)
    {
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i)
            texts.append(combo->itemText(i));
        return texts;
    }

    FakeServices services;
    ScriptedPrompt prompt;
    viewer::ResultViewerWindow* window = nullptr;
};

// The values of the cells "A1 B2 ..." of `sheet` joined by "|", "-" for an
// empty cell, dates as yyyy-MM-dd.
inline QString cellTexts(const viewer::WorkbookSheet& sheet, const QString& cells)
{
    QStringList texts;
    for (const QString& cell : cells.split(' ')) {
        const QVariant value = sheet.value(cell.mid(1).toInt(), cell[0].unicode() - 'A' + 1);
        texts << (value.isValid() ? value.toString() : "-");
    }
    return texts.join('|');
}
