#pragma once

#include <QStringList>

namespace store {

class Database;

// The tables of the main database, created where missing. Safe to run on
// every open: existing tables and rows are left alone.
void createMainSchema(Database& db);

// The tables of the options (open-interest) database.
void createOptionsSchema(Database& db);

// Names of the tables that createMainSchema makes.
QStringList mainTableNames();

// The tables of mainTableNames that the store at `db` lacks, in that order.
QStringList missingMainTables(Database& db);

}  // namespace store
