#include "app/OptionForm.h"

#include "app/SettingsTable.h"
#include "convert/ConversionQueue.h"
#include "convert/QueuedFile.h"
#include "platform/core/MessagePresenter.h"

#include <algorithm>
#include <utility>

namespace app {

namespace {

using Kind = OptionForm::Kind;

// Left edge of the controls inside a group box, and the usual row height.
constexpr int kInset = 24;
constexpr int kRow = 20;

constexpr RECT row(int top, int right = 596) { return RECT{kInset, top, right, top + kRow}; }

// The first radio button of the group `radio` belongs to: the nearest one at or before it that
// starts a group.
const OptionForm::Control* groupStart(const OptionForm::Control& radio)
{
    const OptionForm::Control* first = &radio;
    while (!first->startsGroup && first != OptionForm::controls().data())
        --first;
    return first;
}

// The flag a row binds to a check box or radio button of the page; null for the output folder,
// whose edit follows its own rule.
const OptionSettingRow::FlagField* boundFlag(const OptionSettingRow& row)
{
    return row.control ? std::get_if<OptionSettingRow::FlagField>(&row.field) : nullptr;
}

// The number a row binds to a drop-down list of the page; null for every other row.
const OptionSettingRow::IntegerField* boundNumber(const OptionSettingRow& row)
{
    return row.control ? std::get_if<OptionSettingRow::IntegerField>(&row.field) : nullptr;
}

// A chosen entry as its number; the list's first entry for text that is none (it cannot be).
int numberOf(const std::string& text)
{
    return std::max(1, platform::IniDocument::parseInt(text));
}

bool hasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

const std::vector<OptionForm::Control>& OptionForm::controls()
{
    // Only the browse button and "beside the source" act at once; every other control's state is
    // read at the next save.
    static const std::vector<Control> table = {
        {0, "output-group", Kind::GroupBox, "输出设置", RECT{10, 6, 604, 114}, false, nullptr},
        {0, "output-label", Kind::Label, "输出路径:", RECT{kInset, 34, 92, 52}, false, nullptr},
        {1006, OptionForm::kOutputFolder, Kind::Edit, "", RECT{92, 32, 512, 53}, false, nullptr},
        {0, OptionForm::kBrowse, Kind::SkinButton, OptionForm::kBrowseCaption, RECT{520, 32, 589, 53}, false,
         OptionForm::kBrowseTooltip, &OptionForm::onBrowseClicked},
        {1022, OptionForm::kBesideSource, Kind::CheckBox, "输出到源文件目录", row(60), false, nullptr,
         &OptionForm::onBesideSourceClicked},
        {1026, "append-profile", Kind::CheckBox, "添加方案名称到输出文件中  name.avi->name[PSP  320x240 MPEG4].avi",
         row(84), false, nullptr},
        {0, "finish-group", Kind::GroupBox, "转换设置", RECT{10, 122, 604, 210}, false, nullptr},
        {1023, "delete-source", Kind::CheckBox, "转换成功后删除源文件", row(140, 320), false, nullptr},
        {1025, "open-output", Kind::CheckBox, "转换成功后打开输出目录", row(162), false, nullptr},
        {1024, "shutdown", Kind::CheckBox, "转换结束后关闭计算机", row(184), false, nullptr},
        {0, "files-at-once-label", Kind::Label, "同时转换的文件数:", RECT{330, 142, 470, 160}, false, nullptr},
        {1032, OptionForm::kFilesAtOnce, Kind::Choice, "", RECT{470, 138, 540, 160}, false, nullptr},
        {0, "menu-group", Kind::GroupBox, "右键菜单与拖拽", RECT{10, 218, 604, 330}, false, nullptr},
        {1028, OptionForm::kContextMenu, Kind::CheckBox, "启用系统右键菜单快捷转换(修改注册表支持,某些安全软件会给出警告)",
         row(236), false, nullptr},
        {1029, "auto-convert", Kind::CheckBox, "添加文件后自动进行转换", row(258), false, nullptr},
        {1030, OptionForm::kDefaultProfile, Kind::Radio, "使用程序默认转换方案", row(280), true, nullptr},
        {1031, OptionForm::kLastProfile, Kind::Radio, "使用用户最后一次使用的转换方案", row(302), false, nullptr},
    };
    return table;
}

std::vector<std::string> OptionForm::choices(const std::string& name)
{
    std::vector<std::string> entries;
    if (name == kFilesAtOnce)
        for (int count = 1; count <= convert::ConversionQueue::processorCount(); ++count)
            entries.push_back(std::to_string(count));
    return entries;
}

const OptionForm::Control* OptionForm::controlNamed(const std::string& name)
{
    for (const Control& control : controls())
        if (name == control.name)
            return &control;
    return nullptr;
}

const OptionForm::Control* OptionForm::controlWithId(int id)
{
    for (const Control& control : controls())
        if (id != 0 && control.id == id)
            return &control;
    return nullptr;
}

OptionForm::OptionForm(SettingsStore store) : OptionForm(std::move(store), Services()) {}

OptionForm::OptionForm(SettingsStore store, Services services)
    : store_(std::move(store)), services_(std::move(services))
{
    for (const Control& control : controls())
        states_[control.name] = ControlState{};
    showSettings(settings_);
}

void OptionForm::loadSettings()
{
    settings_ = store_.loadOptions();
    showSettings(settings_);
}

bool OptionForm::saveSettings()
{
    const OptionSettings taken = takeControls();
    const bool saved = store_.saveOptions(taken);
    if (saved) {
        settings_ = taken;
    } else {
        tellRefusedSave(taken);
        loadSettings();
    }
    // On every save, also when the flag did not change: the menus may have been removed or added
    // behind our back, and the registered state tells.
    syncShellRegistration(settings_.contextMenuEnabled != 0);
    return saved;
}

bool OptionForm::applySettings(const OptionSettings& settings)
{
    settings_ = settings;
    showSettings(settings_);
    return saveSettings();
}

bool OptionForm::syncShellRegistration(bool wanted)
{
    return ShellRegistration::sync(wanted, services_.startShellHelper);
}

bool OptionForm::profilesSaved()
{
    return settings_.contextMenuEnabled && ShellRegistration::refresh(services_.startShellHelper);
}

const OptionForm::ControlState& OptionForm::state(const std::string& name) const
{
    static const ControlState none;
    const auto found = states_.find(name);
    return found == states_.end() ? none : found->second;
}

void OptionForm::setChecked(const std::string& name, bool checked)
{
    const Control* control = controlNamed(name);
    if (!control || !states_[name].enabled)
        return;
    if (control->kind == Kind::Radio && checked)
        for (const Control& other : controls())
            if (other.kind == Kind::Radio && groupStart(other) == groupStart(*control))
                states_[other.name].checked = false;
    states_[name].checked = checked;
}

void OptionForm::setText(const std::string& name, const std::string& text)
{
    const Control* control = controlNamed(name);
    if (!control || !states_[name].enabled)
        return;
    const std::vector<std::string> entries = choices(name);
    if (control->kind == Kind::Edit ||
        (control->kind == Kind::Choice && std::find(entries.begin(), entries.end(), text) != entries.end()))
        states_[name].text = text;
}

bool OptionForm::onEvent(const std::string& name)
{
    const Control* control = controlNamed(name);
    if (!control || !control->onClick || !state(name).enabled)
        return false;
    (this->*control->onClick)();
    return true;
}

void OptionForm::showBesideSource(bool besideSource)
{
    states_[kBesideSource].checked = besideSource;
    states_[kOutputFolder].enabled = !besideSource;
    states_[kBrowse].enabled = !besideSource;
}

void OptionForm::showSettings(const OptionSettings& settings)
{
    states_[kOutputFolder].text = settings.outputFolder;
    showBesideSource(settings.outputFolder.empty());
    for (const OptionSettingRow& row : settingstable::optionRows()) {
        if (const auto* flag = boundFlag(row))
            states_[row.control].checked = settings.**flag != 0;
        if (const auto* number = boundNumber(row))
            states_[row.control].text = std::to_string(SettingsStore::heldFilesAtOnce(settings.**number));
    }
    // The table binds the "last used" radio button; its partner shows the opposite.
    states_[kDefaultProfile].checked = !states_[kLastProfile].checked;
}

OptionSettings OptionForm::takeControls()
{
    OptionSettings taken;
    if (!states_[kBesideSource].checked) {
        std::string& text = states_[kOutputFolder].text;
        if (text.empty())
            text = SettingsStore::fallbackOutputFolder();
        taken.outputFolder = text;
    }
    for (const OptionSettingRow& row : settingstable::optionRows()) {
        if (const auto* flag = boundFlag(row))
            taken.**flag = states_[row.control].checked ? 1 : 0;
        if (const auto* number = boundNumber(row))
            taken.**number = numberOf(states_[row.control].text);
    }
    return taken;
}

void OptionForm::onBesideSourceClicked()
{
    // The edit keeps what was typed: only the save decides what the ticked box means.
    showBesideSource(states_[kBesideSource].checked);
}

void OptionForm::onBrowseClicked()
{
    if (!services_.chooseFolder)
        return;
    const std::string chosen = services_.chooseFolder(states_[kOutputFolder].text);
    if (!chosen.empty())
        states_[kOutputFolder].text = chosen;
}

void OptionForm::tellRefusedSave(const OptionSettings& refused) const
{
    std::string reason = "无法读写设置文件 \"" + store_.file().string() + "\"。";
    if (hasLineBreak(refused.outputFolder))
        reason = "输出路径中含有换行符,设置文件无法保存这样的路径。";
    else if (!convert::QueuedFile::resolveFolder(refused.outputFolder))
        reason = convert::QueuedFile::relativeFolderText(refused.outputFolder);
    platform::showMessage("", "设置没有保存:" + reason + "\n选项页现在显示的是已保存的设置。",
                          platform::MessageError);
}

}  // namespace app
