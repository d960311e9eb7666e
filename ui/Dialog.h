#pragma once

#include "resources/DialogTemplate.h"
#include "ui/ControlAnchors.h"
#include "ui/DialogUnits.h"
#include "ui/UserPrompts.h"

#include <QDialog>

#include <map>
#include <string>
#include <string_view>
#include <vector>

class QAbstractButton;
class QButtonGroup;

namespace quorlex {

class DataExchange;

// What a control reports to its dialog.
enum class Notification { Clicked, SelectionChanged, EditChanged };

// A dialog built from a template of resources/. Its window exists only while
// it runs: from just before OnInitDialog until DoModal returns (or from
// CreateModeless on, for a page). It opens at its template's size, which is
// also the smallest it can be made; made larger, its controls follow their
// ControlAnchors.
class Dialog : public QDialog {
public:
    // A Dialog parent passes on its prompts.
    explicit Dialog(int templateId, QWidget* parent = nullptr);
    // From a template of the caller's; its texts and controls must outlive the dialog.
    explicit Dialog(const DialogTemplate& layout, QWidget* parent = nullptr);
    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; returns the result given to EndDialog (kIdOk, kIdCancel).
    int DoModal();
    // Builds and initialises the dialog as a child window of parent (a page of a tab).
    void CreateModeless(QWidget* parent);
    void EndDialog(int result);
    bool HasWindow() const { return windowExists_; }
    // Lays the dialog out again from another template of the same dialog (the
    // portrait and landscape layouts): controls of both move and take the new
    // template's text where the two differ, the others are created or hidden.
    void RelayoutFrom(int templateId);

    // Controls into fields (save) or fields into controls.
    bool UpdateData(bool saveAndValidate = true);

    const DialogTemplate& Template() const { return dialogTemplate_; }
    const DialogUnits& Units() const { return units_; }
    // The template's size in pixels.
    QSize TemplateSize() const;
    QWidget* GetDlgItem(int id) const;
    template <class T> T* DlgItem(int id) const { return dynamic_cast<T*>(GetDlgItem(id)); }
    std::u16string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, std::u16string_view text);
    void EnableDlgItem(int id, bool enable);
    void ShowDlgItem(int id, bool show);
    // The radio buttons of the group that starts at firstId, in template order.
    std::vector<QAbstractButton*> RadioGroup(int firstId) const;
    // Index of the checked button of that group, -1 when none; -1 also clears the group.
    int GetRadioIndex(int firstId) const;
    void SetRadioIndex(int firstId, int index);
    // Combo box list editing that keeps a sorted combo sorted; returns the item's index.
    int AddComboString(int id, std::u16string_view text);
    void ResetComboContent(int id);

    // A message box; the handheld's "Warning" box with the exclamation icon by default.
    int MessageBox(std::u16string_view text, std::u16string_view caption = u"Warning",
                   MessageIcon icon = MessageIcon::Exclamation);
    UserPrompts& Prompts() const { return *prompts_; }
    void SetPrompts(UserPrompts& replacement) { prompts_ = &replacement; }

protected:
    virtual void DoDataExchange(DataExchange& dx);
    // Fields into controls, then the platform's dialog shell. Overrides call this first.
    virtual bool OnInitDialog();
    // Buttons, radio buttons, combo and edit changes. 1 and 2 end the dialog.
    virtual void OnCommand(int id, Notification code);
    virtual void OnOK();
    virtual void OnCancel();
    // Makes the widget for one template control; a dialog may substitute its own class.
    virtual QWidget* CreateControl(const ControlTemplate& control);
    // The handheld removed the caption and made a shell call here; a desktop
    // window keeps its title bar and shows the caption as its title.
    void ApplyPlatformShell();

    void reject() override; // Escape and the title bar's close button: Cancel
    void resizeEvent(QResizeEvent* event) override;

private:
    void EnsureBuilt();
    struct RadioGroupInfo {
        QButtonGroup* group = nullptr;
        std::vector<QAbstractButton*> buttons;
    };
    // Where a control sits at the template's size and how it follows a larger dialog.
    struct Placement {
        QWidget* widget = nullptr;
        QRect base;
        ControlAnchors anchors;
    };

    void BuildControl(const ControlTemplate& control, RadioGroupInfo*& openGroup);
    QWidget* CreateDefaultControl(const ControlTemplate& control);
    void ApplyTemplateSize();
    void PlaceControl(QWidget& widget, const ControlTemplate& control);
    QSize Growth() const;
    void ConnectNotifications(QWidget& widget, int id);

    DialogTemplate dialogTemplate_;
    DialogUnits units_;
    UserPrompts* prompts_;
    bool built_ = false;
    bool windowExists_ = false;
    bool inModalLoop_ = false;
    bool endRequested_ = false;
    int endResult_ = kIdCancel;
    std::map<int, QWidget*> controls_;
    std::map<int, RadioGroupInfo> radioGroups_;
    std::vector<QWidget*> unnamedControls_; // texts and frames without an id
    std::vector<int> hiddenByLayout_;
    std::vector<Placement> placements_;
};

} // namespace quorlex
