// The messages the windows exchange: numbered window messages, control
// notifications and the skinned scroll bar's report. Every window layer uses
// these instead of wx's own command events where a window "sends" or "posts"
// a message with two parameters and, when sent, gets a result back.
#pragma once

#include <wx/event.h>
#include <wx/window.h>

#include <cstdint>

// Message numbers, counted from WM_USER as the windows have always numbered
// them (the download engine posts 0x464 itself), and the system's own ones
// the windows send themselves or carry as parameters.
enum : int {
    WM_SYSCOMMAND = 0x0112,   // wParam: an SC_ command (SysCommand.h); lParam: a point
    WM_LBUTTONDBLCLK = 0x0203, // the tray icon's mouse actions, lParam of WM_TRAY_NOTIFY
    WM_RBUTTONDOWN = 0x0204,
    WM_USER = 0x0400,
    WM_TRAY_NOTIFY = WM_USER + 1,
    WM_FIT_TO_PARENT = WM_USER + 2,
    WM_SHOW_CHANNEL = WM_USER + 3,
    WM_PICTURE_READY = WM_USER + 4,
    WM_SERVICE_PROBLEM = WM_USER + 5,    // wParam: what keeps the client from the service (0: nothing)
    WM_DOWNLOADS_FINISHED = WM_USER + 6, // wParam: how many; lParam: the first one's entry number
    WM_DOWNLOAD_CHANGED = WM_USER + 100,
};

// Notification codes carried by CNotifyEvent.
enum : int {
    NM_CLICK = -2,
    NM_DBLCLK = -3,
    NM_RCLICK = -5,
    TVN_SELCHANGED = -402,
    SPN_MOVED = 1025,
};

// Scroll codes carried by CScrollBarEvent.
enum : int {
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
};

// A numbered window message. The event id is the message number, so a handler
// is bound per message: EVT_WINDOW_MESSAGE(WM_SHOW_CHANNEL, CMainDlg::OnShowChannel).
class CMessageEvent : public wxEvent {
public:
    CMessageEvent(int message = 0, wxUIntPtr wParam = 0, wxIntPtr lParam = 0);

    int Message() const { return GetId(); }
    wxUIntPtr WParam() const { return m_wParam; }
    wxIntPtr LParam() const { return m_lParam; }
    // What a sent message returns to its sender (0 unless the handler says otherwise).
    long Result() const { return m_result; }
    void SetResult(long result) { m_result = result; }

    wxEvent *Clone() const override { return new CMessageEvent(*this); }

private:
    wxUIntPtr m_wParam;
    wxIntPtr m_lParam;
    long m_result = 0;
};

// A control's notification to its parent: sender id, code and a 32-bit payload
// (the entry key of a list, the splitter's delta). The event id is the sender id.
class CNotifyEvent : public wxEvent {
public:
    CNotifyEvent(int senderId = 0, int code = 0, std::int32_t payload = 0);

    int SenderId() const { return GetId(); }
    int Code() const { return m_code; }
    std::int32_t Payload() const { return m_payload; }

    wxEvent *Clone() const override { return new CNotifyEvent(*this); }

private:
    int m_code;
    std::int32_t m_payload;
};

// The skinned scroll bar's report to its parent: a scroll code and, for
// SB_THUMBPOSITION, the new position limited to 16 bits (0 otherwise).
class CScrollBarEvent : public wxEvent {
public:
    CScrollBarEvent(int barId = 0, int code = 0, unsigned position = 0);

    int Code() const { return m_code; }
    unsigned Position() const { return m_position; }

    wxEvent *Clone() const override { return new CScrollBarEvent(*this); }

private:
    int m_code;
    unsigned m_position;
};

wxDECLARE_EVENT(wxEVT_WINDOW_MESSAGE, CMessageEvent);
wxDECLARE_EVENT(wxEVT_CONTROL_NOTIFY, CNotifyEvent);
wxDECLARE_EVENT(wxEVT_SKIN_VSCROLL, CScrollBarEvent);

typedef void (wxEvtHandler::*CMessageEventFunction)(CMessageEvent &);
typedef void (wxEvtHandler::*CNotifyEventFunction)(CNotifyEvent &);
typedef void (wxEvtHandler::*CScrollBarEventFunction)(CScrollBarEvent &);

#define EVT_WINDOW_MESSAGE(message, fn) \
    wx__DECLARE_EVT1(wxEVT_WINDOW_MESSAGE, message, wxEVENT_HANDLER_CAST(CMessageEventFunction, fn))
#define EVT_CONTROL_NOTIFY(senderId, fn) \
    wx__DECLARE_EVT1(wxEVT_CONTROL_NOTIFY, senderId, wxEVENT_HANDLER_CAST(CNotifyEventFunction, fn))
#define EVT_SKIN_VSCROLL(fn) \
    wx__DECLARE_EVT0(wxEVT_SKIN_VSCROLL, wxEVENT_HANDLER_CAST(CScrollBarEventFunction, fn))

// Delivers a message to target's handlers at once and returns their result;
// 0 when target is null or nothing handled it. User-interface thread only.
long SendWindowMessage(wxWindow *target, int message, wxUIntPtr wParam = 0, wxIntPtr lParam = 0);
// Queues a message for target; safe from any thread.
void PostWindowMessage(wxEvtHandler *target, int message, wxUIntPtr wParam = 0, wxIntPtr lParam = 0);
// Delivers sender's notification to its parent at once; nothing when it has none.
void SendNotify(wxWindow *sender, int code, std::int32_t payload);
