#pragma once

#include "network/MountPointDetails.h"
#include "network/SourceTableRecords.h"
#include "ui/Dialog.h"

#include <optional>
#include <string>
#include <vector>

namespace quorlex {

class ListCtrl;

// The caster's streams with the record behind each name, nearest first from a
// position the surveyor types or from the receiver's base position. Choosing
// one hands its name back; nothing is sent to the receiver.
class CMountPointDetailDlg final : public Dialog {
public:
    // records: the table's STR records, copied, since a late table may still
    // change the store while the dialog runs.
    CMountPointDetailDlg(std::vector<StrRecord> records, std::optional<GeoPoint> basePosition,
                         QWidget* parent = nullptr);

    // In: the mount point to show first. Out, after OK: the one chosen.
    std::u16string mountPoint;

    ListCtrl* StreamList() const;
    ListCtrl* DetailList() const;

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;
    void OnOK() override;

private:
    void SetUpColumns();
    void OrderFrom(std::optional<GeoPoint> from);
    void OrderFromTypedPosition();
    void UseBasePosition();
    void ShowRow(int row);
    void ShowDetails();
    // The record of the selected row; nullptr when none is selected.
    const StrRecord* SelectedRecord() const;

    std::vector<StrRecord> records_;
    std::optional<GeoPoint> basePosition_;
    std::vector<RankedStream> order_;
    std::u16string latitudeText_;
    std::u16string longitudeText_;
};

} // namespace quorlex
