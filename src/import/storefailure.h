#pragma once

#include <QString>

namespace store {
class StoreError;
}

namespace import {

// What the user is told when the store fails during an import, ending with
// `kept`, what was left unchanged ("Nothing was imported from the file.").
// A store that could not be written is named with the reason, since the
// file is not to blame; any other failure is told with the store's reason.
QString importStoreFailure(const store::StoreError& failure, const QString& kept);

}  // namespace import
