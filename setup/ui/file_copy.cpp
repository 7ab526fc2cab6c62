#include "setup/ui/file_copy.h"

#include "installation/download_mark.h"
#include "installation/maker.h"

namespace setup {

using namespace installation;

bool CFileCopyCore::QueryDriverDirectory() {
    return setup::QueryDriverDirectory(m_platform, m_pszDriverDir);
}

void CFileCopyCore::CopyDriverFiles() {
    m_platform.desktop.BeginWaitCursor();
    if (!QueryDriverDirectory()) {
        m_platform.desktop.ShowMessage(kErrorText1C, kSetupCaption, kMbOk | kMbIconError);
        m_platform.desktop.EndWaitCursor();
        return;
    }
    const int result = CopyFiles();
    if (result != 0) m_platform.kernel.ExitProcess(kCopyFailedExitStatus);
    RemoveDownloadMarks(m_platform.kernel, DriverFilePatterns, DriverDirectoryText(m_pszDriverDir));
    m_platform.desktop.EndWaitCursor();
}

int CFileCopyCore::CopyFiles() {
    // The destination as a one-entry list: the text, its NUL and an empty name.
    std::string destination = DriverDirectoryText(m_pszDriverDir);
    destination.push_back('\0');
    return m_platform.shell.FileOperation(kFoCopy, DriverFilePatterns, destination.c_str(),
                                          kFofNoConfirmation | kFofNoConfirmMkdir);
}

}  // namespace setup
