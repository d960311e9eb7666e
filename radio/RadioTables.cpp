#include "radio/RadioTables.h"

#include "common/Numbers.h"

#include <cmath>

namespace quorlex {
namespace {

constexpr double kLowestMhz = 410.0;
constexpr double kHighestMhz = 470.0;
constexpr double kTolerance = 0.000001;

} // namespace

std::optional<int> ProtocolIndexOfCode(int32_t code) {
    for (size_t i = 0; i < kRadioProtocols.size(); ++i) {
        if (kRadioProtocols[i].code == code) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

int32_t ProtocolCodeOfIndex(int index) {
    if (index >= 0 && static_cast<size_t>(index) < kRadioProtocols.size()) {
        return kRadioProtocols[static_cast<size_t>(index)].code;
    }
    return index;
}

// Written so that NaN fails: both comparisons must hold for a value to pass.
bool IsFrequencyInRange(double mhz) {
    return std::isfinite(mhz) && mhz - kLowestMhz > -kTolerance && mhz - kHighestMhz <= kTolerance;
}

std::optional<double> CheckFrequencyText(std::u16string_view text) {
    const double mhz = ParseDecimal(text);
    if (!IsFrequencyInRange(mhz)) {
        return std::nullopt;
    }
    return mhz;
}

} // namespace quorlex
