#include "ui/Dialog.h"

#include "ui/DataExchange.h"
#include "ui/DialogFont.h"
#include "ui/ListCtrl.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QStyle>
#include <QTabWidget>

#include <algorithm>

namespace quorlex {
namespace {

DialogTemplate LookupTemplate(int templateId) {
    const DialogTemplate* found = FindDialogTemplate(templateId);
    return found != nullptr ? *found : DialogTemplate{templateId, u"", 0, 0, {}};
}

UserPrompts& InheritedPrompts(QWidget* parent) {
    const auto* owner = dynamic_cast<const Dialog*>(parent);
    return owner != nullptr ? owner->Prompts() : DesktopPrompts();
}

QStringList SplitItems(std::u16string_view items) {
    if (items.empty()) {
        return {};
    }
    return ToQString(items).split(QLatin1Char('\n'));
}

QWidget* MakeStatic(const ControlTemplate& c) {
    auto* label = new QLabel(ToQString(c.text));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    const Qt::Alignment horizontal =
        (c.styles & style::kCentered) != 0 ? Qt::AlignHCenter : Qt::AlignLeft;
    label->setAlignment(horizontal | Qt::AlignTop);
    if ((c.styles & style::kRedText) != 0) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
        label->setPalette(palette);
    }
    return label;
}

QWidget* MakeCombo(const ControlTemplate& c) {
    auto* combo = new QComboBox;
    combo->setEditable(c.kind == ControlKind::DropDown);
    combo->setInsertPolicy(QComboBox::NoInsert);
    QStringList items = SplitItems(c.items);
    if ((c.styles & style::kSorted) != 0) {
        items.sort(Qt::CaseInsensitive);
    }
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    return combo;
}

QWidget* MakeIcon() {
    auto* label = new QLabel;
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) {
        icon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation);
    }
    label->setPixmap(icon.pixmap(32, 32));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget* MakeEdit(const ControlTemplate& c) {
    auto* edit = new QLineEdit(ToQString(c.text));
    if ((c.styles & style::kPassword) != 0) {
        edit->setEchoMode(QLineEdit::Password);
    }
    edit->setReadOnly((c.styles & style::kReadOnly) != 0);
    return edit;
}

} // namespace

Dialog::Dialog(int templateId, QWidget* parent) : Dialog(LookupTemplate(templateId), parent) {}

Dialog::Dialog(const DialogTemplate& layout, QWidget* parent)
    : QDialog(parent), dialogTemplate_(layout), units_(DialogUnits::FromFont(DialogFont())),
      prompts_(&InheritedPrompts(parent)) {
    setFont(DialogFont());
}

Dialog::~Dialog() = default;

int Dialog::DoModal() {
    EnsureBuilt();
    endRequested_ = false;
    endResult_ = kIdCancel;
    windowExists_ = true;
    OnInitDialog();
    int result = endResult_;
    if (!endRequested_) {
        inModalLoop_ = true;
        result = exec();
        inModalLoop_ = false;
    }
    windowExists_ = false;
    return result;
}

void Dialog::CreateModeless(QWidget* parent) {
    setParent(parent, Qt::Widget);
    EnsureBuilt();
    endRequested_ = false;
    windowExists_ = true;
    OnInitDialog();
    show();
}

void Dialog::EndDialog(int result) {
    endRequested_ = true;
    endResult_ = result;
    if (inModalLoop_) {
        done(result);
    } else if (isVisible()) {
        hide();
    }
}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    ApplyPlatformShell();
    return true;
}

void Dialog::ApplyPlatformShell() {
    setWindowTitle(ToQString(dialogTemplate_.caption));
}

void Dialog::OnCommand(int id, Notification code) {
    if (code != Notification::Clicked) {
        return;
    }
    if (id == kIdOk) {
        OnOK();
    } else if (id == kIdCancel) {
        OnCancel();
    }
}

void Dialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(kIdOk);
    }
}

void Dialog::OnCancel() {
    EndDialog(kIdCancel);
}

void Dialog::reject() {
    // A page inside another dialog passes Escape on to the dialog that holds it.
    if (!isWindow()) {
        if (auto* outer = dynamic_cast<QDialog*>(window())) {
            outer->reject();
        }
        return;
    }
    OnCancel();
}

QWidget* Dialog::GetDlgItem(int id) const {
    auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

std::u16string Dialog::GetDlgItemText(int id) const {
    QWidget* widget = GetDlgItem(id);
    if (auto* edit = dynamic_cast<QLineEdit*>(widget)) {
        return FromQString(edit->text());
    }
    if (auto* combo = dynamic_cast<QComboBox*>(widget)) {
        return FromQString(combo->currentText());
    }
    if (auto* button = dynamic_cast<QAbstractButton*>(widget)) {
        return FromQString(button->text());
    }
    if (auto* label = dynamic_cast<QLabel*>(widget)) {
        return FromQString(label->text());
    }
    if (auto* group = dynamic_cast<QGroupBox*>(widget)) {
        return FromQString(group->title());
    }
    return {};
}

void Dialog::SetDlgItemText(int id, std::u16string_view text) {
    QWidget* widget = GetDlgItem(id);
    const QString value = ToQString(text);
    if (auto* edit = dynamic_cast<QLineEdit*>(widget)) {
        edit->setText(value);
    } else if (auto* combo = dynamic_cast<QComboBox*>(widget)) {
        if (combo->isEditable()) {
            combo->setEditText(value);
        } else {
            combo->setCurrentIndex(combo->findText(value));
        }
    } else if (auto* button = dynamic_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    } else if (auto* label = dynamic_cast<QLabel*>(widget)) {
        label->setText(value);
    } else if (auto* group = dynamic_cast<QGroupBox*>(widget)) {
        group->setTitle(value);
    }
}

void Dialog::EnableDlgItem(int id, bool enable) {
    if (QWidget* widget = GetDlgItem(id)) {
        widget->setEnabled(enable);
    }
}

void Dialog::ShowDlgItem(int id, bool show) {
    if (QWidget* widget = GetDlgItem(id)) {
        widget->setVisible(show);
    }
}

std::vector<QAbstractButton*> Dialog::RadioGroup(int firstId) const {
    auto found = radioGroups_.find(firstId);
    return found == radioGroups_.end() ? std::vector<QAbstractButton*>{} : found->second.buttons;
}

int Dialog::GetRadioIndex(int firstId) const {
    const std::vector<QAbstractButton*> buttons = RadioGroup(firstId);
    auto checked = std::find_if(buttons.begin(), buttons.end(),
                                [](const QAbstractButton* b) { return b->isChecked(); });
    return checked == buttons.end() ? -1 : static_cast<int>(checked - buttons.begin());
}

void Dialog::SetRadioIndex(int firstId, int index) {
    auto found = radioGroups_.find(firstId);
    if (found == radioGroups_.end()) {
        return;
    }
    RadioGroupInfo& info = found->second;
    // An exclusive group refuses to uncheck its last button.
    info.group->setExclusive(false);
    for (size_t i = 0; i < info.buttons.size(); ++i) {
        info.buttons[i]->setChecked(static_cast<int>(i) == index);
    }
    info.group->setExclusive(true);
}

int Dialog::AddComboString(int id, std::u16string_view text) {
    auto* combo = DlgItem<QComboBox>(id);
    const ControlTemplate* control = dialogTemplate_.FindControl(id);
    if (combo == nullptr) {
        return -1;
    }
    const QString value = ToQString(text);
    int index = combo->count();
    if (control != nullptr && (control->styles & style::kSorted) != 0) {
        index = 0;
        while (index < combo->count() &&
               QString::compare(combo->itemText(index), value, Qt::CaseInsensitive) <= 0) {
            ++index;
        }
    }
    combo->insertItem(index, value);
    return index;
}

void Dialog::ResetComboContent(int id) {
    if (auto* combo = DlgItem<QComboBox>(id)) {
        combo->clear();
    }
}

int Dialog::MessageBox(std::u16string_view text, std::u16string_view caption, MessageIcon icon) {
    return prompts_->ShowMessage(this, text, caption, icon);
}

QWidget* Dialog::CreateControl(const ControlTemplate& control) {
    return CreateDefaultControl(control);
}

QWidget* Dialog::CreateDefaultControl(const ControlTemplate& c) {
    switch (c.kind) {
    case ControlKind::Static:
        return MakeStatic(c);
    case ControlKind::GroupBox:
        return new QGroupBox(ToQString(c.text));
    case ControlKind::Button: {
        auto* button = new QPushButton(ToQString(c.text));
        button->setDefault((c.styles & style::kDefaultButton) != 0);
        return button;
    }
    case ControlKind::RadioButton:
        return new QRadioButton(ToQString(c.text));
    case ControlKind::CheckBox:
        return new QCheckBox(ToQString(c.text));
    case ControlKind::Edit:
        return MakeEdit(c);
    case ControlKind::DropDownList:
    case ControlKind::DropDown:
        return MakeCombo(c);
    case ControlKind::ListView:
        return new ListCtrl;
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar;
        bar->setTextVisible(false);
        bar->setRange(0, 100);
        bar->setValue(0);
        return bar;
    }
    case ControlKind::TabControl:
        return new QTabWidget;
    case ControlKind::Icon:
        return MakeIcon();
    }
    return nullptr;
}

void Dialog::EnsureBuilt() {
    if (built_) {
        return;
    }
    built_ = true;
    ApplyTemplateSize();
    setWindowTitle(ToQString(dialogTemplate_.caption));
    RadioGroupInfo* openGroup = nullptr;
    for (const ControlTemplate& control : dialogTemplate_.controls) {
        BuildControl(control, openGroup);
    }
}

void Dialog::BuildControl(const ControlTemplate& control, RadioGroupInfo*& openGroup) {
    QWidget* widget = CreateControl(control);
    if (widget == nullptr) {
        return;
    }
    widget->setParent(this);
    PlaceControl(*widget, control);
    widget->setVisible((control.styles & style::kHidden) == 0);
    widget->setEnabled((control.styles & style::kDisabled) == 0);
    if (control.id != kNoControlId) {
        controls_[control.id] = widget;
        ConnectNotifications(*widget, control.id);
    } else {
        unnamedControls_.push_back(widget);
    }
    auto* radio = dynamic_cast<QAbstractButton*>(widget);
    if (control.kind != ControlKind::RadioButton || radio == nullptr) {
        openGroup = nullptr;
        return;
    }
    if (openGroup == nullptr || (control.styles & style::kGroup) != 0) {
        openGroup = &radioGroups_[control.id];
        openGroup->group = new QButtonGroup(this);
    }
    openGroup->group->addButton(radio);
    openGroup->buttons.push_back(radio);
}

void Dialog::RelayoutFrom(int templateId) {
    const DialogTemplate* next = FindDialogTemplate(templateId);
    if (next == nullptr) {
        return;
    }
    EnsureBuilt();
    const DialogTemplate previous = dialogTemplate_;
    dialogTemplate_ = *next;
    ApplyTemplateSize();
    placements_.clear();
    for (QWidget* widget : unnamedControls_) {
        delete widget;
    }
    unnamedControls_.clear();
    for (auto& [id, widget] : controls_) {
        if (next->FindControl(id) == nullptr) {
            if (!widget->isHidden()) {
                widget->hide();
                hiddenByLayout_.push_back(id);
            }
        }
    }
    RadioGroupInfo* openGroup = nullptr;
    for (const ControlTemplate& control : next->controls) {
        QWidget* existing = GetDlgItem(control.id);
        if (existing == nullptr) {
            BuildControl(control, openGroup);
            continue;
        }
        openGroup = nullptr;
        PlaceControl(*existing, control);
        const ControlTemplate* before = previous.FindControl(control.id);
        if (before != nullptr && before->text != control.text) {
            SetDlgItemText(control.id, control.text);
        }
        auto hidden = std::find(hiddenByLayout_.begin(), hiddenByLayout_.end(), control.id);
        if (hidden != hiddenByLayout_.end()) {
            hiddenByLayout_.erase(hidden);
            existing->setVisible((control.styles & style::kHidden) == 0);
        }
    }
}

QSize Dialog::TemplateSize() const {
    return {units_.ToPixelsX(dialogTemplate_.width), units_.ToPixelsY(dialogTemplate_.height)};
}

void Dialog::ApplyTemplateSize() {
    // A page takes whatever room its tab control gives it.
    setMinimumSize(isWindow() ? TemplateSize() : QSize(0, 0));
    resize(TemplateSize());
}

QSize Dialog::Growth() const {
    const QSize base = TemplateSize();
    return {std::max(0, width() - base.width()), std::max(0, height() - base.height())};
}

void Dialog::PlaceControl(QWidget& widget, const ControlTemplate& control) {
    QRect rect = units_.ToPixels(control.x, control.y, control.width, control.height);
    if (auto* combo = dynamic_cast<QComboBox*>(&widget)) {
        // The template's height includes the dropped-down list.
        const int closed = std::min(rect.height(), combo->sizeHint().height());
        const int itemHeight = std::max(1, units_.ToPixelsY(8));
        combo->setMaxVisibleItems(std::max(1, (rect.height() - closed) / itemHeight));
        rect.setHeight(closed);
    }
    const Placement placement{&widget, rect, AnchorsFor(dialogTemplate_, control)};
    auto known = std::find_if(placements_.begin(), placements_.end(),
                              [&widget](const Placement& p) { return p.widget == &widget; });
    if (known != placements_.end()) {
        *known = placement;
    } else {
        placements_.push_back(placement);
    }
    widget.setGeometry(Anchored(placement.base, placement.anchors, Growth()));
}

void Dialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const QSize growth = Growth();
    for (const Placement& placement : placements_) {
        placement.widget->setGeometry(Anchored(placement.base, placement.anchors, growth));
    }
}

void Dialog::ConnectNotifications(QWidget& widget, int id) {
    if (auto* button = dynamic_cast<QAbstractButton*>(&widget)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, id] { OnCommand(id, Notification::Clicked); });
    } else if (auto* combo = dynamic_cast<QComboBox*>(&widget)) {
        connect(combo, &QComboBox::activated, this,
                [this, id] { OnCommand(id, Notification::SelectionChanged); });
        if (QLineEdit* edit = combo->lineEdit()) {
            connect(edit, &QLineEdit::textEdited, this,
                    [this, id] { OnCommand(id, Notification::EditChanged); });
        }
    } else if (auto* edit = dynamic_cast<QLineEdit*>(&widget)) {
        connect(edit, &QLineEdit::textEdited, this,
                [this, id] { OnCommand(id, Notification::EditChanged); });
    }
}

} // namespace quorlex
