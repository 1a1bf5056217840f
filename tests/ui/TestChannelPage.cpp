#include "ui/TestChannelPage.h"

#include "base/EngineApi.h"
#include "net/DownloadStart.h"
#include "skin/SkinAtlas.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"

#include <mutex>

CTestChannelPage::CTestChannelPage(wxWindow *parent, const wxSize &size, CCatalogueStore &store,
                                   CWorkerThreads &threads)
    : wxPanel(parent, 6000, wxPoint(0, 0), size), m_store(store), m_threads(threads), m_fileList(store, *this),
      m_fileInfo(store, threads, *this)
{
    m_fileList.Create(this, 5503, wxPoint(6, 5), wxSize(227, size.y - 13));
    m_fileInfo.Create(this, 5505, wxPoint(240, 5), wxSize(size.x - 246, size.y - 13));
    Bind(wxEVT_CONTROL_NOTIFY, &CTestChannelPage::OnListNotify, this, 5503);
    Bind(wxEVT_CONTROL_NOTIFY, &CTestChannelPage::OnDetailNotify, this, 5505);
}

int CTestChannelPage::EntryNumberOfKey(int key)
{
    const CSimpleTree::CItemInfo *item = m_fileList.Tree().LookUp(key);
    return item ? item->entryNumber : 0;
}

void CTestChannelPage::RunSubscribedDownloadStart()
{
    ++subscribedStarts;
    CDownloadStart(m_store, m_threads).StartSubscribed();
}

void CTestChannelPage::OnListNotify(CNotifyEvent &event)
{
    if (event.Code() == NM_CLICK)
        ShowClickedFile(event.Payload());
    else if (event.Code() == NM_DBLCLK)
        played.push_back(event.Payload());
}

void CTestChannelPage::OnDetailNotify(CNotifyEvent &event)
{
    if (event.Code() == NM_DBLCLK)
        played.push_back(event.Payload());
}

void CTestChannelPage::ShowClickedFile(int key)
{
    m_fileInfo.ShowEntry(key, key < 0 ? 0 : EntryNumberOfKey(key));
}
