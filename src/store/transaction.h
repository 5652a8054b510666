#pragma once

namespace store {

class Database;

// A unit of work on the store: everything done while it lives lands on
// commit(), and is rolled back if the scope is left without it (an error or
// an early return). Scopes nest; an inner scope's work lands only with the
// outermost commit.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Database& m_db;
    bool m_done = false;
};

}  // namespace store
