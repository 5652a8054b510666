// Every screen the application opens shows each caption, heading and list
// item whole and keeps its controls apart: at the size it opens with, and
// when the Window menu tiles it small.
#include "import/importscreens.h"
#include "marketgenerator.h"
#include "masters/masterform.h"
#include "masters/mastersscreens.h"
#include "portfolio/portfolioreportscreen.h"
#include "portfolio/lookupdialog.h"
#include "portfolio/portfolioscreens.h"
#include "query/queryscreens.h"
#include "shell/aboutbox.h"
#include "shell/mainwindow.h"
#include "shell/splashscreen.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"
#include "ui/screenframe.h"
#include "ui/viewfit.h"
#include "viewer/chartwindow.h"
#include "viewer/resultviewer.h"
#include "viewer/viewerscreens.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// The caption of a label or button, else nothing.
QString textOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    return button ? button->text() : QString();
}

QString describe(const QWidget* widget)
{
    return QStringLiteral("%1 %2 \"%3\"").arg(widget->metaObject()->className(), widget->objectName(), textOf(widget));
}

// The room a column or list item needs: its heading, and its values up to
// the widest a column is sized to.
int contentCap(const QWidget* view)
{
    return view->fontMetrics().horizontalAdvance(QLatin1Char('0')) * ui::kWidestColumnCharacters;
}

void checkText(const QWidget* widget, QStringList& faults)
{
    const auto* label = qobject_cast<const QLabel*>(widget);
    const QSize needed = label && label->wordWrap()
                             ? QSize(label->minimumSizeHint().width(), label->heightForWidth(label->width()))
                             : widget->minimumSizeHint();
    if (!textOf(widget).isEmpty() && (widget->width() < needed.width() || widget->height() < needed.height()))
        faults << QStringLiteral("%1 is %2x%3, its text needs %4x%5")
                      .arg(describe(widget))
                      .arg(widget->width())
                      .arg(widget->height())
                      .arg(needed.width())
                      .arg(needed.height());
}

void checkView(QAbstractItemView* view, bool openingSize, QStringList& faults)
{
    if (auto* grid = qobject_cast<QTableView*>(view)) {
        const QHeaderView* header = grid->horizontalHeader();
        int natural = 0;
        for (int column = 0; column < header->count(); ++column) {
            const int heading = header->sectionSizeHint(column);
            if (header->isSectionHidden(column))
                continue;
            natural += std::max(
                heading, std::min(static_cast<QAbstractItemView*>(grid)->sizeHintForColumn(column), contentCap(grid)));
            if (header->isVisible() && header->sectionSize(column) < heading)
                faults << QStringLiteral("%1: heading \"%2\" is %3 wide, needs %4")
                              .arg(describe(grid), grid->model()->headerData(column, Qt::Horizontal).toString())
                              .arg(header->sectionSize(column))
                              .arg(heading);
        }
        // A grid may scroll sideways only when its columns, sized to what
        // they show, cannot all be seen.
        if (openingSize && grid->horizontalScrollBar()->maximum() > 0 && natural <= grid->viewport()->width())
            faults << QStringLiteral("%1 scrolls sideways although its columns need only %2 of %3")
                          .arg(describe(grid))
                          .arg(natural)
                          .arg(grid->viewport()->width());
    } else if (auto* list = qobject_cast<QListView*>(view)) {
        const int needed = std::min(list->sizeHintForColumn(0), contentCap(list));
        if (list->model() && list->model()->rowCount() > 0 && needed > list->viewport()->width())
            faults << QStringLiteral("%1 shows %2 of the %3 its items need")
                          .arg(describe(list))
                          .arg(list->viewport()->width())
                          .arg(needed);
    }
}

// The shown children of `parent` stay inside it (unless it scrolls) and
// apart from each other. Controls of Qt's own make (scroll bars, viewports,
// a spin box's editor) are placed by their owners.
void checkChildren(const QWidget* parent, QStringList& faults)
{
    QList<const QWidget*> shown;
    for (const QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && !child->isHidden() && !child->objectName().startsWith(QLatin1String("qt_")))
            shown.append(child);
    const bool scrolls = parent->objectName() == QLatin1String("qt_scrollarea_viewport");
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (!scrolls && !parent->rect().contains(shown[i]->geometry()))
            faults << QStringLiteral("%1 reaches out of %2").arg(describe(shown[i]), describe(parent));
        for (qsizetype j = i + 1; j < shown.size(); ++j)
            if (shown[i]->geometry().intersects(shown[j]->geometry()))
                faults << QStringLiteral("%1 overlaps %2").arg(describe(shown[i]), describe(shown[j]));
    }
}

// Checks the layout of `root` as it stands.
void expectFits(QWidget* root, bool openingSize, const QString& name)
{
    settle();
    QStringList faults;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        // Dialogs of the screen are windows of their own, checked on their own.
        if (widget != root && (!widget->isVisibleTo(root) || widget->window() != root->window()))
            continue;
        checkText(widget, faults);
        if (const auto* more = widget->findChild<QWidget*>("qt_toolbar_ext_button", Qt::FindDirectChildrenOnly);
            more && more->isVisibleTo(root))
            faults << QStringLiteral("%1 folds buttons into its overflow menu").arg(describe(widget));
        checkChildren(widget, faults);
        if (auto* view = qobject_cast<QAbstractItemView*>(widget))
            checkView(view, openingSize, faults);
    }
    EXPECT_TRUE(faults.isEmpty()) << name.toStdString() << (openingSize ? " as opened" : "") << ":\n  "
                                  << faults.join("\n  ").toStdString();
}

class ScreenLayoutTest : public ::testing::Test {
protected:
    ScreenLayoutTest()
    {
        // Scrips, days, and names as long as the master tables take.
        marketgen::GeneratorOptions options;
        options.scripCount = 60;
        marketgen::MarketGenerator market(options);
        market.writeScripMaster(store.db());
        market.fillMto(store.db(), 5);
        store.db().execScript(
            "INSERT INTO ScripMaster VALUES (900, 'Consolidated Engineering And Holdings Ltd', 'CONSENGHLD', '532900');"
            "INSERT INTO GroupMaster VALUES ('ALL', ' All Stocks'), ('LONG', 'Derivatives F & O Bank Nifty');"
            "INSERT INTO LinkDetails VALUES ('LONG', 900);"
            "INSERT INTO PortfolioMaster VALUES (1, 'Long Term Holdings');"
            "INSERT INTO BulkDeals VALUES ('2024-01-02', 'NSE', 'CONSENGHLD', "
            "'Consolidated Engineering And Holdings Ltd', 'Wellington Emerging Markets Fund', 'BUY', 12500000, "
            "1234.55)");
        masters::registerMastersScreens(registry);
        import::registerImportScreens(registry);
        query::registerQueryScreens(registry);
        viewer::registerViewerScreens(registry);
        portfolio::registerPortfolioScreens(registry);
        window =
            std::make_unique<shell::MainWindow>(store.db(), shell::MainWindow::Paths{store.folder(), {}}, registry);
        window->show();
    }
    ~ScreenLayoutTest() override { qDeleteAll(window->workspace()->subWindowList()); }

    // Checks the screen just opened: it fits its window, nothing scrolled
    // out of sight, and its texts are whole.
    void expectOpensWhole(const QString& name)
    {
        settle();
        auto* frame = static_cast<ui::ScreenFrame*>(window->workspace()->activeSubWindow()->widget());
        EXPECT_EQ(frame->horizontalScrollBar()->maximum(), 0) << name.toStdString() << " opens narrower than it needs";
        EXPECT_EQ(frame->verticalScrollBar()->maximum(), 0) << name.toStdString() << " opens shorter than it needs";
        expectFits(frame->screen(), true, name);
    }

    // The screens shown in the main window's workspace.
    QList<QWidget*> workspaceScreens() const
    {
        QList<QWidget*> screens;
        for (QMdiSubWindow* child : window->workspace()->subWindowList())
            screens.append(static_cast<ui::ScreenFrame*>(child->widget())->screen());
        return screens;
    }

    TestStore store;
    ScriptedPrompt prompt;
    shell::ScreenRegistry registry;
    std::unique_ptr<shell::MainWindow> window;
};

TEST_F(ScreenLayoutTest, EveryChildScreenFitsItsTextsOpenedAndTiled)
{
    QStringList items = registry.menuItems();
    items.sort();
    for (const QString& item : items) {
        window->openScreen(item);
        expectOpensWhole(item);
    }
    // The result viewer and the chart window open from the query screen;
    // the viewer's sort, filter and graph panels open below its grid.
    viewer::showResult(*window, "SELECT scriptcode, TransDate, NSEDelyQty FROM mto", "View All Records");
    expectOpensWhole("result viewer");
    for (const char* button : {"cmdsort", "CmdFilter", "Command2"})
        viewer::openResultViewer()->findChild<QAbstractButton*>(button)->click();
    expectFits(viewer::openResultViewer(), false, "result viewer with its panels");
    viewer::showChart(*window, store.db().query("SELECT scriptcode, NSEDelyQty FROM mto LIMIT 10"));
    expectOpensWhole("chart window");

    // Master forms are tiled while a row is added: Cancel stands for Delete.
    for (QWidget* screen : workspaceScreens())
        if (auto* form = qobject_cast<masters::MasterForm*>(screen))
            form->Toolbar1_ButtonClick("New");
    for (auto tile : {&shell::MainWindow::tileVertically, &shell::MainWindow::tileHorizontally}) {
        ((*window).*tile)();
        for (QWidget* screen : workspaceScreens())
            expectFits(screen, false, screen->windowTitle());
    }
}

// The master forms, the search windows, the result viewer and the chart
// window open at the workspace's top left corner, whatever is open already.
TEST_F(ScreenLayoutTest, MasterSearchAndChartWindowsOpenAtTheTopLeft)
{
    window->openScreen("DatabaseTesting");
    auto opened = [&] {
        settle();
        return window->workspace()->activeSubWindow()->pos();
    };
    const QPoint first = opened();
    window->openScreen("Query");
    EXPECT_NE(opened(), first);  // the workspace places others where there is room
    for (const char* item :
         {"Stock", "Group", "LinkGroupWithScript", "MnuScriptSearch", "MnuBulkDeals", "MnuPortfolio", "DeleteRecords"}) {
        window->openScreen(item);
        EXPECT_EQ(opened(), QPoint(0, 0)) << item;
    }
    viewer::showResult(*window, "SELECT scriptcode, TransDate, NSEDelyQty FROM mto", "View All Records");
    EXPECT_EQ(opened(), QPoint(0, 0)) << "result viewer";
    viewer::showChart(*window, store.db().query("SELECT scriptcode, NSEDelyQty FROM mto LIMIT 10"));
    EXPECT_EQ(opened(), QPoint(0, 0)) << "chart window";
}

TEST_F(ScreenLayoutTest, TheQueryScreenFitsTheCaptionsOfEveryQuery)
{
    window->openScreen("Query");
    QWidget* screen = workspaceScreens().first();
    auto* queries = screen->findChild<QListWidget*>("listquery");
    for (int group = 1; group <= 9; ++group) {
        screen->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(group))->click();
        for (int row = 0; row < queries->count(); ++row) {
            queries->setCurrentRow(row);
            expectFits(screen, false, queries->currentItem()->text());
        }
    }
}

TEST_F(ScreenLayoutTest, WindowsOfTheirOwnFitTheirTextsAtAnySize)
{
    window->openScreen("Stock");
    auto* stock = static_cast<masters::MasterForm*>(workspaceScreens().first());
    stock->Toolbar1_ButtonClick("Browse");
    portfolio::LookupDialog lookup(window.get());
    lookup.search_call(store.db(), portfolio::scripLookupSql(), portfolio::scripLookupTypes());
    portfolio::PortfolioReportScreen report(store.db(), {});
    shell::AboutBox about(window.get());
    shell::SplashScreen splash;
    splash.show();
    settle();
    // The splash screen stands in the middle of the screen.
    EXPECT_EQ(splash.frameGeometry().center(), splash.screen()->availableGeometry().center());
    for (QWidget* own : QList<QWidget*>{stock->browseWindow(), &lookup, &report, &about, &splash}) {
        own->show();
        expectFits(own, true, own->objectName());
        own->resize(120, 80);
        expectFits(own, false, own->objectName());
    }
}

}  // namespace
