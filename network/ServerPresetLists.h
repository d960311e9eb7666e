#pragma once

namespace quorlex {

class Dialog;

// Fills a network page's address and port combos with the preset casters and
// ports. Choosing one only puts its text into the combo's edit field.
void FillServerPresetLists(Dialog& page, int addressCombo, int portCombo);

} // namespace quorlex
