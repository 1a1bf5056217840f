// A stand-in for the channel page: holds the file list pane and the file
// detail pane side by side, answers their questions, shows a clicked file in
// the detail pane as the channel page does, and records what else reaches it.
#pragma once

#include "net/WorkerThreads.h"
#include "store/CatalogueStore.h"
#include "ui/CFileInfo.h"
#include "views/CFileList.h"

#include <wx/panel.h>

#include <vector>

class CTestChannelPage : public wxPanel, public IFileListOwner, public IFileInfoOwner {
public:
    // The list at (6, 5)-(233, H - 8), the detail pane at (240, 5)-(W - 6, H - 8).
    CTestChannelPage(wxWindow *parent, const wxSize &size, CCatalogueStore &store, CWorkerThreads &threads);

    CFileList &FileList() { return m_fileList; }
    CFileInfo &FileInfo() { return m_fileInfo; }

    int SelectedChannelKey() override { return selectedChannel; }
    void DownloadShownFile() override { m_fileInfo.Download(); }
    void StopShownFile() override { m_fileInfo.Stop(); }
    int EntryNumberOfKey(int key) override;
    void PostCommand(int commandId) override { commands.push_back(commandId); }
    void RunSubscribedDownloadStart() override;

    int selectedChannel = 0;
    std::vector<int> commands;
    int subscribedStarts = 0;
    std::vector<int> played; // keys of NM_DBLCLK from either pane

private:
    void OnListNotify(CNotifyEvent &event);
    void OnDetailNotify(CNotifyEvent &event);
    void ShowClickedFile(int key);

    CCatalogueStore &m_store;
    CWorkerThreads &m_threads;
    CFileList m_fileList;
    CFileInfo m_fileInfo;
};
