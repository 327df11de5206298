#include "app/page/COptionDialog.h"

#include "convert/convertFile.h"

namespace app {

COptionDialog::COptionDialog() = default;
COptionDialog::~COptionDialog() = default;

void COptionDialog::onInitPage() { loadSettings(); }

void COptionDialog::loadSettings()
{
    settings_ = store_.loadOptions();
    publish();
}

bool COptionDialog::saveSettings()
{
    publish();
    return store_.saveOptions(settings_);
}

bool COptionDialog::applySettings(const OptionSettings& settings)
{
    settings_ = settings;
    return saveSettings();
}

void COptionDialog::publish() const
{
    // Jobs name their outputs on their own threads, so the naming rule is handed to them as a
    // process-wide value rather than read from this page.
    convert::convertFile::setAppendProfileName(settings_.appendProfileName != 0);
}

}  // namespace app
