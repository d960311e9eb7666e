#include "cli/Secrets.h"

#include <array>

namespace quorlex::cli {

std::u16string MaskedCommand(std::u16string_view command) {
    struct Rule {
        std::u16string_view key;
        bool keepsUser; // the caster user comes before the first "|"
    };
    static constexpr std::array kRules{Rule{u"NETWORK.APNPASS,", false},
                                       Rule{u"NETWORK.MOUNTPOINTUSERPASS,", true}};
    for (const Rule& rule : kRules) {
        const size_t at = command.find(rule.key);
        if (at == command.npos) {
            continue;
        }
        size_t keep = at + rule.key.size();
        if (rule.keepsUser) {
            const size_t bar = command.find(u'|', keep);
            keep = bar == command.npos ? keep : bar + 1;
        }
        return std::u16string(command.substr(0, keep)) + u"***";
    }
    return std::u16string(command);
}

std::string ShownValue(const FieldDef& field, const std::optional<std::string>& value) {
    if (!value) {
        return std::string(kNotReported);
    }
    if (field.secret) {
        return std::string(kHiddenValue);
    }
    return *value;
}

} // namespace quorlex::cli
