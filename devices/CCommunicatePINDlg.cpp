#include "devices/CCommunicatePINDlg.h"

#include "ui/DataExchange.h"

namespace quorlex {
namespace {

constexpr int kPinTemplate = 201;
constexpr int kPinEdit = 1041;

} // namespace

CCommunicatePINDlg::CCommunicatePINDlg(QWidget* parent) : Dialog(kPinTemplate, parent) {}

void CCommunicatePINDlg::DoDataExchange(DataExchange& dx) {
    DdxText(dx, kPinEdit, pinText);
}

} // namespace quorlex
