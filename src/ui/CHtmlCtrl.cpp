#include "ui/CHtmlCtrl.h"

#include <wx/webview.h>

namespace {
const wxString kAppPrefix = "app:";
}

bool CHtmlCtrl::Create(wxWindow *parent, wxWindowID id, const wxRect &rect)
{
    if (!wxWindow::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE))
        return false;
    m_view = wxWebView::New(this, wxID_ANY, "about:blank", wxPoint(0, 0), rect.GetSize(), wxWebViewBackendDefault,
                            wxBORDER_NONE);
    if (!m_view)
        return true; // no browser engine: the pane stays empty
    m_view->Bind(wxEVT_WEBVIEW_NAVIGATING, &CHtmlCtrl::OnNavigating, this);
    Bind(wxEVT_SIZE, &CHtmlCtrl::OnSize, this);
    return true;
}

void CHtmlCtrl::Navigate(const wxString &url)
{
    if (m_view && !url.empty())
        m_view->LoadURL(url);
}

bool CHtmlCtrl::IsAppCommand(const wxString &url, wxString *command)
{
    if (url.length() < kAppPrefix.length() || !url.Left(kAppPrefix.length()).IsSameAs(kAppPrefix, false))
        return false;
    if (command)
        *command = url.Mid(kAppPrefix.length());
    return true;
}

void CHtmlCtrl::OnAppCommand(const wxString &) {}

void CHtmlCtrl::OnNavigating(wxWebViewEvent &event)
{
    wxString command;
    if (!IsAppCommand(event.GetURL(), &command))
        return;
    event.Veto();
    OnAppCommand(command);
}

void CHtmlCtrl::OnSize(wxSizeEvent &event)
{
    m_view->SetSize(GetClientSize());
    event.Skip();
}
