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
    DdxComboIndex(dx, kOperatorList, operatorIndex_);
    DdxText(dx, kNameEdit, name_);
    DdxText(dx, kUserEdit, user_);
    DdxText(dx, kPasswordEdit, password_);
}

bool CWorkApnDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    ResetComboContent(kOperatorList);
    for (const ApnOperator& row : kApnOperators) {
        AddComboString(kOperatorList, row.label);
    }
    name_ = block.name;
    user_ = block.user;
    password_ = block.password;
    operatorIndex_ = ApnOperatorIndexOf(block);
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
    if (operatorIndex_ < 0 || operatorIndex_ >= static_cast<int>(kApnOperators.size())) {
        return;
    }
    const ApnOperator& row = kApnOperators[static_cast<size_t>(operatorIndex_)];
    name_ = row.name;
    user_ = row.user;
    password_ = row.password;
    UpdateData(false);
}

void CWorkApnDlg::OnOK() {
    UpdateData(true);
    block = ApnBlock{name_, user_, password_};
    EndDialog(kIdOk);
}

} // namespace quorlex
