#include "network/ServerPresetLists.h"

#include "network/ServerPresets.h"
#include "ui/Dialog.h"

namespace quorlex {

void FillServerPresetLists(Dialog& page, int addressCombo, int portCombo) {
    page.ResetComboContent(addressCombo);
    for (const std::u16string_view address : kPresetServerAddresses) {
        page.AddComboString(addressCombo, address);
    }
    page.ResetComboContent(portCombo);
    for (const std::u16string_view port : kPresetPorts) {
        page.AddComboString(portCombo, port);
    }
}

} // namespace quorlex
