#include "network/ApnOperators.h"

namespace quorlex {

int ApnOperatorIndexOf(const ApnBlock& apn) {
    // Rows whose name identifies them, in the order the name is tested.
    constexpr int kNamedRows[] = {0, 1, 3};
    for (const int row : kNamedRows) {
        if (apn.name == kApnOperators[row].name) {
            return row;
        }
    }
    constexpr int kCdmaRow = 2;
    const ApnOperator& cdma = kApnOperators[kCdmaRow];
    if (apn.user == cdma.user && apn.password == cdma.password) {
        return kCdmaRow;
    }
    return kOtherApnOperator;
}

} // namespace quorlex
