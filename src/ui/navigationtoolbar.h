#pragma once

#include <QIcon>
#include <QString>
#include <QStyle>
#include <QWidget>

class QAction;
class QToolBar;

namespace ui {

// The size of the icons on the screens' toolbars.
inline constexpr QSize kToolbarIconSize{32, 32};

// A toolbar icon: the desktop theme's `themeName`, else the style's
// `fallback`, always drawn at kToolbarIconSize so that every button of a bar
// has the same height and its label on the same line.
QIcon toolbarIcon(const char* themeName, QStyle::StandardPixmap fallback, const QWidget* widget);

// The form a navigation toolbar serves: it receives the pressed button's
// text and tells whether a row is being added or edited.
class NavigationHost {
public:
    virtual ~NavigationHost() = default;

    // mbAddNewFlag and mbEditFlag of the host.
    virtual bool isAddingNew() const = 0;
    virtual bool isEditing() const = 0;
    // Called with the text of the pressed button ("New", "Edit", "Save",
    // "Delete", "Cancel", "First", ...); hosts compare it in lower case.
    virtual void Toolbar1_ButtonClick(const QString& button) = 0;
};

// The record-navigation toolbar of the master forms: twelve positions,
// eleven buttons and a separator at position 8.
//
//   1 New   2 Edit   3 Save   4 Delete/Cancel   5 First   6 Previous
//   7 Next  8 ----   9 Last  10 Find  11 Browse  12 Print
//
// While browsing every button but Save is enabled; while a row is added or
// edited only Save and Cancel are.
class NavigationToolbar : public QWidget {
    Q_OBJECT
public:
    static constexpr int PositionCount = 12;
    static constexpr int SeparatorPosition = 8;

    explicit NavigationToolbar(QWidget* parent = nullptr);

    // Room for every button: the bar never folds buttons into an overflow menu.
    QSize minimumSizeHint() const override;

    // The form whose Toolbar1_ButtonClick receives the presses.
    void SetForm(NavigationHost* host);
    // True for browsing, false while adding or editing (see the class
    // comment); button 4 reads "Cancel" whenever the host adds or edits.
    void SetButtons(bool bval);

    // The action at a position 1..12 (position 8 is the separator).
    QAction* action(int position) const;
    // The action whose text is `text`, without regard to case, or null.
    QAction* action(const QString& text) const;

private:
    void press(QAction* action);

    QToolBar* m_bar = nullptr;
    NavigationHost* m_host = nullptr;
};

}  // namespace ui
