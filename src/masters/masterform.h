#pragma once

#include "masters/browsedialog.h"
#include "reports/masterlist.h"
#include "store/recordset.h"
#include "ui/navigationtoolbar.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class QFormLayout;
class QGroupBox;
class QLineEdit;

namespace masters {

// What Next and Previous do on an empty table. The scrip master first asks
// whether there are rows and does nothing; the other forms step past the end
// at once, beep, and are refused the move to the last or first row.
enum class StepsOnEmptyTable { DoNothing, BeepAndRefuse };

// Where Delete leaves the form when the row it deleted was the last in the
// form's order: on the new last row, or past the end with empty boxes until
// the user moves (a second Delete there finds no row).
enum class AfterDeletingTheLast { NewLastRow, PastTheEnd };

// What a master form keeps and how it names itself.
struct MasterFormSetup {
    QString caption;        // window caption, e.g. "Stock Master"
    QString table;          // the table the form keeps
    QString orderBy;        // e.g. "ORDER BY company"
    QString browseCaption;  // e.g. "Browse Script"
    reports::MasterList printedList;  // what Print lists
    // The fields the form reads, in its order: the browse window lists them
    // so (empty: all of the table's, in the table's order).
    QStringList fields;
    StepsOnEmptyTable emptyTableSteps = StepsOnEmptyTable::DoNothing;
    AfterDeletingTheLast afterDeletingTheLast = AfterDeletingTheLast::NewLastRow;
};

// The template of the master-data screens: one recordset of one table bound
// to an edit frame of text boxes, the navigation toolbar, keyboard
// navigation, add, edit, save, cancel, delete, the browse window and the
// printed list.
//
// States: browsing (the frame disabled, every toolbar button but Save on),
// adding (mbAddNewFlag) and editing (mbEditFlag), where only Save and Cancel
// work, the keyboard navigation is off and the window refuses to close. A
// failed save stays in its state so the row can be corrected.
//
// A subclass adds its boxes with addField() in its constructor and ends it
// with Form_Load(); it may refine deleting and saving through the virtual
// hooks.
class MasterForm : public QWidget, public ui::NavigationHost {
    Q_OBJECT
public:
    ~MasterForm() override;

    store::Recordset& adoPrimaryRS() { return m_records; }
    ui::NavigationToolbar* toolbar() const { return m_toolbar; }
    // The edit frame (Frame1).
    QGroupBox* frame() const { return m_frame; }
    // The browse window while it is open, else null.
    BrowseDialog* browseWindow() const { return m_browse; }
    QString caption() const { return m_setup.caption; }

    bool isAddingNew() const override { return mbAddNewFlag; }
    bool isEditing() const override { return mbEditFlag; }
    // Dispatches a toolbar button's text: new, edit, save, delete, cancel,
    // first, previous, next, last, find, print, browse (any letter case).
    void Toolbar1_ButtonClick(const QString& button) override;

protected:
    enum class BoxUse {
        Editable,             // typed while adding and editing
        TypedOnlyWhenAdding,  // a key: typed for a new row, fixed afterwards
        ShownOnly,            // shown beside the frame, never typed
    };

    MasterForm(store::Database& db, MasterFormSetup setup, QWidget* parent);

    // Adds a box bound to `field`, labelled `label` (none when empty).
    QLineEdit* addField(const QString& objectName, const QString& label, const QString& field, BoxUse use,
                        int maxLength = 0);
    // Opens the recordset, shows its first row, and on an empty table offers
    // to enter a row at once.
    void Form_Load();

    void AddRecord();
    void EditRecord();
    void SaveRecord();
    // Cancels while adding or editing; otherwise asks, and deletes the
    // current row on Yes (without one, says so as Edit does).
    void DeleteRecord();
    void CancelEdit();
    void CloseForm();
    // On an empty table the moves are refused with the store's own
    // description of a missing current row, as Edit is.
    void MoveFirstRecord();
    void MoveLastRecord();
    // One row on; past either end a beep and back to the last or first row.
    void MoveNextRecord();
    void MovePreviousRecord();
    void BrowseRecords();
    void FindRecord();
    // Reads the table again and prints its rows, in the form's order, as the
    // form's printed list; the form then stands on the last row.
    void queryreport();
    // Opens the print preview of a printed list.
    virtual void showReport(const reports::ReportDocument& document);

    // Hooks. mayDelete() may refuse (and say why) before the question;
    // deleteCurrentRecord() deletes the current row.
    virtual bool mayDelete() { return true; }
    virtual void deleteCurrentRecord();
    // Writes the pending row from the typed texts, by field name, as typed:
    // every box of a new row, and of an edited row only the boxes whose text
    // differs from what the row showed, so a field nobody changed (a null
    // among them) stays as stored. Returns false when it refused the row and
    // told the user why; raises store::StoreError on failure. Either way the
    // row stays pending.
    virtual bool storePendingRow(const QHash<QString, QString>& typed);
    // Puts the typed texts into the pending row.
    void setTypedValues(const QHash<QString, QString>& typed);
    // Runs after a successful save, back in the browsing state.
    virtual void afterSave(bool added) { (void)added; }

    // Shows the current row in the boxes (empty boxes when there is none).
    void showCurrentRecord();
    // "Tarvenix - " + caption.
    QString formTitle() const;
    // Shows a failure's description titled with the application title.
    void showError(const QString& description) const;

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    store::Database& m_db;
    store::Recordset m_records;
    bool mbAddNewFlag = false;
    bool mbEditFlag = false;

private:
    struct BoundBox {
        QLineEdit* box = nullptr;
        QString field;
        BoxUse use = BoxUse::Editable;
        QString shown;  // the text the current row put in the box
    };

    // Enables the frame and its boxes for the current state.
    void enableFrame(bool enabled);
    // True, after telling the user, when there is no row to move to.
    bool refuseMoveWithoutRows() const;
    // Next and Previous past the end: whether to beep and go back to the
    // last or first row.
    bool beepsPastTheEnd() const;
    void backToBrowsing();

    MasterFormSetup m_setup;
    ui::NavigationToolbar* m_toolbar = nullptr;
    QGroupBox* m_frame = nullptr;
    QFormLayout* m_frameLayout = nullptr;
    QFormLayout* m_shownLayout = nullptr;
    QList<BoundBox> m_boxes;
    QPointer<BrowseDialog> m_browse;
};

}  // namespace masters
