#pragma once

#include "reports/reportdocument.h"
#include "store/database.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"
#include "ui/prompt.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <ostream>

// Readable texts in failure messages.
inline std::ostream& operator<<(std::ostream& out, const QString& text)
{
    return out << '"' << text.toStdString() << '"';
}

// Rows for the master tables, written straight into a test store.
namespace fixture {

inline qint64 addScrip(store::Database& db, const QString& company, const QString& nse, const QString& bse)
{
    db.exec(QStringLiteral("INSERT INTO ScripMaster (company, nsescrip, bsescrip) VALUES (?, ?, ?)"),
            {company, nse, bse});
    return db.lastInsertId();
}

inline void addGroup(store::Database& db, const QString& code, const QString& name)
{
    db.exec(QStringLiteral("INSERT INTO GroupMaster (GroupCode, GroupName) VALUES (?, ?)"), {code, name});
}

inline void link(store::Database& db, const QString& code, qint64 srno)
{
    db.exec(QStringLiteral("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES (?, ?)"), {code, srno});
}

// The scrip numbers linked to `code`, in ascending order.
inline QList<qint64> members(store::Database& db, const QString& code)
{
    QList<qint64> result;
    for (const auto& row :
         db.query(QStringLiteral("SELECT ScrCode FROM LinkDetails WHERE GrpCode = ? ORDER BY ScrCode"), {code}).rows)
        result.append(row[0].toLongLong());
    return result;
}

inline int count(store::Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(store::quoteIdentifier(table))).toInt();
}

// Makes every insert of scrip `srno` into LinkDetails fail, as a broken
// write would.
inline void failLinksOf(store::Database& db, qint64 srno)
{
    db.exec(QStringLiteral("CREATE TRIGGER refuse_link BEFORE INSERT ON LinkDetails WHEN NEW.ScrCode = %1 "
                           "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END")
                .arg(srno));
}

// The texts of one column of a grid or list, top to bottom.
inline QStringList texts(const QAbstractItemView* view, int column = 0)
{
    QStringList result;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        result.append(view->model()->index(row, column).data().toString());
    return result;
}

// A printed list as lines: caption and titles, headings, rows, footnotes.
inline QStringList lines(const reports::ReportDocument& document)
{
    QStringList headings;
    for (const reports::ReportColumn& column : document.columns)
        headings.append(column.heading);
    QStringList result{document.windowCaption + " / " + document.titleLines.join(" / "), headings.join(" | ")};
    for (const QStringList& row : document.rows)
        result.append(row.join(" | "));
    return result + document.footnotes;
}

}  // namespace fixture

// A master form that keeps the lists it would preview instead of opening a
// window.
template <class Form>
class PrintCapturing : public Form {
public:
    using Form::Form;
    QList<reports::ReportDocument> printed;

protected:
    void showReport(const reports::ReportDocument& document) override { printed.append(document); }
};

// A master form (or any screen on the store) opened over a test store, with
// scripted answers; `press` clicks a toolbar button.
template <class Form>
class FormTest : public ::testing::Test {
protected:
    void TearDown() override { delete form.data(); }
    Form* open()
    {
        form = new Form(db());
        form->show();
        return form;
    }
    void press(const QString& button) { form->toolbar()->action(button)->trigger(); }
    template <typename T = QLineEdit>
    T* child(const char* name)
    {
        return form->template findChild<T*>(QString::fromLatin1(name));
    }
    QString text(const char* box) { return child(box)->text(); }
    // Types each text into the box named before it.
    void type(const QList<QPair<const char*, QString>>& boxes)
    {
        for (const auto& [box, typed] : boxes)
            child(box)->setText(typed);
    }
    // "browsing", "adding" or "editing", and whether the boxes are open.
    QString mode()
    {
        return QString(form->isAddingNew() ? "adding"
                       : form->isEditing() ? "editing"
                                           : "browsing") +
               (form->frame()->isEnabled() ? ", open" : ", shut");
    }
    // The last message as "title: text", to check both at once.
    QString lastSaid() { return prompt.messages.last().title + ": " + prompt.messages.last().text; }
    QList<qint64> members(const QString& code) { return fixture::members(db(), code); }
    int count(const QString& table) { return fixture::count(db(), table); }
    store::Database& db() { return store.db(); }

    TestStore store;
    ScriptedPrompt prompt;
    QPointer<Form> form;
};
