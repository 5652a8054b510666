#include "masters/masterform.h"

#include "masters/browsedialog.h"
#include "reports/reportpreview.h"
#include "store/recordsetmodel.h"
#include "store/storeerror.h"
#include "ui/prompt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

namespace masters {

MasterForm::MasterForm(store::Database& db, MasterFormSetup setup, QWidget* parent)
    : QWidget(parent), m_db(db), m_setup(std::move(setup))
{
    setWindowTitle(m_setup.caption);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);

    m_toolbar = new ui::NavigationToolbar(this);
    m_toolbar->SetForm(this);

    m_frame = new QGroupBox(this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frameLayout = new QFormLayout(m_frame);
    m_shownLayout = new QFormLayout;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_toolbar);
    layout->addLayout(m_shownLayout);
    layout->addWidget(m_frame);
    layout->addStretch(1);
}

// The browse window shows this form's recordset: take it down first.
MasterForm::~MasterForm()
{
    delete m_browse.data();
}

QLineEdit* MasterForm::addField(const QString& objectName, const QString& label, const QString& field, BoxUse use,
                                int maxLength)
{
    auto* box = new QLineEdit(use == BoxUse::ShownOnly ? static_cast<QWidget*>(this) : m_frame);
    box->setObjectName(objectName);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    if (use == BoxUse::ShownOnly) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
        m_shownLayout->addRow(label, box);
    } else {
        m_frameLayout->addRow(label, box);
    }
    m_boxes.append({box, field, use, QString()});
    return box;
}

QString MasterForm::formTitle() const
{
    return ui::applicationTitle() + QStringLiteral(" - ") + m_setup.caption;
}

void MasterForm::showError(const QString& description) const
{
    ui::prompt().show(ui::Message::fromStyle(description, 0));
}

void MasterForm::Form_Load()
{
    try {
        m_records = store::Recordset::fromTable(m_db, m_setup.table, m_setup.orderBy);
    } catch (const store::StoreError& error) {
        showError(error.message());
    }
    enableFrame(false);
    m_toolbar->SetButtons(true);
    showCurrentRecord();
    if (m_records.bof() || m_records.eof()) {
        const auto answer = ui::prompt().show(
            ui::Message::fromStyle(QStringLiteral("Information Not Entered !!! Do you want to Enter Now"), 36, formTitle()));
        if (answer == ui::Answer::Yes)
            AddRecord();
    }
}

void MasterForm::enableFrame(bool enabled)
{
    m_frame->setEnabled(enabled);
    for (const BoundBox& bound : m_boxes)
        if (bound.use == BoxUse::TypedOnlyWhenAdding)
            bound.box->setEnabled(!enabled || mbAddNewFlag);
}

void MasterForm::showCurrentRecord()
{
    const bool hasRow = m_records.editMode() != store::Recordset::EditMode::None ||
                        !(m_records.bof() || m_records.eof());
    for (BoundBox& bound : m_boxes) {
        const int column = m_records.fieldIndex(bound.field);
        bound.shown = hasRow && column >= 0
                          ? store::displayText(m_records.value(column), m_records.fields().at(column).kind)
                          : QString();
        bound.box->setText(bound.shown);
        bound.box->setCursorPosition(0);
    }
}

void MasterForm::Toolbar1_ButtonClick(const QString& button)
{
    const QString key = button.toLower();
    if (key == QLatin1String("new"))
        AddRecord();
    else if (key == QLatin1String("edit"))
        EditRecord();
    else if (key == QLatin1String("save"))
        SaveRecord();
    else if (key == QLatin1String("delete") || key == QLatin1String("cancel"))
        DeleteRecord();
    else if (key == QLatin1String("first"))
        MoveFirstRecord();
    else if (key == QLatin1String("previous"))
        MovePreviousRecord();
    else if (key == QLatin1String("next"))
        MoveNextRecord();
    else if (key == QLatin1String("last"))
        MoveLastRecord();
    else if (key == QLatin1String("find"))
        FindRecord();
    else if (key == QLatin1String("print"))
        queryreport();
    else if (key == QLatin1String("browse"))
        BrowseRecords();
}

void MasterForm::AddRecord()
{
    try {
        m_records.addNew();
    } catch (const store::StoreError& error) {
        ui::prompt().show(ui::Message::fromStyle(error.message(), 0, ui::applicationTitle() + QLatin1Char('-') + m_setup.caption));
        return;
    }
    mbAddNewFlag = true;
    mbEditFlag = false;
    enableFrame(true);
    m_toolbar->SetButtons(false);
    showCurrentRecord();
    for (const BoundBox& bound : m_boxes) {
        if (bound.use != BoxUse::ShownOnly) {
            bound.box->setFocus();
            break;
        }
    }
}

void MasterForm::EditRecord()
{
    try {
        m_records.edit();
    } catch (const store::StoreError& error) {
        showError(error.message());
        return;
    }
    mbEditFlag = true;
    mbAddNewFlag = false;
    enableFrame(true);
    m_toolbar->SetButtons(false);
    for (const BoundBox& bound : m_boxes) {
        if (bound.use == BoxUse::Editable) {
            bound.box->setFocus();
            break;
        }
    }
}

void MasterForm::setTypedValues(const QHash<QString, QString>& typed)
{
    for (auto it = typed.cbegin(); it != typed.cend(); ++it)
        m_records.setValue(it.key(), it.value());
}

bool MasterForm::storePendingRow(const QHash<QString, QString>& typed)
{
    setTypedValues(typed);
    m_records.update();
    return true;
}

void MasterForm::SaveRecord()
{
    if (!mbAddNewFlag && !mbEditFlag)
        return;
    m_frame->setEnabled(false);
    QHash<QString, QString> typed;
    for (const BoundBox& bound : m_boxes) {
        const bool open = bound.use == BoxUse::Editable || (bound.use == BoxUse::TypedOnlyWhenAdding && mbAddNewFlag);
        if (open && (mbAddNewFlag || bound.box->text() != bound.shown))
            typed.insert(bound.field, bound.box->text());
    }
    bool saved = false;
    try {
        // A failed save may have dropped the pending row (a rolled-back
        // write reads the rows again): open it anew.
        if (m_records.editMode() == store::Recordset::EditMode::None) {
            if (mbAddNewFlag)
                m_records.addNew();
            else
                m_records.edit();
        }
        saved = storePendingRow(typed);
    } catch (const store::StoreError& error) {
        showError(error.message());
    }
    if (!saved) {
        enableFrame(true);
        return;
    }
    const bool added = mbAddNewFlag;
    backToBrowsing();
    afterSave(added);
}

void MasterForm::backToBrowsing()
{
    mbAddNewFlag = false;
    mbEditFlag = false;
    enableFrame(false);
    m_toolbar->SetButtons(true);
    showCurrentRecord();
    setFocus();
}

void MasterForm::CancelEdit()
{
    m_records.cancelUpdate();
    backToBrowsing();
}

void MasterForm::deleteCurrentRecord()
{
    m_records.deleteCurrent();
}

void MasterForm::DeleteRecord()
{
    if (mbAddNewFlag || mbEditFlag) {
        CancelEdit();
        return;
    }
    if (!mayDelete())
        return;
    const auto answer =
        ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Delete this record?"), 36, QStringLiteral("Message")));
    if (answer != ui::Answer::Yes) {
        m_records.cancelUpdate();
        return;
    }
    try {
        const bool wasLast = m_records.position() == m_records.recordCount() - 1;
        deleteCurrentRecord();
        if (wasLast && m_setup.afterDeletingTheLast == AfterDeletingTheLast::PastTheEnd)
            m_records.moveTo(m_records.recordCount());
    } catch (const store::StoreError& error) {
        showError(error.message());
    }
    showCurrentRecord();
}

void MasterForm::CloseForm()
{
    // Its frame takes the workspace window with it.
    close();
}

bool MasterForm::refuseMoveWithoutRows() const
{
    if (!m_records.isEmpty())
        return false;
    try {
        (void)m_records.value(0);  // the current row, which an empty table lacks
    } catch (const store::StoreError& error) {
        showError(error.message());
    }
    return true;
}

void MasterForm::MoveFirstRecord()
{
    if (refuseMoveWithoutRows())
        return;
    m_records.moveFirst();
    showCurrentRecord();
}

void MasterForm::MoveLastRecord()
{
    if (refuseMoveWithoutRows())
        return;
    m_records.moveLast();
    showCurrentRecord();
}

bool MasterForm::beepsPastTheEnd() const
{
    return !m_records.isEmpty() || m_setup.emptyTableSteps == StepsOnEmptyTable::BeepAndRefuse;
}

void MasterForm::MoveNextRecord()
{
    if (!m_records.eof())
        m_records.moveNext();
    if (m_records.eof() && beepsPastTheEnd()) {
        QApplication::beep();
        MoveLastRecord();
        return;
    }
    showCurrentRecord();
}

void MasterForm::MovePreviousRecord()
{
    if (!m_records.bof())
        m_records.movePrevious();
    if (m_records.bof() && beepsPastTheEnd()) {
        QApplication::beep();
        MoveFirstRecord();
        return;
    }
    showCurrentRecord();
}

void MasterForm::BrowseRecords()
{
    if (m_browse) {
        m_browse->raise();
        m_browse->activateWindow();
        return;
    }
    m_browse = new BrowseDialog(m_records, m_setup.browseCaption, m_setup.fields, this);
    connect(m_browse, &QDialog::finished, this, [this] {
        showCurrentRecord();
        setFocus();
    });
    m_browse->show();
}

void MasterForm::FindRecord()
{
    BrowseRecords();
}

void MasterForm::queryreport()
{
    // Reading the rows again would drop a row being typed; the toolbar
    // offers Print only while browsing.
    if (mbAddNewFlag || mbEditFlag)
        return;
    try {
        m_records.requery();
    } catch (const store::StoreError& error) {
        showError(error.message());
        return;
    }
    store::Rows rows;
    rows.columns = m_records.fields();
    for (int position = 0; position < m_records.recordCount(); ++position)
        rows.rows.append(m_records.rowAt(position));
    showReport(reports::buildMasterList(m_setup.printedList, rows));
    // An empty list leaves no row to stand on; printing it is no failure.
    if (!m_records.isEmpty())
        MoveLastRecord();
}

void MasterForm::showReport(const reports::ReportDocument& document)
{
    reports::showReportPreview(document, this);
}

void MasterForm::keyPressEvent(QKeyEvent* event)
{
    if (mbAddNewFlag || mbEditFlag) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Only Ctrl on its own turns Up and Down into first and last.
    const bool controlAlone = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Escape:
        CloseForm();
        break;
    case Qt::Key_End:
        MoveLastRecord();
        break;
    case Qt::Key_Home:
        MoveFirstRecord();
        break;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        controlAlone ? MoveFirstRecord() : MovePreviousRecord();
        break;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        controlAlone ? MoveLastRecord() : MoveNextRecord();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MasterForm::closeEvent(QCloseEvent* event)
{
    if (mbAddNewFlag || mbEditFlag) {
        ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Save your changes"), 0, formTitle()));
        event->ignore();
        return;
    }
    if (m_browse)
        m_browse->close();
    event->accept();
}

}  // namespace masters
