#include "document/AbundanceText.h"

#include <limits>

namespace quorvella {

ParsedAbundance parseAbundance(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {true, std::nullopt};
    for (const QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {};
    }
    bool ok = false;
    const qlonglong value = trimmed.toLongLong(&ok);
    if (!ok || value > std::numeric_limits<std::int32_t>::max())
        return {};
    return {true, static_cast<std::int32_t>(value)};
}

} // namespace quorvella
