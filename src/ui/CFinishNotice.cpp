#include "ui/CFinishNotice.h"

#include "base/DebugLog.h"

CFinishNotice::CFinishNotice(wxWindow *parent, TShow show)
    : wxNotificationMessage("Tovix", wxEmptyString, parent), m_show(std::move(show))
{
    AddAction(ID_SHOW, wxString::FromUTF8("显示"));
    // One action, so any action (and a click on the notice itself) shows the file.
    Bind(wxEVT_NOTIFICATION_MESSAGE_ACTION, &CFinishNotice::OnAction, this);
    Bind(wxEVT_NOTIFICATION_MESSAGE_CLICK, &CFinishNotice::OnAction, this);
}

wxString CFinishNotice::Text(int count, const wxString &title)
{
    // A file pruned from the catalogue meanwhile has no title left to show.
    if (count == 1 && !title.empty())
        return wxString::FromUTF8("《") + title + wxString::FromUTF8("》下载完成");
    return wxString::Format(wxString::FromUTF8("%d 个节目下载完成"), count);
}

bool CFinishNotice::Notify(int count, int firstEntry, const wxString &title)
{
    m_entry = firstEntry;
    SetMessage(Text(count, title));
    if (Show(Timeout_Auto))
        return true;
    DebugLog("Show notification %d error", firstEntry);
    return false;
}

void CFinishNotice::OnAction(wxCommandEvent &)
{
    if (m_show)
        m_show(m_entry);
}
