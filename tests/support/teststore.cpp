#include "support/teststore.h"

#include "store/schema.h"

TestStore::TestStore()
{
    m_db.open(path());
    store::createMainSchema(m_db);
}
