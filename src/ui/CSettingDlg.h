// The settings window: a subscription page (every channel with a check box)
// and a general page (download and upload limits, simultaneous downloads, the
// video folder). OK applies both pages at once and closes the window, also
// when a value was refused; Cancel and the close button apply nothing.
#pragma once

#include "skin/CChooseTree.h"
#include "skin/CCommonEdit.h"
#include "skin/CToVixCommonSubDlg.h"
#include "ui/CSpinButtonCtrl.h"
#include "ui/SettingDlgOwner.h"

#include <wx/checkbox.h>
#include <wx/stattext.h>

#include <functional>
#include <string>

class CCatalogueStore;
class CKeyStore;
class CServiceReports;
class CWorkerThreads;

class CSettingDlg : public CToVixCommonSubDlg {
public:
    enum {
        ID_BROWSE = 1008,
        ID_TREE = 1010,
        ID_DL_LIMIT = 1011,
        ID_UL_LIMIT = 1012,
        ID_THREADS = 1013,
        ID_FOLDER = 1014,
        ID_DL_LABEL = 1016,
        ID_UL_LABEL = 1017,
        ID_THREADS_LABEL = 1018,
        ID_FOLDER_LABEL = 1019,
        ID_DL_UNIT = 1020,
        ID_UL_UNIT = 1021,
        ID_THREADS_UNIT = 1022,
        ID_DL_SPIN = 1023,
        ID_UL_SPIN = 1024,
        ID_THREADS_SPIN = 1025,
        ID_RESTART_NOTE = 1026,
        ID_NOTIFY = 1027,
    };
    static constexpr int kMaxSpeed = 12500;   // KB/s; 0 means unlimited
    static constexpr int kMaxThreads = 20;
    static constexpr size_t kMaxFolderLength = 258; // GBK bytes, so that the separator still fits 259
    static constexpr int kCommandMyPrograms = 1002;

    // Returns the chosen folder (UTF-8), or an empty text when cancelled.
    using TFolderPicker = std::function<wxString()>;

    // Everything given outlives the window.
    CSettingDlg(CCatalogueStore &store, CKeyStore &keys, CServiceReports &reports, CWorkerThreads &threads,
                ISettingDlgOwner &owner);

    // A new modeless settings window over parent, on the sub-dialog skin, shown
    // on its subscription page; it destroys itself when closed.
    static CSettingDlg *Open(wxWindow *parent, const wxBitmap &skin, CCatalogueStore &store, CKeyStore &keys,
                             CServiceReports &reports, CWorkerThreads &threads, ISettingDlgOwner &owner);

    // Replaces the platform's folder picker (tests); set before Browse.
    void SetFolderPicker(TFolderPicker picker) { m_picker = std::move(picker); }
    // The browse button's action: picks a folder and puts it, ending in "/", into the folder box.
    void Browse();

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnTab1() override;
    void OnTab2() override;

private:
    void OnBrowse(wxCommandEvent &event);

    void CreateControls();
    void FillTree();
    void FillGeneralPage();
    void ShowGeneralPage(bool show);

    void ApplySubscriptions();
    // Reads a limit box by the C rule; stores it and hands it to the engine when
    // it lies within 0..kMaxSpeed, otherwise shows refusal.
    void ApplySpeed(const CCommonEdit &edit, const char *item, void (*engineCall)(int), const char *refusal);
    void ApplyThreads();
    void ApplyFolder();

    // An edit box's text as the catalogue keeps it (GBK).
    static std::string StoredText(const wxTextCtrl &edit);

    CCatalogueStore &m_store;
    CKeyStore &m_keys;
    CServiceReports &m_reports;
    CWorkerThreads &m_threads;
    ISettingDlgOwner &m_owner;
    TFolderPicker m_picker;

    CChooseTree m_tree;
    CCommonEdit m_dlLimit, m_ulLimit, m_threadCount, m_folder;
    wxString m_storedFolder; // FileRoot as the page showed it
    CSpinButtonCtrl m_dlSpin, m_ulSpin, m_threadSpin;
    wxStaticText m_labels[8];
    CBmpButton m_browse;
    wxCheckBox m_notify; // desktop notices of finished downloads

    wxDECLARE_EVENT_TABLE();
};
