#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace quorlex {

struct XmlLogAttribute {
    std::u16string_view name;
    std::variant<std::u16string_view, int64_t> value;
};

// The result log of the last parse or file operation: one small element per
// result, e.g. <lone_end_tag tagname="b" offset="7"/>. It never grows past
// kLimit characters; once a result does not fit, it and all later ones are dropped.
class XmlResultLog {
public:
    static constexpr size_t kLimit = 1000;

    void Clear();
    void Add(std::u16string_view result, std::initializer_list<XmlLogAttribute> attributes = {});

    const std::u16string& Text() const { return text_; }

private:
    std::u16string text_;
    bool full_ = false;
};

} // namespace quorlex
