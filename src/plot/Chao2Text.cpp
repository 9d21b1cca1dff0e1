#include "plot/Chao2Text.h"

#include "textio/RarefactionTable.h"

namespace quorvella {

QString chao2Text(double estimate)
{
    return QString::fromStdString(chao2FieldText(estimate));
}

} // namespace quorvella
