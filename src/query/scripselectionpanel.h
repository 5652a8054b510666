#pragma once

#include "masters/headersort.h"
#include "query/querylists.h"
#include "store/recordset.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QTableView;

namespace store {
class Database;
class RecordsetModel;
}  // namespace store

namespace query {

// The scrips a query run is limited to, on the query screen: the frame
// "Stock Selection" with the scrip group, the scrips to pick (the group's
// members, or every scrip with "ALL" before the group is chosen) and the
// find box; below it the details of the current scrip (its codes and its
// groups), shown and hidden by a double click on a scrip.
class ScripSelectionPanel : public QWidget {
    Q_OBJECT
public:
    explicit ScripSelectionPanel(store::Database& db, QWidget* parent = nullptr);
    ~ScripSelectionPanel() override;

    // Every scrip with its codes: listed after "ALL", and where the details
    // and the find by code look.
    void setScrips(QList<ListedScrip> scrips);
    // Lists the groups and chooses the first, which lists its members.
    void setGroups(const QList<ListedGroup>& groups);
    // Chooses the group named `name` (without regard to case) when listed.
    void chooseGroupNamed(const QString& name);
    // Whether scrips can be picked; picked scrips of an unavailable list do
    // not apply to a run.
    void setListAvailable(bool available);
    // Makes the scrip list wide enough for the names it holds.
    void fitListToItems();

    // The chosen group's code ("ALL" or empty: no restriction) and name.
    QString groupCode() const { return m_groupCode; }
    QString groupName() const;
    // The numbers of the picked scrips while the list is available.
    QList<qint64> pickedScrips() const;
    // The text of the scrip list's current item, empty when none.
    QString currentScripText() const;

private:
    QWidget* buildSelection();
    QWidget* buildDetails();
    void chooseGroup(int index);
    void fillList(const QList<ListedScrip>& scrips, bool withAll);
    void scripClicked();
    void scripDoubleClicked();
    void fillDetails();
    void sortDetails(int column);
    void findScrip();
    bool selectScrip(qint64 srno);

    store::Database& m_db;
    QComboBox* m_groupList = nullptr;
    QListWidget* m_scripList = nullptr;
    QLineEdit* m_findText = nullptr;
    QGroupBox* m_details = nullptr;
    QLineEdit* m_nseCode = nullptr;
    QLineEdit* m_bseCode = nullptr;
    QTableView* m_detailsGrid = nullptr;
    store::RecordsetModel* m_detailsModel = nullptr;

    QList<ListedScrip> m_scrips;  // every scrip by company, read once at load
    QString m_groupCode;
    store::Recordset m_groupsOfScrip;
    masters::HeaderSortToggle m_detailsSort;
};

}  // namespace query
