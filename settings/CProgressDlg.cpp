#include "settings/CProgressDlg.h"

#include "common/Numbers.h"
#include "common/Text.h"
#include "ui/CColorListCtrl.h"

#include <QProgressBar>

#include <cstdint>
#include <string_view>
#include <utility>

namespace quorlex {
namespace {

constexpr int kProgressTemplate = 137;
constexpr int kProgressBar = 1039;
constexpr int kStatusList = 1040;
constexpr uint32_t kStatusListStyles = 0x00010031;
constexpr int kStatusColumnWidth = 420;
constexpr uint32_t kRed = 255;

std::u16string Trim(std::u16string_view text) {
    constexpr std::u16string_view blanks = u" \t\r\n\v\f";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::u16string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(blanks);
    return std::u16string(text.substr(first, last - first + 1));
}

bool ReportsFailure(std::u16string_view status) {
    return Contains(status, u"超时") || Contains(status, u"失败") || Contains(status, u"错误");
}

} // namespace

CProgressDlg::CProgressDlg(AttachTarget attach, QWidget* parent)
    : Dialog(kProgressTemplate, parent), attach_(std::move(attach)) {}

CColorListCtrl* CProgressDlg::StatusList() const {
    return DlgItem<CColorListCtrl>(kStatusList);
}

QWidget* CProgressDlg::CreateControl(const ControlTemplate& control) {
    if (control.id == kStatusList) {
        return new CColorListCtrl;
    }
    return Dialog::CreateControl(control);
}

bool CProgressDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    running_ = 1;
    CColorListCtrl* list = StatusList();
    list->SetExtendedStyle(kStatusListStyles);
    if (list->columnCount() == 0) {
        list->InsertColumn(0, u"状态", ColumnAlign::Left, kStatusColumnWidth);
        list->SetColumnFit(0, ColumnFit::Fill);
    }
    list->DeleteAllItems();
    ShowDlgItem(kIdOk, false);
    ShowDlgItem(kIdCancel, true);
    // Only now is there a window to notify: the batch's first notifications went to nobody.
    if (attach_) {
        attach_(*this);
    }
    return true;
}

void CProgressDlg::OnBatchProgress(const BatchProgress& progress) {
    if (!HasWindow()) {
        return;
    }
    last_ = progress;
    if (last_.total <= 0) {
        return;
    }
    auto* bar = DlgItem<QProgressBar>(kProgressBar);
    bar->setRange(0, last_.total);
    bar->setValue(last_.position);
    if (std::u16string status = Trim(last_.status); !status.empty()) {
        AppendStatus(std::move(status));
    }
    if (running_ != 0 && last_.position == last_.total) {
        ShowEnd();
    }
}

void CProgressDlg::AppendStatus(std::u16string status) {
    CColorListCtrl* list = StatusList();
    const int count = list->GetItemCount();
    if (count > 0) {
        const std::u16string previous = list->GetItemText(count - 1, 0);
        if (previous.find(status) != std::u16string::npos) {
            // The same status again (a resent command): one row with a counter.
            list->DeleteItem(count - 1);
            const size_t length = std::min(status.size(), previous.size());
            const int64_t repeats = ParseInteger(std::u16string_view(previous).substr(length));
            status += FormatInt(repeats + 1);
        }
    }
    const int row = list->InsertItem(list->GetItemCount(), status);
    if (ReportsFailure(status)) {
        list->SetItemColor(static_cast<uint32_t>(row), kRed);
    }
    if (list->GetItemCount() > 0) {
        list->SelectItem(row);
        list->EnsureVisible(row);
    }
}

void CProgressDlg::ShowEnd() {
    running_ = 0;
    if (last_.failed != 0) {
        ShowDlgItem(kIdOk, false);
        ShowDlgItem(kIdCancel, true);
        return;
    }
    ShowDlgItem(kIdOk, true);
    ShowDlgItem(kIdCancel, false);
    if (autoClose_ != 0) {
        EndDialog(kIdOk);
    }
}

} // namespace quorlex
