#include "tests/ui/WorkingScreenDriver.h"

#include "devices/CCommunicateSetDlg.h"
#include "settings/CWorkSettingDlg.h"
#include "tests/ui/ModalDriver.h"
#include "ui/ListCtrl.h"

namespace quorlex {
namespace {

constexpr int kCommunicate = 1033;
constexpr int kSearch = 1033;
constexpr int kConnect = 1036;
constexpr int kExit = 1037;

} // namespace

bool ConnectFromWorkingScreen(CWorkSettingDlg& screen, std::u16string_view name) {
    bool read = false;
    AnswerNextModal([&read, name](QWidget& window) {
        auto* devices = dynamic_cast<CCommunicateSetDlg*>(&window);
        if (devices == nullptr) {
            return;
        }
        Click(*devices, kSearch);
        ListCtrl* list = devices->DeviceList();
        for (int row = 0; row < list->GetItemCount(); ++row) {
            if (list->GetItemText(row, 0) == name) {
                list->SelectItem(row);
                Click(*devices, kConnect); // returns once the read has ended
                read = devices->configRead != 0;
                break;
            }
        }
        Click(*devices, kExit);
    });
    Click(screen, kCommunicate);
    return read;
}

} // namespace quorlex
