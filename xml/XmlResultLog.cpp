#include "xml/XmlResultLog.h"

#include "common/Numbers.h"
#include "xml/XmlEntities.h"

namespace quorlex {

void XmlResultLog::Clear() {
    text_.clear();
    full_ = false;
}

void XmlResultLog::Add(std::u16string_view result,
                       std::initializer_list<XmlLogAttribute> attributes) {
    if (full_) {
        return;
    }
    std::u16string entry;
    entry += u'<';
    entry += result;
    for (const XmlLogAttribute& attribute : attributes) {
        entry += u' ';
        entry += attribute.name;
        entry += u"=\"";
        if (const auto* text = std::get_if<std::u16string_view>(&attribute.value)) {
            AppendEscaped(*text, entry, true);
        } else {
            entry += FormatInt(std::get<int64_t>(attribute.value));
        }
        entry += u'"';
    }
    entry += u"/>";
    if (text_.size() + entry.size() > kLimit) {
        full_ = true;
        return;
    }
    text_ += entry;
}

} // namespace quorlex
