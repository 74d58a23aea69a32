#pragma once

namespace qvr {

// Number-to-text conversions write a decimal point whatever the regional settings say.
void FixDecimalSeparator();

}  // namespace qvr
