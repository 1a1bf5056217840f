// The main window: the skinned frame holding the two tab buttons (all
// channels, subscribed channels), the channel tree, the subscribe button, the
// advertisement pane, the channel page and the status line with the engine's
// rates. It owns the three timers (status and refresh, the throttled refresh,
// the catalogue report) and the download-state refresh of the listed files.
//
// An ordinary top-level window: hiding it to the tray does not end the run;
// the application's loop ends when the window is destroyed (menu "退出").
#pragma once

#include "skin/CBmpButton.h"
#include "skin/CToVixCommonDlg.h"
#include "skin/CToVixTree.h"
#include "net/FinishWatch.h"
#include "ui/CChannelInfo.h"
#include "ui/CFinishNotice.h"
#include "ui/CHtmlCtrl.h"
#include "ui/MainContext.h"
#include "ui/RefreshThrottle.h"

#include <wx/stattext.h>
#include "ui/SettingDlgOwner.h"

#include <wx/timer.h>

#include <unordered_map>

class CMainDlg : public CToVixCommonDlg, private IChannelPageOwner, private ISettingDlgOwner {
public:
    enum {
        IDC_ALL_PROGRAMS = 1000,
        IDC_MY_PROGRAMS = 1002,
        IDC_CHANNEL_TREE = 1005,
        IDC_SUBSCRIBE = 1006,
        IDC_STATUS = 1009,
        IDC_CHANNEL_PAGE = 6000,
    };
    enum { TIMER_STATUS = 1, TIMER_THROTTLE = 2, TIMER_REPORT = 3 };
    static constexpr int kStatusPeriod = 3000;   // ms
    static constexpr int kThrottlePeriod = 1000; // ms
    static constexpr int kOtherContent = -2;     // the tree's "*其他下载内容*" item
    static const char *const kAdPagePath;        // appended to WebURL

    // The context outlives the window.
    explicit CMainDlg(const TMainContext &context);
    ~CMainDlg() override;

    // Creates and initializes the window, hidden.
    bool Create();
    bool Destroy() override;
    // Shows the window, un-minimized and raised (a second start asks for it).
    void Restore();
    // Shows the window on the subscribed channels with that file selected and
    // its details shown (the finish notice's action).
    void ShowFinishedFile(int entryNumber);

    // showFlags: the wParam of the channel page's WM_SHOW_CHANNEL (0 or CFileList::kRefresh).
    void FillTreeAllPrograms(int showFlags);
    void FillTreeMyPrograms(int showFlags);
    // Hands every unfinished file of the subscribed channels to the engine;
    // 1, or 0 without a file catalogue.
    int StartSubscribedDownloads();
    // Progress and state of every listed file from the engine; the catalogue
    // is written where the engine got far enough, and saved once.
    void RefreshDownloadStates();
    // The status line's text for the engine's rates (bytes/s) and counts.
    static wxString StatusText(int downloadRate, int uploadRate, int downloading, int pending);
    // The catalogue report period for an Intervel value, in ms (at most the
    // largest whole number of seconds an int of ms holds).
    static int ReportPeriod(int intervel);

    // Seconds since 1970 as the throttle reads them; tests replace it.
    void SetClock(CRefreshThrottle::TClock clock) { m_throttle = CRefreshThrottle(std::move(clock)); }

    CToVixTree &Tree() { return m_tree; }
    CFinishWatch &FinishWatch() { return m_finishWatch; }
    CFinishNotice &FinishNotice() { return m_finishNotice; }
    CChannelInfo &ChannelInfo() { return m_channelInfo; }
    CHtmlCtrl &AdPane() { return m_adPane; }
    wxStaticText &Status() { return m_status; }
    CBmpButton &Button(int id);
    wxTimer &Timer(int id);
    int RefreshCount() const { return m_refreshes; }

protected:
    bool OnInitDialog() override;
    void DrawBackground(wxDC &dc, int left, int top, int right, int bottom) override;
    void OnBtnClose() override;
    void OnMenuAbout() override;
    // Menu 32776 and button 1006: a new settings dialog each time.
    void OnMenuSet() override;

private:
    int SelectedChannelKey() override;
    // The channel page and the settings dialog both post commands through here.
    void PostCommand(int commandId) override;
    void RunSubscribedDownloadStart() override { StartSubscribedDownloads(); }
    void RepaintSelectedTab() override;

    void ApplyStartLimits();
    void PlaceControls();
    void DrawTreeBox(wxDC &dc, int right, int bottom) const;
    void ShowStatus();
    // The window half of the start of a run: the first picture pass and the
    // subscribed downloads, once the window exists to be told about them.
    void StartBackgroundWork();

    void OnSize(wxSizeEvent &event);
    void OnTimer(wxTimerEvent &event);
    void OnChannelShown(CMessageEvent &event);
    void OnShowChannel(CMessageEvent &event);
    void OnDownloadChanged(CMessageEvent &event);
    // Files of subscribed channels finished: a notice unless the window is in view.
    void OnDownloadsFinished(CMessageEvent &event);
    void OnAllPrograms(wxCommandEvent &event);
    void OnMyPrograms(wxCommandEvent &event);
    void OnSubscribe(wxCommandEvent &event);
    void OnCharHook(wxKeyEvent &event);

    TMainContext m_context;
    CBmpButton m_allPrograms;
    CBmpButton m_myPrograms;
    CBmpButton m_subscribe;
    CToVixTree m_tree;
    CChannelInfo m_channelInfo;
    CHtmlCtrl m_adPane;
    wxStaticText m_status;
    wxTimer m_statusTimer;
    wxTimer m_throttleTimer;
    wxTimer m_reportTimer;
    CRefreshThrottle m_throttle;
    CFinishWatch m_finishWatch;
    CFinishNotice m_finishNotice;
    // The Progress each listed file had in the catalogue when last read or
    // written, by entry number: the catalogue is searched only when the rule
    // may write, not for every file at every tick.
    std::unordered_map<int, int> m_storedProgress;
    int m_refreshes = 0;
    bool m_backgroundStarted = false;

    wxDECLARE_EVENT_TABLE();
};
