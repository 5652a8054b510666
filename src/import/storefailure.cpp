#include "import/storefailure.h"

#include "store/storeerror.h"

namespace import {

QString importStoreFailure(const store::StoreError& failure, const QString& kept)
{
    const QString what = failure.storeUnwritable()
                             ? store::storeUnwritableMessage(failure)
                             : QStringLiteral("The file could not be imported: %1").arg(failure.message());
    return what + QLatin1Char('\n') + kept;
}

}  // namespace import
