#include "setup/ui/setup_flow.h"

namespace setup {

using namespace installation;

void SetupFlow::OnListClick(int item) {
    m_window.EnableOk(false);
    if (item != -1) m_window.EnableOk(true);
}

void SetupFlow::OnOk() {
    m_window.CopyDriverFiles();
    m_window.Hide();
    m_window.RunPrinterConnection();
    m_window.End(kIdOk);
}

}  // namespace setup
