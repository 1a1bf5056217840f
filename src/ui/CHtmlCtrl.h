// An embedded web pane used as an ordinary child control. Pages talk back to
// the program by navigating to "app:" + command text: that navigation is
// cancelled and its text handed to OnAppCommand; every other address
// (about:blank included) loads inside the pane.
#pragma once

#include <wx/string.h>
#include <wx/window.h>

class wxWebView;
class wxWebViewEvent;

class CHtmlCtrl : public wxWindow {
public:
    CHtmlCtrl() = default;
    bool Create(wxWindow *parent, wxWindowID id, const wxRect &rect);

    // Loads an address; an empty one leaves the pane blank.
    void Navigate(const wxString &url);
    wxWebView *View() const { return m_view; }

    // True when url is an "app:" command (in any case), with its text after the colon.
    static bool IsAppCommand(const wxString &url, wxString *command);

protected:
    // The text of an "app:" navigation, unchanged and not decoded. Nothing here.
    virtual void OnAppCommand(const wxString &command);

private:
    void OnNavigating(wxWebViewEvent &event);
    void OnSize(wxSizeEvent &event);

    wxWebView *m_view = nullptr; // a child, destroyed with the pane
};
