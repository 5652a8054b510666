#include "query/runinputs.h"

#include "store/jetfunctions.h"

namespace query {

RangeBox RangeBox::fromTexts(bool ticked, const QString& lowText, const QString& highText)
{
    return {ticked, store::jetVal(lowText), store::jetVal(highText)};
}

}  // namespace query
