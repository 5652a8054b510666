#pragma once

#include "masters/linkservice.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace store {
class Database;
}

namespace masters {

// "Link GROUP<<------------------->>STOCKS": the user picks a group and moves
// scrips between its members ("Selected Stocks") and the other scrips
// ("Stocks"). Every Add and Remove rewrites the group's links at once, in one
// transaction; when that fails the lists are read again from the table, so
// lists and table always agree.
//
// Each list item carries its group code or scrip number (Qt::UserRole).
class GroupMembershipScreen : public QWidget {
    Q_OBJECT
public:
    explicit GroupMembershipScreen(store::Database& db, QWidget* parent = nullptr);

    // Refills the code box with every scrip's NSE or BSE code and shows the
    // chosen scrip's code.
    void Load_Script();

private:
    void chooseGroup(int position);
    void chooseScrip(int position);
    void chooseScripByCode(const QString& code);
    void find();
    void add();
    void remove();
    void save();
    void fillGroupLists(const QString& groupCode);
    void selectScripQuietly(int position);
    bool bseChosen() const;
    QString chosenGroupCode() const;
    void tell(const QString& text, const QString& title) const;

    store::Database& m_db;
    QList<ScripCodes> m_scrips;  // every scrip with its codes, for the code box

    QListWidget* m_groupNames = nullptr;    // lstGrpName
    QLineEdit* m_groupName = nullptr;       // txtGrpName
    QListWidget* m_scripNames = nullptr;    // lstScripName
    QLineEdit* m_scripName = nullptr;       // txtScripName
    QListWidget* m_addedScrips = nullptr;   // lstAddedScripts
    QRadioButton* m_nseCode = nullptr;      // OptNseCode
    QRadioButton* m_bseCode = nullptr;      // OptBseCode
    QComboBox* m_scripCode = nullptr;       // CmbScriptCode
    QLineEdit* m_findText = nullptr;        // txtFind
    QProgressBar* m_progress = nullptr;     // ProgressBar1
    int m_scripIndex = -1;                  // txtScripIndex
};

}  // namespace masters
