#include "skin/SkinEvents.h"

wxDEFINE_EVENT(wxEVT_WINDOW_MESSAGE, CMessageEvent);
wxDEFINE_EVENT(wxEVT_CONTROL_NOTIFY, CNotifyEvent);
wxDEFINE_EVENT(wxEVT_SKIN_VSCROLL, CScrollBarEvent);

CMessageEvent::CMessageEvent(int message, wxUIntPtr wParam, wxIntPtr lParam)
    : wxEvent(message, wxEVT_WINDOW_MESSAGE), m_wParam(wParam), m_lParam(lParam)
{
}

CNotifyEvent::CNotifyEvent(int senderId, int code, std::int32_t payload)
    : wxEvent(senderId, wxEVT_CONTROL_NOTIFY), m_code(code), m_payload(payload)
{
}

CScrollBarEvent::CScrollBarEvent(int barId, int code, unsigned position)
    : wxEvent(barId, wxEVT_SKIN_VSCROLL), m_code(code), m_position(position)
{
}

long SendWindowMessage(wxWindow *target, int message, wxUIntPtr wParam, wxIntPtr lParam)
{
    if (!target)
        return 0;
    CMessageEvent event(message, wParam, lParam);
    event.SetEventObject(target);
    target->ProcessWindowEvent(event);
    return event.Result();
}

void PostWindowMessage(wxEvtHandler *target, int message, wxUIntPtr wParam, wxIntPtr lParam)
{
    if (target)
        wxQueueEvent(target, new CMessageEvent(message, wParam, lParam));
}

void SendNotify(wxWindow *sender, int code, std::int32_t payload)
{
    wxWindow *parent = sender ? sender->GetParent() : nullptr;
    if (!parent)
        return;
    CNotifyEvent event(sender->GetId(), code, payload);
    event.SetEventObject(sender);
    parent->ProcessWindowEvent(event);
}
