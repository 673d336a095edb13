// The host side of the embedded browser control: the interfaces the
// control calls back, answered as plainly as possible. The host counts no
// references; it lives exactly as long as the main window.
#include "ui/browser_host.h"

#include <ole2.h>
#include <exdisp.h>
#include <mshtmhst.h>

#include <string>

#include "platform/codepage.h"

namespace harvio::ui {
namespace {

// The system web-browser control and the interfaces asked of it.
constexpr CLSID kWebBrowserClass = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr IID kWebBrowser2 = {
    0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
constexpr IID kDocHostUiHandler = {
    0xBD3F23C0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};
// Dialog, no 3-D border, no scroll bars, links open new windows.
constexpr DWORD kHostFlags = 0x2D;

}  // namespace

struct BrowserHost;

// The host lives as long as the main window, so nothing is counted.
template <class Interface>
class Uncounted : public Interface {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

class HostStorage final : public Uncounted<IStorage> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateStream(const OLECHAR*, DWORD, DWORD, DWORD, IStream**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE OpenStream(const OLECHAR*, void*, DWORD, DWORD, IStream**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateStorage(const OLECHAR*, DWORD, DWORD, DWORD,
                                          IStorage**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE OpenStorage(const OLECHAR*, IStorage*, DWORD, SNB, DWORD,
                                        IStorage**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CopyTo(DWORD, const IID*, SNB, IStorage*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE MoveElementTo(const OLECHAR*, IStorage*, const OLECHAR*,
                                          DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumElements(DWORD, void*, DWORD, IEnumSTATSTG**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DestroyElement(const OLECHAR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RenameElement(const OLECHAR*, const OLECHAR*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetElementTimes(const OLECHAR*, const FILETIME*, const FILETIME*,
                                            const FILETIME*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetClass(REFCLSID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStateBits(DWORD, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
};

class HostClientSite final : public Uncounted<IOleClientSite> {
 public:
  explicit HostClientSite(BrowserHost* host) : host_(host) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

 private:
  BrowserHost* host_;
};

class HostInPlaceSite final : public Uncounted<IOleInPlaceSite> {
 public:
  explicit HostInPlaceSite(BrowserHost* host) : host_(host) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             LPRECT position, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

 private:
  BrowserHost* host_;
};

class HostUiHandler final : public Uncounted<IDocHostUIHandler> {
 public:
  explicit HostUiHandler(BrowserHost* host) : host_(host) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  // Handled: the page opens no context menu.
  HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override {
    info->dwFlags |= kHostFlags;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                   IOleInPlaceFrame*, IOleInPlaceUIWindow*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE HideUI() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UpdateUI() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) override {
    return E_NOTIMPL;
  }
  // Handled: the page gets no keyboard shortcuts.
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR*, DWORD) override { return E_NOTIMPL; }
  // The control keeps its own defaults for these.
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
    *target = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override {
    *external = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override {
    *translated = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** filtered) override {
    *filtered = nullptr;
    return S_FALSE;
  }

 private:
  BrowserHost* host_;
};

class HostInPlaceFrame final : public Uncounted<IOleInPlaceFrame> {
 public:
  explicit HostInPlaceFrame(BrowserHost* host) : host_(host) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return E_NOTIMPL; }

 private:
  BrowserHost* host_;
};

struct BrowserHost {
  explicit BrowserHost(HWND window)
      : pane(window), site(this), inPlaceSite(this), handler(this), frame(this) {}
  HWND pane;
  HostStorage storage;
  HostClientSite site;
  HostInPlaceSite inPlaceSite;
  HostUiHandler handler;
  HostInPlaceFrame frame;
  IOleObject* object = nullptr;
  HWINEVENTHOOK focusHook = nullptr;

  // The interfaces the client site, the in-place site and the handler hand
  // out: one identity for all three.
  HRESULT Query(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
      *out = static_cast<IOleClientSite*>(&site);
    } else if (IsEqualIID(iid, IID_IOleInPlaceSite)) {
      *out = static_cast<IOleInPlaceSite*>(&inPlaceSite);
    } else if (IsEqualIID(iid, kDocHostUiHandler)) {
      *out = static_cast<IDocHostUIHandler*>(&handler);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
};

HRESULT HostClientSite::QueryInterface(REFIID iid, void** out) { return host_->Query(iid, out); }
HRESULT HostInPlaceSite::QueryInterface(REFIID iid, void** out) { return host_->Query(iid, out); }
HRESULT HostUiHandler::QueryInterface(REFIID iid, void** out) { return host_->Query(iid, out); }

HRESULT HostInPlaceSite::GetWindow(HWND* window) {
  *window = host_->pane;
  return S_OK;
}

HRESULT HostInPlaceFrame::GetWindow(HWND* window) {
  *window = host_->pane;
  return S_OK;
}

HRESULT HostInPlaceSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                          LPRECT position, LPRECT clip,
                                          LPOLEINPLACEFRAMEINFO info) {
  *frame = &host_->frame;
  *doc = nullptr;
  GetClientRect(host_->pane, position);
  GetClientRect(host_->pane, clip);
  info->fMDIApp = FALSE;
  info->hwndFrame = host_->pane;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

namespace {

IWebBrowser2* BrowserOf(BrowserHost* host) {
  IWebBrowser2* browser = nullptr;
  if (host->object == nullptr ||
      FAILED(host->object->QueryInterface(kWebBrowser2, reinterpret_cast<void**>(&browser)))) {
    return nullptr;
  }
  return browser;
}

// The page takes no keys, yet the control grabs the focus when it
// activates and again when a page has loaded. Focus it took without a click
// goes back to the main window, which hands it to the task list.
HWND g_focusPane = nullptr;

void CALLBACK OnFocusChange(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD) {
  if (g_focusPane == nullptr || window == nullptr || !IsChild(g_focusPane, window)) return;
  if (GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0) return;
  SetFocus(GetParent(g_focusPane));
}

void GuardFocus(BrowserHost* host) {
  g_focusPane = host->pane;
  host->focusHook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
                                    OnFocusChange, GetCurrentProcessId(), GetCurrentThreadId(),
                                    WINEVENT_OUTOFCONTEXT);
}

bool Embed(BrowserHost* host) {
  if (FAILED(OleCreate(kWebBrowserClass, IID_IOleObject, OLERENDER_DRAW, nullptr, &host->site,
                       &host->storage, reinterpret_cast<void**>(&host->object)))) {
    host->object = nullptr;
    return false;
  }
  host->object->SetHostNames(L"WebHost", nullptr);
  OleSetContainedObject(host->object, TRUE);
  RECT client;
  GetClientRect(host->pane, &client);
  host->object->DoVerb(OLEIVERB_SHOW, nullptr, &host->site, -1, host->pane, &client);
  IWebBrowser2* browser = BrowserOf(host);
  if (browser == nullptr) return false;
  browser->put_Left(0);
  browser->put_Top(0);
  browser->put_Width(client.right);
  browser->put_Height(client.bottom);
  browser->Release();
  return true;
}

}  // namespace

BrowserHost* CreateBrowserHost(HWND pane, const std::string& first_page) {
  auto* host = new BrowserHost(pane);
  GuardFocus(host);
  if (!Embed(host)) {
    DestroyBrowserHost(host);
    return nullptr;
  }
  Navigate(host, first_page);
  return host;
}

void Navigate(BrowserHost* host, const std::string& url) {
  if (host == nullptr) return;
  IWebBrowser2* browser = BrowserOf(host);
  if (browser == nullptr) return;
  std::u16string wide;
  platform::GbkToUtf16(url, &wide);
  VARIANT address;
  VariantInit(&address);
  address.vt = VT_BSTR;
  address.bstrVal = SysAllocString(reinterpret_cast<const OLECHAR*>(wide.c_str()));
  VARIANT empty;
  VariantInit(&empty);
  browser->Navigate2(&address, &empty, &empty, &empty, &empty);
  VariantClear(&address);
  browser->Release();
}

void DestroyBrowserHost(BrowserHost* host) {
  if (host == nullptr) return;
  if (host->focusHook != nullptr) UnhookWinEvent(host->focusHook);
  g_focusPane = nullptr;
  if (host->object != nullptr) {
    host->object->Close(OLECLOSE_NOSAVE);
    host->object->Release();
  }
  delete host;
}

}  // namespace harvio::ui
