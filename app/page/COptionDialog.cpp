#include "app/page/COptionDialog.h"

#include "platform/gui/CheckBox.h"
#include "platform/gui/ComboBox.h"
#include "platform/gui/EditBox.h"
#include "platform/gui/FileDialog.h"
#include "platform/gui/GroupBox.h"
#include "platform/gui/Label.h"
#include "platform/gui/RadioButton.h"

namespace app {

namespace {

using Kind = OptionForm::Kind;

bool isButton(Kind kind) { return kind == Kind::CheckBox || kind == Kind::Radio; }

}  // namespace

COptionDialog::COptionDialog() : form_(SettingsStore(), pageServices()) {}

OptionForm::Services COptionDialog::pageServices()
{
    OptionForm::Services services;
    services.chooseFolder = [this](const std::string& current) {
        return platform::FileDialog::chooseFolder(getWindow(), OptionForm::kFolderTitle, current);
    };
    return services;
}

COptionDialog::~COptionDialog()
{
    // The native controls go before the page's window, which CPageDialog destroys.
    natives_.clear();
}

void COptionDialog::onInitPage()
{
    createControls();
    loadSettings();
}

void COptionDialog::createControls()
{
    for (const OptionForm::Control& control : OptionForm::controls()) {
        if (control.kind != Kind::SkinButton) {
            createNative(control);
            continue;
        }
        browse_ = placeControl<KXLib::KXButtonEx>("KXButtonEx", control.name, control.rect);
        browse_->loadImage(OptionForm::kBrowseImage, OptionForm::kBrowseFrame);
        browse_->setTooltip(control.tooltip);
        browse_->setText(control.text, POINT{0, 0}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void COptionDialog::createNative(const OptionForm::Control& control)
{
    platform::Window& window = *getWindow();
    std::unique_ptr<platform::NativeControl> native;
    switch (control.kind) {
    case Kind::Label: native = std::make_unique<platform::Label>(window, control.id, control.text); break;
    case Kind::GroupBox: native = std::make_unique<platform::GroupBox>(window, control.id, control.text); break;
    case Kind::Edit: native = std::make_unique<platform::EditBox>(window, control.id); break;
    case Kind::CheckBox: native = std::make_unique<platform::CheckBox>(window, control.id, control.text); break;
    case Kind::Radio:
        native = std::make_unique<platform::RadioButton>(window, control.id, control.text, control.startsGroup);
        break;
    case Kind::Choice: {
        auto list = std::make_unique<platform::ComboBox>(window, control.id, platform::ComboBox::Kind::DropList);
        for (const std::string& entry : OptionForm::choices(control.name))
            list->addString(entry);
        native = std::move(list);
        break;
    }
    case Kind::SkinButton: return;
    }
    native->setRect(control.rect);
    native->show();
    natives_[control.name] = std::move(native);
}

platform::NativeControl* COptionDialog::nativeControl(const std::string& name) const
{
    const auto found = natives_.find(name);
    return found == natives_.end() ? nullptr : found->second.get();
}

void COptionDialog::loadSettings()
{
    form_.loadSettings();
    showForm();
}

bool COptionDialog::saveSettings()
{
    const bool saved = form_.saveSettings();
    showForm();
    return saved;
}

bool COptionDialog::applySettings(const OptionSettings& settings)
{
    const bool saved = form_.applySettings(settings);
    showForm();
    return saved;
}

bool COptionDialog::syncShellRegistration(bool wanted) { return form_.syncShellRegistration(wanted); }

bool COptionDialog::profilesSaved() { return form_.profilesSaved(); }

void COptionDialog::showForm()
{
    for (const OptionForm::Control& control : OptionForm::controls()) {
        const OptionForm::ControlState& state = form_.state(control.name);
        if (control.kind == Kind::SkinButton) {
            if (browse_) {
                browse_->setEnabled(state.enabled);
            }
            continue;
        }
        platform::NativeControl* native = nativeControl(control.name);
        if (!native)
            continue;
        native->setEnabled(state.enabled);
        if (auto* edit = dynamic_cast<platform::EditBox*>(native)) {
            // Setting the same text again would move the caret while the user types.
            if (edit->text() != state.text)
                edit->setText(state.text);
        } else if (auto* list = dynamic_cast<platform::ComboBox*>(native)) {
            list->setText(state.text);
        } else if (auto* button = dynamic_cast<platform::ButtonControl*>(native)) {
            button->setChecked(state.checked);
        }
    }
}

void COptionDialog::onCommand(int id, int code)
{
    const OptionForm::Control* control = OptionForm::controlWithId(id);
    platform::NativeControl* native = control ? nativeControl(control->name) : nullptr;
    if (!native)
        return;
    if (control->kind == Kind::Edit && code == EN_CHANGE) {
        form_.setText(control->name, static_cast<platform::EditBox*>(native)->text());
    } else if (control->kind == Kind::Choice && code == CBN_SELCHANGE) {
        form_.setText(control->name, static_cast<platform::ComboBox*>(native)->text());
    } else if (isButton(control->kind) && code == BN_CLICKED) {
        form_.setChecked(control->name, static_cast<platform::ButtonControl*>(native)->isChecked());
        form_.onEvent(control->name);
    } else {
        return;
    }
    showForm();
}

void COptionDialog::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM)
{
    if (message != WM_LBUTTONUP || !control || control->getName() != OptionForm::kBrowse)
        return;
    form_.onEvent(OptionForm::kBrowse);
    showForm();
}

bool COptionDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return true;
    }
    return CPageDialog::onMessage(message, wParam, lParam);
}

}  // namespace app
