#include "app/page/CAddFileDialog.h"

namespace app {

CAddFileDialog::CAddFileDialog() = default;
CAddFileDialog::~CAddFileDialog() = default;

}  // namespace app
