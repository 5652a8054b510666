#pragma once

#include <QString>
#include <QVariant>

namespace store {
class Database;
}

namespace masters {

// What a duplicate check found. A check that could not run is Failed, never
// "no duplicate": callers must not save on it.
struct DuplicateCheck {
    enum class Outcome { Unique, Duplicate, Failed };
    Outcome outcome = Outcome::Failed;
    QString error;  // why the check failed

    bool isDuplicate() const { return outcome == Outcome::Duplicate; }
    bool isUnique() const { return outcome == Outcome::Unique; }
    bool failed() const { return outcome == Outcome::Failed; }
};

// Counts the rows of `TableName` whose `FieldName` equals `FieldValue`.
//  - `FieldType`: "T" text, "D" date (dd/MMM/yyyy or yyyy-MM-dd), "N" number;
//    the value is bound, after a date or number has been checked as one.
//  - `Mode`: "I" (insert: any row is a duplicate) or "U" (update: the row
//    being edited holds the value, so two rows or more are a duplicate), in
//    either case; any other mode finds no duplicate.
// The table and field must exist in the store; text compares as the column
// does (key columns without regard to case). Touches no dialog.
DuplicateCheck checkDuplicate(store::Database& db, const QString& TableName, const QString& FieldName,
                              const QString& FieldType, const QString& FieldValue, const QString& Mode);

// checkDuplicate, and a failure shown to the user as a critical message
// titled "Error In CheckDuplicateData Function ... ".
DuplicateCheck CheckDuplicateData(store::Database& db, const QString& TableName, const QString& FieldName,
                                  const QString& FieldType, const QString& FieldValue, const QString& Mode);

// 0 for a null value or the empty text, else the value as a number. A value
// that is not a number raises std::invalid_argument ("Type mismatch").
double NullToZero(const QVariant& v);

}  // namespace masters
