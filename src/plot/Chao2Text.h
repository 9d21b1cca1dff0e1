#pragma once

#include <QString>

namespace quorvella {

// The Chao-2 field's text, "Chao-2: %6.2f": 10/3 reads "Chao-2:   3.33", an
// infinite estimate "Chao-2:    inf" and a not-a-number one "Chao-2:    nan".
QString chao2Text(double estimate);

} // namespace quorvella
