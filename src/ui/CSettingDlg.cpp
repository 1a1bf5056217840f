#include "ui/CSettingDlg.h"

#include "base/DebugLog.h"
#include "base/EngineApi.h"
#include "base/KeyStore.h"
#include "base/GbkText.h"
#include "net/DownloadStart.h"
#include "net/FinishWatch.h"
#include "net/ServiceReports.h"
#include "skin/SkinAtlas.h"
#include "store/ChannelCatalogue.h"
#include "store/XmlNumber.h"
#include "ui/MessageBox.h"

#include <wx/dirdlg.h>

#include <mutex>
#include <unistd.h>
#include <vector>

namespace {

const wxPoint kTreePosition(24, 87);
const wxSize kTreeSize(487, 245);
const wxPoint kBrowsePosition(360, 260);

// The general page: a label column, the edit boxes, and what follows them.
constexpr int kLabelX = 45;
constexpr int kEditX = 140;
constexpr int kEditWidth = 80;
constexpr int kEditHeight = 23;
constexpr int kFirstRowY = 110;
constexpr int kRowStep = 45;
constexpr int kFolderRowY = 260;
constexpr int kNoteY = 300;
constexpr int kNotifyY = 330;

wxString Text(const char *utf8)
{
    return wxString::FromUTF8(utf8);
}

wxString FromGbk(const std::string &gbk)
{
    return wxString::FromUTF8(GbkToUtf8(gbk));
}

wxString DefaultFolderPicker()
{
    wxDirDialog picker(nullptr, Text("请选择视频文件保存地址："), wxEmptyString, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    return picker.ShowModal() == wxID_OK ? picker.GetPath() : wxString();
}

} // namespace

wxBEGIN_EVENT_TABLE(CSettingDlg, CToVixCommonSubDlg)
    EVT_BUTTON(CSettingDlg::ID_BROWSE, CSettingDlg::OnBrowse)
wxEND_EVENT_TABLE()

CSettingDlg::CSettingDlg(CCatalogueStore &store, CKeyStore &keys, CServiceReports &reports, CWorkerThreads &threads,
                         ISettingDlgOwner &owner)
    : m_store(store), m_keys(keys), m_reports(reports), m_threads(threads), m_owner(owner),
      m_picker(DefaultFolderPicker)
{
}

CSettingDlg *CSettingDlg::Open(wxWindow *parent, const wxBitmap &skin, CCatalogueStore &store, CKeyStore &keys,
                               CServiceReports &reports, CWorkerThreads &threads, ISettingDlgOwner &owner)
{
    auto *dialog = new CSettingDlg(store, keys, reports, threads, owner);
    dialog->SetSkin(skin);
    if (!dialog->Create(parent, Text("系统设置"))) {
        delete dialog;
        return nullptr;
    }
    dialog->Show();
    return dialog;
}

bool CSettingDlg::OnInitDialog()
{
    if (!CToVixCommonSubDlg::OnInitDialog())
        return false;
    CreateControls();
    FillTree();
    FillGeneralPage();
    OnTab1();
    return true;
}

void CSettingDlg::CreateControls()
{
    m_tree.Create(this, ID_TREE, kTreePosition, kTreeSize);
    m_tree.SetBackgroundColour(*wxWHITE);

    m_browse.Create(this, ID_BROWSE, kBrowsePosition, wxSize(SubSkin::kBrowse.cellWidth, SubSkin::kBrowse.cellHeight));
    m_browse.SetSkin(GetSkin(), SubSkin::kBrowse.cellWidth, SubSkin::kBrowse.cellHeight, SubSkin::kBrowse.x,
                     SubSkin::kBrowse.y);

    const struct {
        int labelId;
        const char *label;
        CCommonEdit &edit;
        int editId;
        CSpinButtonCtrl &spin;
        int spinId;
        int maximum;
        int unitId;
        const char *unit;
    } rows[] = {
        {ID_DL_LABEL, "下载限制", m_dlLimit, ID_DL_LIMIT, m_dlSpin, ID_DL_SPIN, kMaxSpeed, ID_DL_UNIT,
         "KB/s (0表示无限制)"},
        {ID_UL_LABEL, "上传限制", m_ulLimit, ID_UL_LIMIT, m_ulSpin, ID_UL_SPIN, kMaxSpeed, ID_UL_UNIT,
         "KB/s (0表示无限制)"},
        {ID_THREADS_LABEL, "同时下载", m_threadCount, ID_THREADS, m_threadSpin, ID_THREADS_SPIN, kMaxThreads,
         ID_THREADS_UNIT, "个文件　(最多20个)"},
    };
    int label = 0;
    int y = kFirstRowY;
    for (const auto &row : rows) {
        m_labels[label++].Create(this, row.labelId, Text(row.label), wxPoint(kLabelX, y + 4));
        row.edit.Create(this, row.editId, wxEmptyString, wxPoint(kEditX, y), wxSize(kEditWidth, kEditHeight));
        row.spin.Create(this, row.spinId, wxPoint(kEditX + kEditWidth + 2, y), wxDefaultSize);
        row.spin.SetSize(wxSize(row.spin.GetBestSize().x, kEditHeight));
        row.spin.SetRange(0, row.maximum);
        const int unitX = row.spin.GetRect().GetRight() + 10;
        m_labels[label++].Create(this, row.unitId, Text(row.unit), wxPoint(unitX, y + 4));
        y += kRowStep;
    }
    m_labels[label++].Create(this, ID_FOLDER_LABEL, Text("视频保存路径"), wxPoint(kLabelX, kFolderRowY + 4));
    m_folder.Create(this, ID_FOLDER, wxEmptyString, wxPoint(kEditX, kFolderRowY),
                    wxSize(kBrowsePosition.x - 8 - kEditX, kEditHeight));
    m_labels[label++].Create(this, ID_RESTART_NOTE, Text("需要重启程序才能生效，不建议修改"), wxPoint(kEditX, kNoteY));
    m_notify.Create(this, ID_NOTIFY, Text("下载完成时显示桌面通知"), wxPoint(kLabelX, kNotifyY));
    // GTK greys labels while their window is inactive; these stay readable.
    for (wxStaticText &text : m_labels)
        text.SetForegroundColour(*wxBLACK);
    m_notify.SetForegroundColour(*wxBLACK);
}

void CSettingDlg::FillTree()
{
    std::lock_guard<std::recursive_mutex> lock(m_store.ChannelLock());
    const TiXmlElement *root = m_store.ChannelDoc().RootElement();
    if (!root)
        return;
    for (const TiXmlElement *category = root->FirstChildElement("Channel1"); category;
         category = category->NextSiblingElement("Channel1")) {
        HTREEITEM top = m_tree.InsertItem(FromGbk(TextAttribute(category, "Name")));
        m_tree.SetCheck(top, 0);
        for (const TiXmlElement *channel = category->FirstChildElement("Channel2"); channel;
             channel = channel->NextSiblingElement("Channel2")) {
            HTREEITEM item = m_tree.InsertItem(FromGbk(TextAttribute(channel, "Name")), top);
            m_tree.SetItemData(item, IdOf(category) * 1000 + IdOf(channel));
            m_tree.SetCheck(item, TextAttribute(channel, "Subscribe") != "0" ? 1 : 0);
            m_tree.UpdateAncestors(item);
        }
        m_tree.Expand(top, TVE_EXPAND);
    }
    m_tree.SelectSetFirstVisible(m_tree.GetRootItem());
}

void CSettingDlg::FillGeneralPage()
{
    m_dlLimit.ChangeValue(FromGbk(m_store.GetConfigValue(CFG_MAXDLSPEED)));
    m_ulLimit.ChangeValue(FromGbk(m_store.GetConfigValue(CFG_MAXULSPEED)));
    m_threadCount.ChangeValue(FromGbk(m_store.GetConfigValue(CFG_THREADNUM)));
    m_storedFolder = FromGbk(m_store.GetConfigValue(CFG_FILEROOT));
    m_folder.ChangeValue(m_storedFolder);
    m_notify.SetValue(CFinishWatch::NotificationsOn(m_keys));
    m_dlSpin.SetBuddy(&m_dlLimit);
    m_ulSpin.SetBuddy(&m_ulLimit);
    m_threadSpin.SetBuddy(&m_threadCount);
}

void CSettingDlg::ShowGeneralPage(bool show)
{
    m_tree.Show(!show);
    for (wxStaticText &label : m_labels)
        label.Show(show);
    for (wxWindow *control : std::initializer_list<wxWindow *>{&m_dlLimit, &m_ulLimit, &m_threadCount, &m_folder,
                                                                &m_dlSpin, &m_ulSpin, &m_threadSpin, &m_browse,
                                                                &m_notify})
        control->Show(show);
}

void CSettingDlg::OnTab1()
{
    ShowGeneralPage(false);
    CToVixCommonSubDlg::OnTab1();
}

void CSettingDlg::OnTab2()
{
    ShowGeneralPage(true);
    CToVixCommonSubDlg::OnTab2();
}

void CSettingDlg::OnBrowse(wxCommandEvent &)
{
    Browse();
}

void CSettingDlg::Browse()
{
    const wxString picked = m_picker ? m_picker() : wxString();
    if (picked.empty())
        return;
    std::string path = Utf8ToGbk(std::string(picked.ToUTF8()));
    if (path.size() > kMaxFolderLength) {
        ShowMessageBox(this, Text("路径长度过大"));
        return;
    }
    if (path.back() != '/')
        path += '/';
    m_folder.SetValue(FromGbk(path));
}

void CSettingDlg::OnOK()
{
    ApplySubscriptions();
    ApplySpeed(m_dlLimit, "MaxDLSpeed", Engine().SetMaxDLSpeed, "下载限制的格式或数值不正确");
    ApplySpeed(m_ulLimit, "MaxULSpeed", Engine().SetMaxULSpeed, "上传限制的格式或数值不正确");
    ApplyThreads();
    ApplyFolder();
    if (m_notify.GetValue() != CFinishWatch::NotificationsOn(m_keys) &&
        !CFinishWatch::SetNotificationsOn(m_keys, m_notify.GetValue()))
        DebugLog("Write Notify error[%d]", m_keys.LastError());
    CToVixCommonSubDlg::OnOK();
}

void CSettingDlg::ApplySubscriptions()
{
    std::vector<int> ticked, unticked;
    for (HTREEITEM top = m_tree.GetRootItem(); top; top = m_tree.GetNextSiblingItem(top))
        for (HTREEITEM child = m_tree.GetChildItem(top); child; child = m_tree.GetNextSiblingItem(child))
            (m_tree.GetCheck(child) == 1 ? ticked : unticked).push_back(static_cast<int>(m_tree.GetItemData(child)));

    // Each change takes the lock on its own: the network thread may be merging meanwhile.
    auto subscribe = [this](const std::vector<int> &entries, int flag) {
        std::string changed;
        for (int entry : entries) {
            std::lock_guard<std::recursive_mutex> lock(m_store.ChannelLock());
            if (CChannelCatalogue(m_store).SetSubscribe(entry % 1000, entry / 1000, flag))
                changed += std::to_string(entry % 1000) + ",";
        }
        return changed;
    };
    const std::string subscribed = subscribe(ticked, 1);
    const std::string unsubscribed = subscribe(unticked, 0);
    if (subscribed.empty() && unsubscribed.empty())
        return;
    m_reports.SendTextReport(subscribed, unsubscribed);
    m_owner.PostCommand(kCommandMyPrograms);
    CDownloadStart(m_store, m_threads).StartSubscribed();
}

void CSettingDlg::ApplySpeed(const CCommonEdit &edit, const char *item, void (*engineCall)(int), const char *refusal)
{
    const std::string text = StoredText(edit);
    const int speed = AtoI(text);
    if (speed < 0 || speed > kMaxSpeed) {
        ShowMessageBox(this, Text(refusal));
        return;
    }
    m_store.SetConfigValue(item, text);
    engineCall(speed);
}

void CSettingDlg::ApplyThreads()
{
    const std::string text = StoredText(m_threadCount);
    const int count = AtoI(text);
    if (count < 1 || count > kMaxThreads) {
        ShowMessageBox(this, Text("同时下载设置的数值不正确"));
        return;
    }
    m_store.SetConfigValue("ThreadNum", text);
    Engine().SetMaxDownload(count);
}

// The engine is not told: downloads it already has keep their paths until a restart.
void CSettingDlg::ApplyFolder()
{
    std::string text = StoredText(m_folder);
    if (text.empty() || access(FsPath(text).c_str(), R_OK | W_OK) != 0) {
        ShowMessageBox(this, Text("视频储存路径不存在或是没有权限"));
        return;
    }
    // Every video path is this folder immediately followed by a file name, so a
    // new folder is stored with its separator, as Browse gives it. The stored
    // folder itself stays as it is: the downloads made so far sit under it.
    if (m_folder.GetValue() == m_storedFolder)
        return;
    if (text.back() != '/')
        text += '/';
    m_store.SetConfigValue("FileRoot", text);
}

std::string CSettingDlg::StoredText(const wxTextCtrl &edit)
{
    return Utf8ToGbk(std::string(edit.GetValue().ToUTF8()));
}
