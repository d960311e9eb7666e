#pragma once

#include "cli/ConfigFields.h"
#include "model/ReceiverInfo.h"

#include <string>

namespace quorlex::cli {

// "path   value" with the values lined up.
std::string AlignedLine(std::string_view name, std::string_view value);

// A value as the text formats show it: frequency tables with spaces.
std::string TextValue(const FieldDef& field, const std::optional<std::string>& value);

// The readable form of a read: identity, then every field.
std::string ReadText(const std::string& receiver, int slot, const ReceiverInfo& identity,
                     const ConfigFile& reported);

} // namespace quorlex::cli
