#pragma once

#include <string>

namespace quorlex {

class Dialog;

// One exchange between a dialog's controls and its fields.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate)
        : dialog(dialog), saveAndValidate(saveAndValidate) {}

    Dialog& dialog;
    const bool saveAndValidate; // true: controls into fields
};

// Text of an edit, static, button or editable combo box.
void DdxText(DataExchange& dx, int id, std::u16string& value);
// Decimal integer text; reads as far as the digits go.
void DdxInt(DataExchange& dx, int id, int& value);
// Index of the checked radio button of the group starting at firstId (-1: none).
void DdxRadio(DataExchange& dx, int firstId, int& index);
// Selected index of a combo box (-1: none).
void DdxComboIndex(DataExchange& dx, int id, int& index);
// Check box state, 0 or 1.
void DdxCheck(DataExchange& dx, int id, int& value);

} // namespace quorlex
