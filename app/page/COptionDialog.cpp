#include "app/page/COptionDialog.h"

namespace app {

COptionDialog::COptionDialog() = default;
COptionDialog::~COptionDialog() = default;

void COptionDialog::onInitPage() { loadSettings(); }

void COptionDialog::loadSettings()
{
    settings_ = store_.loadOptions();
}

bool COptionDialog::saveSettings()
{
    return store_.saveOptions(settings_);
}

bool COptionDialog::applySettings(const OptionSettings& settings)
{
    settings_ = settings;
    return saveSettings();
}

}  // namespace app
