// The window's IAccessible. Each WM_GETOBJECT for the client area gets a new
// object; the children are simple elements (child numbers, no objects of
// their own) read afresh from the widget tree on every call, so the object
// always tells the page on screen. Calls arrive on the GUI thread (the
// window's thread), in process or marshalled from a reader's process.
#include <ole2.h>
#include <oleacc.h>
#include <windows.h>  // before the other system headers, which need it

#include <algorithm>
#include <vector>

#include "gui/accessible.h"
#include "gui/desktop.h"
#include "gui/widget.h"

namespace {

class ClientAccessible;
std::vector<ClientAccessible *> g_live;  // objects handed out and not yet released
bool g_comStarted = false;               // CoInitializeEx succeeded here

BSTR iBstr(const std::u16string &s) {
  return s.empty() ? nullptr
                   : SysAllocStringLen(reinterpret_cast<const OLECHAR *>(s.data()), UINT(s.size()));
}

LONG iRole(uint32_t role) {
  switch (role) {
    case ACC_BUTTON:
      return ROLE_SYSTEM_PUSHBUTTON;
    case ACC_CHECKBOX:
      return ROLE_SYSTEM_CHECKBUTTON;
    case ACC_PROGRESS:
      return ROLE_SYSTEM_PROGRESSBAR;
    case ACC_TREE:
      return ROLE_SYSTEM_OUTLINE;
    default:
      return ROLE_SYSTEM_STATICTEXT;
  }
}

class ClientAccessible : public IAccessible {
 public:
  ClientAccessible(c_GUIB_Desktop *desktop, HWND window) : m_desktop(desktop), m_window(window) {
    g_live.push_back(this);
  }
  void Detach() { m_desktop = nullptr; }
  c_GUIB_Desktop *Desktop() const { return m_desktop; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, __uuidof(IAccessible))) {
      *out = static_cast<IAccessible *>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --m_refs;
    if (left == 0) {
      g_live.erase(std::find(g_live.begin(), g_live.end(), this));
      delete this;
    }
    return left;
  }

  // IDispatch: no type information; clients call the methods directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *,
                                   UINT *) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!m_desktop) return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(m_window, DWORD(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void **>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override {
    if (!count) return E_POINTER;
    *count = 0;
    if (!m_desktop) return CO_E_OBJNOTCONNECTED;
    *count = LONG(GUI_DescribeTree(m_desktop).size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **out) override {
    GUI_Description d;
    const HRESULT hr = iBegin(child, out, &d);
    if (FAILED(hr)) return hr;
    return child.lVal == CHILDID_SELF ? E_INVALIDARG : S_FALSE;  // simple elements
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override {
    GUI_Description d;
    const HRESULT hr = iBegin(child, name, &d);
    if (FAILED(hr)) return hr;
    if (child.lVal == CHILDID_SELF) {
      wchar_t title[256];
      const int n = GetWindowTextW(m_window, title, 256);
      *name = n > 0 ? SysAllocStringLen(title, UINT(n)) : nullptr;
    } else {
      *name = iBstr(d.name);
    }
    return *name ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override {
    GUI_Description d;
    const HRESULT hr = iBegin(child, value, &d);
    if (FAILED(hr)) return hr;
    if (d.role != ACC_PROGRESS && d.role != ACC_TREE) return DISP_E_MEMBERNOTFOUND;
    *value = iBstr(d.value);
    return *value ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *text) override {
    return iNoText(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override {
    GUI_Description d;
    const HRESULT hr = iBegin(child, role, &d);
    if (FAILED(hr)) return hr;
    role->vt = VT_I4;
    role->lVal = child.lVal == CHILDID_SELF ? ROLE_SYSTEM_CLIENT : iRole(d.role);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override {
    GUI_Description d;
    const HRESULT hr = iBegin(child, state, &d);
    if (FAILED(hr)) return hr;
    LONG s = 0;
    if (child.lVal == CHILDID_SELF) {
      s = STATE_SYSTEM_FOCUSABLE | (GetFocus() == m_window ? STATE_SYSTEM_FOCUSED : 0);
    } else {
      if (d.role == ACC_TEXT || d.role == ACC_PROGRESS) s |= STATE_SYSTEM_READONLY;
      if (d.role == ACC_BUTTON || d.role == ACC_CHECKBOX || d.role == ACC_TREE)
        s |= STATE_SYSTEM_FOCUSABLE;
      if (d.state & ACCS_FOCUSED) s |= STATE_SYSTEM_FOCUSED;
      if (d.state & ACCS_DISABLED) s |= STATE_SYSTEM_UNAVAILABLE;
      if (d.state & ACCS_CHECKED) s |= STATE_SYSTEM_CHECKED;
    }
    state->vt = VT_I4;
    state->lVal = s;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *text) override {
    return iNoText(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT, LONG *topic) override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *text) override {
    return iNoText(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    if (!m_desktop) return CO_E_OBJNOTCONNECTED;
    if (GetFocus() != m_window) return S_FALSE;  // VT_EMPTY: the focus is elsewhere
    const std::vector<GUI_Description> all = GUI_DescribeTree(m_desktop);
    focus->vt = VT_I4;
    focus->lVal = CHILDID_SELF;
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i].state & ACCS_FOCUSED) focus->lVal = LONG(i + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    return m_desktop ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override {
    GUI_Description d;
    const HRESULT hr = iBegin(child, action, &d);
    if (FAILED(hr)) return hr;
    if (child.lVal == CHILDID_SELF || (d.role != ACC_BUTTON && d.role != ACC_CHECKBOX))
      return S_FALSE;
    const wchar_t *text = d.role == ACC_BUTTON       ? L"Press"
                          : (d.state & ACCS_CHECKED) ? L"Uncheck"
                                                     : L"Check";
    *action = SysAllocString(text);
    return *action ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    GUI_Description d;
    const HRESULT hr = iLookUp(child, &d);
    if (FAILED(hr)) return hr;
    if (child.lVal == CHILDID_SELF || flags != SELFLAG_TAKEFOCUS || !d.widget)
      return DISP_E_MEMBERNOTFOUND;
    d.widget->SetFocus();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                                        VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    GUI_Description d;
    const HRESULT hr = iLookUp(child, &d);
    if (FAILED(hr)) return hr;
    if (child.lVal == CHILDID_SELF)
      d.rect = GUIB_Rect{0, 0, m_desktop->Width(), m_desktop->Height()};
    const LONG s = iScale();
    POINT p = {d.rect.left * s, d.rect.top * s};
    ClientToScreen(m_window, &p);
    *left = p.x;
    *top = p.y;
    *width = (d.rect.right - d.rect.left) * s;
    *height = (d.rect.bottom - d.rect.top) * s;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    GUI_Description d;
    const HRESULT hr = iLookUp(start, &d);
    if (FAILED(hr)) return hr;
    const LONG count = LONG(GUI_DescribeTree(m_desktop).size()), from = start.lVal;
    LONG to = 0;
    if (from == CHILDID_SELF) {
      if (direction == NAVDIR_FIRSTCHILD) to = count ? 1 : 0;
      if (direction == NAVDIR_LASTCHILD) to = count;
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
      to = from < count ? from + 1 : 0;
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
      to = from - 1;
    }
    if (to <= 0) return S_FALSE;  // nothing that way: VT_EMPTY
    end->vt = VT_I4;
    end->lVal = to;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *found) override {
    if (!found) return E_POINTER;
    VariantInit(found);
    if (!m_desktop) return CO_E_OBJNOTCONNECTED;
    POINT p = {x, y};
    ScreenToClient(m_window, &p);
    const LONG s = iScale();
    const int32_t dx = p.x / s, dy = p.y / s;
    if (p.x < 0 || p.y < 0 || dx >= m_desktop->Width() || dy >= m_desktop->Height()) return S_FALSE;
    const std::vector<GUI_Description> all = GUI_DescribeTree(m_desktop);
    found->vt = VT_I4;
    found->lVal = CHILDID_SELF;
    for (size_t i = 0; i < all.size(); ++i) {  // the last is the top-most
      const GUIB_Rect &r = all[i].rect;
      if (dx >= r.left && dx < r.right && dy >= r.top && dy < r.bottom) found->lVal = LONG(i + 1);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    GUI_Description d;
    const HRESULT hr = iLookUp(child, &d);
    if (FAILED(hr)) return hr;
    if (child.lVal == CHILDID_SELF || (d.role != ACC_BUTTON && d.role != ACC_CHECKBOX))
      return DISP_E_MEMBERNOTFOUND;
    if (d.state & ACCS_DISABLED) return E_FAIL;
    // Space is what presses a button and toggles a check box.
    d.widget->HandleMessage(GM_KEY_DOWN, KW_CHAR | ' ', 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  virtual ~ClientAccessible() = default;

  // The description of a child (left empty for CHILDID_SELF); E_INVALIDARG
  // for anything but a VT_I4 child number in range.
  HRESULT iLookUp(const VARIANT &child, GUI_Description *d) const {
    if (!m_desktop) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4 || child.lVal < 0) return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) return S_OK;
    const std::vector<GUI_Description> all = GUI_DescribeTree(m_desktop);
    if (size_t(child.lVal) > all.size()) return E_INVALIDARG;
    *d = all[size_t(child.lVal) - 1];
    return S_OK;
  }
  // A getter's first steps: its out-argument checked and emptied, then the
  // child looked up.
  static void iEmpty(BSTR *text) { *text = nullptr; }
  static void iEmpty(IDispatch **object) { *object = nullptr; }
  static void iEmpty(VARIANT *value) { VariantInit(value); }
  template <typename Out>
  HRESULT iBegin(const VARIANT &child, Out *out, GUI_Description *d) const {
    if (!out) return E_POINTER;
    iEmpty(out);
    return iLookUp(child, d);
  }
  HRESULT iNoText(const VARIANT &child, BSTR *text) const {
    GUI_Description d;
    const HRESULT hr = iBegin(child, text, &d);
    return FAILED(hr) ? hr : S_FALSE;
  }
  // Screen pixels per desktop pixel: the client area is the desktop times it.
  LONG iScale() const {
    RECT r;
    if (!GetClientRect(m_window, &r) || m_desktop->Width() <= 0) return 1;
    const LONG s = (r.right - r.left) / m_desktop->Width();
    return s > 0 ? s : 1;
  }

  ULONG m_refs = 1;
  c_GUIB_Desktop *m_desktop;
  HWND m_window;
};

}  // namespace

intptr_t GUI_AccessibleAnswer(c_GUIB_Desktop *desktop, uintptr_t window, uintptr_t wparam) {
  // Handing the object to another process marshals it: COM must be running
  // on this thread (an apartment of its own unless the program chose one).
  if (!g_comStarted) {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g_comStarted = SUCCEEDED(hr);
  }
  ClientAccessible *object = new ClientAccessible(desktop, reinterpret_cast<HWND>(window));
  const LRESULT r = LresultFromObject(__uuidof(IAccessible), WPARAM(wparam), object);
  object->Release();  // LresultFromObject holds what the client needs
  return r > 0 ? intptr_t(r) : 0;
}

void GUI_AccessibleDetach(c_GUIB_Desktop *desktop) {
  for (ClientAccessible *object : g_live)
    if (object->Desktop() == desktop) object->Detach();
  if (g_comStarted) {
    CoUninitialize();
    g_comStarted = false;
  }
}
