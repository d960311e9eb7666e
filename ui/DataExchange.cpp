#include "ui/DataExchange.h"

#include "common/Format.h"
#include "common/Numbers.h"
#include "ui/Dialog.h"

#include <QCheckBox>
#include <QComboBox>

namespace quorlex {

void DdxText(DataExchange& dx, int id, std::u16string& value) {
    if (dx.saveAndValidate) {
        value = dx.dialog.GetDlgItemText(id);
    } else {
        dx.dialog.SetDlgItemText(id, value);
    }
}

void DdxInt(DataExchange& dx, int id, int& value) {
    if (dx.saveAndValidate) {
        value = ParseInteger(dx.dialog.GetDlgItemText(id));
    } else {
        dx.dialog.SetDlgItemText(id, FormatInt(value));
    }
}

void DdxRadio(DataExchange& dx, int firstId, int& index) {
    if (dx.saveAndValidate) {
        index = dx.dialog.GetRadioIndex(firstId);
    } else {
        dx.dialog.SetRadioIndex(firstId, index);
    }
}

void DdxComboIndex(DataExchange& dx, int id, int& index) {
    auto* combo = dx.dialog.DlgItem<QComboBox>(id);
    if (combo == nullptr) {
        return;
    }
    if (dx.saveAndValidate) {
        index = combo->currentIndex();
    } else {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
}

void DdxCheck(DataExchange& dx, int id, int& value) {
    auto* check = dx.dialog.DlgItem<QCheckBox>(id);
    if (check == nullptr) {
        return;
    }
    if (dx.saveAndValidate) {
        value = check->isChecked() ? 1 : 0;
    } else {
        check->setChecked(value != 0);
    }
}

} // namespace quorlex
