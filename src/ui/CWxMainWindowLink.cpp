#include "ui/CWxMainWindowLink.h"

#include "skin/SkinEvents.h"
#include "views/CFileList.h"

#include <wx/thread.h>

#include <future>
#include <memory>

void CWxMainWindowLink::Attach(wxWindow *mainWindow, wxWindow *channelPage)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mainWindow = mainWindow;
    m_channelPage = channelPage;
    if (m_channelPage && m_problem != EServiceProblem::None)
        PostWindowMessage(m_channelPage, WM_SERVICE_PROBLEM, wxUIntPtr(m_problem));
}

void CWxMainWindowLink::Detach()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mainWindow = nullptr;
    m_channelPage = nullptr;
    m_disabledTab = 0;
}

void CWxMainWindowLink::BindEngineHandle(TovixWndHandle &handle)
{
    handle.post = &CWxMainWindowLink::PostFromEngine;
    handle.context = this;
}

void CWxMainWindowLink::PostFromEngine(void *context, unsigned message)
{
    auto *self = static_cast<CWxMainWindowLink *>(context);
    std::lock_guard<std::mutex> lock(self->m_mutex);
    if (self->m_mainWindow)
        PostWindowMessage(self->m_mainWindow, int(message));
}

bool CWxMainWindowLink::MainWindowExists()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mainWindow != nullptr;
}

void CWxMainWindowLink::PostShowChannel(int channelKey)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_channelPage)
        PostWindowMessage(m_channelPage, WM_SHOW_CHANNEL, CFileList::kRefresh, channelKey);
}

void CWxMainWindowLink::PostCommand(int commandId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_mainWindow)
        return;
    auto *command = new wxCommandEvent(wxEVT_BUTTON, commandId);
    command->SetInt(CFileList::kRefresh);
    command->SetEventObject(m_mainWindow);
    m_mainWindow->GetEventHandler()->QueueEvent(command);
}

bool CWxMainWindowLink::IsButtonDisabled(int commandId) { return m_disabledTab == commandId; }

void CWxMainWindowLink::SendPictureReady(const std::string &picturePath, int entry)
{
    if (wxThread::IsMain()) {
        // Waiting here would wait for ourselves: deliver at once.
        wxWindow *page;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            page = m_channelPage;
        }
        if (page)
            SendWindowMessage(page, WM_PICTURE_READY, wxUIntPtr(&picturePath), entry);
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> handled = done->get_future();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_channelPage)
            return;
        wxWindow *page = m_channelPage;
        page->CallAfter([page, path = picturePath, entry, done = std::move(done)] {
            SendWindowMessage(page, WM_PICTURE_READY, wxUIntPtr(&path), entry);
            done->set_value();
        });
    }
    handled.wait();
}

void CWxMainWindowLink::PostServiceProblem(EServiceProblem problem)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_problem = problem;
    if (m_channelPage)
        PostWindowMessage(m_channelPage, WM_SERVICE_PROBLEM, wxUIntPtr(problem));
}

void CWxMainWindowLink::PostDownloadsFinished(int count, int firstEntry)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_mainWindow)
        PostWindowMessage(m_mainWindow, WM_DOWNLOADS_FINISHED, wxUIntPtr(count), firstEntry);
}
