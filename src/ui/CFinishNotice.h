// The desktop notification that subscribed videos have finished downloading:
// "《title》下载完成" for one file, "N 个节目下载完成" for several, with one
// action, "显示", that hands the (first) file's entry number back.
#pragma once

#include <wx/notifmsg.h>

#include <functional>

class CFinishNotice : public wxNotificationMessage {
public:
    enum { ID_SHOW = 5600 };

    // show receives the entry number (file ID * 1000 + channel ID) of the file to show.
    using TShow = std::function<void(int entry)>;
    CFinishNotice(wxWindow *parent, TShow show);

    // Shows the notice for count files, the first of them titled title; false
    // when the desktop took no notification (then one log line says so).
    bool Notify(int count, int firstEntry, const wxString &title);
    int Entry() const { return m_entry; }

    static wxString Text(int count, const wxString &title);

private:
    void OnAction(wxCommandEvent &event);

    TShow m_show;
    int m_entry = 0;
};
