// The base of the secondary skinned dialogs (the settings dialog): 534 x 426,
// rounded, without platform caption; a title band cut from the sub-dialog
// skin with the window text on it, a framed content area, a soft gradient
// below it, a close button, OK and Cancel, and two page tabs whose switching
// the derived dialog gives meaning to. Dragging the background moves it;
// Escape does not close it; Enter presses OK, the default button.
//
// It runs modal (ShowModal returns wxID_OK or wxID_CANCEL) or modeless
// (created on the heap and shown; ending it destroys it).
#pragma once

#include "skin/CBmpButton.h"
#include "skin/SkinEvents.h"

#include <wx/bitmap.h>
#include <wx/dialog.h>

enum : int {
    IDC_BTN_SUBCLOSE = 5200,
    IDC_BTN_TAB1 = 5400,
    IDC_BTN_TAB2 = 5401,
};

class CToVixCommonSubDlg : public wxDialog {
public:
    static constexpr int kWidth = 534;
    static constexpr int kHeight = 426;
    static constexpr int kTitleHeight = 36;
    static const wxRect kContentRect; // client coordinates, right and bottom excluded

    CToVixCommonSubDlg() = default;

    // The skin the title band and the buttons are cut from. Borrowed; set before Create.
    void SetSkin(const wxBitmap &skin) { m_skin = skin; }
    // Creates the window, hidden and centred over its parent, and initializes it.
    bool Create(wxWindow *parent, const wxString &title = wxEmptyString);

    // Ends the dialog with a result: a modal run returns it, a modeless dialog is destroyed.
    void EndSubDialog(int result);

protected:
    virtual bool OnInitDialog();
    // Takes the controls' values (validators) and ends the dialog with wxID_OK.
    virtual void OnOK();
    // Ends the dialog with wxID_CANCEL; the close button and Cancel lead here.
    virtual void OnCancel();
    // The page operations: the tab of the shown page is disabled, the other enabled.
    virtual void OnTab1();
    virtual void OnTab2();
    virtual void DrawBackground(wxDC &dc, int left, int top, int right, int bottom);

    const wxBitmap &GetSkin() const { return m_skin; }

private:
    void OnPaint(wxPaintEvent &event);
    void OnLeftDown(wxMouseEvent &event);
    void OnCharHook(wxKeyEvent &event);
    void OnButton(wxCommandEvent &event);
    void OnCloseWindow(wxCloseEvent &event);
    void OnSysCommand(CMessageEvent &event);

    CBmpButton m_close;
    CBmpButton m_ok;
    CBmpButton m_cancel;
    CBmpButton m_tab2;
    CBmpButton m_tab1;
    wxBitmap m_skin;

    wxDECLARE_EVENT_TABLE();
};
