#pragma once

#include "channel/BatchProgress.h"
#include "channel/ProgressTarget.h"
#include "ui/Dialog.h"

#include <functional>
#include <string>

namespace quorlex {

class CColorListCtrl;

// Shows one command batch: a progress bar and a list of status rows. Closes
// itself with OK when the batch ends without failure; after a failed end only
// "取消" remains.
class CProgressDlg final : public Dialog, public ProgressTarget {
public:
    // Makes the dialog the channel's progress target; called once its window exists.
    using AttachTarget = std::function<void(ProgressTarget&)>;

    explicit CProgressDlg(AttachTarget attach = {}, QWidget* parent = nullptr);

    bool HasWindow() const override { return Dialog::HasWindow(); }
    void OnBatchProgress(const BatchProgress& progress) override;

    const BatchProgress& LastProgress() const { return last_; }
    bool IsRunning() const { return running_ != 0; }
    CColorListCtrl* StatusList() const;

protected:
    bool OnInitDialog() override;
    QWidget* CreateControl(const ControlTemplate& control) override;

private:
    void AppendStatus(std::u16string status);
    void ShowEnd();

    AttachTarget attach_;
    BatchProgress last_;
    int running_ = 1;
    int autoClose_ = 1;
};

} // namespace quorlex
