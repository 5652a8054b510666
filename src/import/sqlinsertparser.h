#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

// Reads the lines of the master files published on the server. Each line is
// meant to be one statement "INSERT INTO <table> [(<columns>)] VALUES
// (<values>)" for one known table. The line is never run as it comes: it is
// parsed here, accepted only in exactly that shape, and its values come back
// to be bound to a statement of our own.
namespace import::sqlinsert {

// What a column accepts: a whole number, or a text (a quoted text, or a
// number literal kept as written).
enum class ValueKind { WholeNumber, Text };

struct ColumnShape {
    QString name;
    ValueKind kind = ValueKind::Text;
    // A required column must be given a value other than NULL.
    bool required = false;
};

// The table a file may insert into, its columns in table order (the order
// of a VALUES list written without column names).
struct TableShape {
    QString table;
    QList<ColumnShape> columns;
};

// Parses one line. On success the values come back one per column of
// `shape`, in the shape's order: a qint64 for a whole number, a QString for
// a text, a null QVariant for a column left out or given NULL. Otherwise
// nothing, and `reason` says what was wrong, for the user.
//
// Keywords and names are read without regard to case; blanks and tabs may
// stand between the parts; one ';' may end the statement. Texts are in
// single quotes, a quote inside doubled (''), and hold no control character.
// Anything after the statement (a second statement, a comment) refuses the
// line.
std::optional<QVariantList> parseInsert(const QString& line, const TableShape& shape, QString* reason = nullptr);

}  // namespace import::sqlinsert
