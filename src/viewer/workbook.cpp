#include "viewer/workbook.h"

#include <algorithm>

// The workbook as values. Reading an .xlsx file is in workbookreader.cpp,
// writing one in workbookwriter.cpp.
namespace viewer {

// ---- sheet ---------------------------------------------------------------

void WorkbookSheet::setValue(int row, int column, const QVariant& value)
{
    const std::pair<int, int> key{row, column};
    if (!value.isValid() || value.isNull()) {
        auto found = m_cells.find(key);
        if (found != m_cells.end()) {
            found->value = QVariant();
            if (!found->bold)
                m_cells.erase(found);
        }
        return;
    }
    m_cells[key].value = value;
}

QVariant WorkbookSheet::value(int row, int column) const
{
    return m_cells.value({row, column}).value;
}

void WorkbookSheet::setBold(int row, int firstColumn, int lastColumn, bool bold)
{
    for (int column = firstColumn; column <= lastColumn; ++column) {
        const std::pair<int, int> key{row, column};
        if (bold) {
            m_cells[key].bold = true;
        } else if (auto found = m_cells.find(key); found != m_cells.end()) {
            found->bold = false;
            if (!found->value.isValid())
                m_cells.erase(found);
        }
    }
}

bool WorkbookSheet::isBold(int row, int column) const
{
    return m_cells.value({row, column}).bold;
}

void WorkbookSheet::clear(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    for (auto it = m_cells.begin(); it != m_cells.end();) {
        const auto [row, column] = it.key();
        if (row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn)
            it = m_cells.erase(it);
        else
            ++it;
    }
}

int WorkbookSheet::lastRow() const
{
    return m_cells.isEmpty() ? 0 : m_cells.lastKey().first;
}

int WorkbookSheet::lastColumn() const
{
    int last = 0;
    for (auto it = m_cells.keyBegin(); it != m_cells.keyEnd(); ++it)
        last = std::max(last, it->second);
    return last;
}

// ---- workbook ------------------------------------------------------------

WorkbookSheet& Workbook::addSheet(const QString& name)
{
    m_sheets.append(WorkbookSheet(name));
    return m_sheets.last();
}

WorkbookSheet* Workbook::sheet(const QString& name)
{
    for (WorkbookSheet& candidate : m_sheets) {
        if (candidate.name().compare(name, Qt::CaseInsensitive) == 0)
            return &candidate;
    }
    return nullptr;
}

const WorkbookSheet* Workbook::sheet(const QString& name) const
{
    return const_cast<Workbook*>(this)->sheet(name);
}

QString columnLetters(int column)
{
    QString letters;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        letters.prepend(QChar('A' + digit));
        column = (column - 1) / 26;
    }
    return letters;
}

}  // namespace viewer
