#include "network/CWorkApnDlg.h"

#include "network/ApnOperators.h"
#include "ui/DataExchange.h"

namespace quorlex {
namespace {

constexpr int kApnTemplate = 133;
constexpr int kOperatorList = 1003;
constexpr int kNameEdit = 1004;
constexpr int kUserEdit = 1010;
constexpr int kPasswordEdit = 1025;

} // namespace

CWorkApnDlg::CWorkApnDlg(QWidget* parent) : Dialog(kApnTemplate, parent) {}

void CWorkApnDlg::DoDataExchange(DataExchange& dx) {
    DdxComboIndex(dx, kOperatorList, operatorIndex);
    DdxText(dx, kNameEdit, name);
    DdxText(dx, kUserEdit, user);
    DdxText(dx, kPasswordEdit, password);
}

bool CWorkApnDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    ResetComboContent(kOperatorList);
    for (const ApnOperator& row : kApnOperators) {
        AddComboString(kOperatorList, row.label);
    }
    name = block.name;
    user = block.user;
    password = block.password;
    operatorIndex = ApnOperatorIndexOf(block);
    UpdateData(false);
    return true;
}

// Choosing an operator overwrites all three values, typed ones included.
void CWorkApnDlg::OnCommand(int id, Notification code) {
    if (id != kOperatorList || code != Notification::SelectionChanged) {
        Dialog::OnCommand(id, code);
        return;
    }
    UpdateData(true);
    if (operatorIndex < 0 || operatorIndex >= static_cast<int>(kApnOperators.size())) {
        return;
    }
    const ApnOperator& row = kApnOperators[static_cast<size_t>(operatorIndex)];
    name = row.name;
    user = row.user;
    password = row.password;
    UpdateData(false);
}

void CWorkApnDlg::OnOK() {
    UpdateData(true);
    block = ApnBlock{name, user, password};
    EndDialog(kIdOk);
}

} // namespace quorlex
