#pragma once

class QFont;

namespace quorlex {

// The font every dialog is laid out with: one that has the Chinese glyphs
// (the CJK sans family when installed), so dialog units and texts agree.
const QFont& DialogFont();

} // namespace quorlex
