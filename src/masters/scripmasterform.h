#pragma once

#include "masters/masterform.h"

namespace masters {

// "Stock Master": the scrips of ScripMaster, by company name. The scrip
// number is given by the table and only shown.
class ScripMasterForm : public MasterForm {
    Q_OBJECT
public:
    explicit ScripMasterForm(store::Database& db, QWidget* parent = nullptr);
};

}  // namespace masters
