#include "win/accessible.h"

#include <commctrl.h>
#include <oleacc.h>

#include <map>
#include <memory>
#include <utility>

#include "win/wide_text.h"

namespace velkor::win {

namespace {

// What the control's subclass keeps; the objects handed to readers share it,
// and may outlive the window: they answer from it while it lives.
struct Described {
  AccessibleFactsSource source;
  bool alive = true;
};

BSTR ToBstr(const std::string& text) {
  const std::wstring wide = WideText(text, 1252);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The system's object for the control, with the program's texts where it has
// them. Readers call in on the window's thread (the apartment it lives in,
// or in-context from a hook), one call at a time.
class FactsObject final : public IAccessible, public IOleWindow {
 public:
  FactsObject(HWND window, std::shared_ptr<Described> described, IAccessible* system)
      : window_(window), described_(std::move(described)), system_(system) {}
  FactsObject(const FactsObject&) = delete;
  FactsObject& operator=(const FactsObject&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
        IsEqualIID(iid, __uuidof(IAccessible)))
      *out = static_cast<IAccessible*>(this);
    else if (IsEqualIID(iid, __uuidof(IOleWindow)))
      *out = static_cast<IOleWindow*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IDispatch: the system object's type information.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return system_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return system_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return system_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument) override {
    return system_->Invoke(id, iid, locale, flags, params, result, exception, argument);
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return system_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    const AccessibleFacts facts = Facts();
    if (facts.parts.empty()) return system_->get_accChildCount(count);
    *count = static_cast<long>(facts.parts.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (Part(child)) return S_FALSE;  // a simple element: asked of this object by its number
    return system_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    const AccessibleFacts facts = Facts();
    if (IsSelf(child)) return Text(facts.name, name);
    if (const AccessiblePart* part = PartOf(facts, child)) return Text(part->name, name);
    return system_->get_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (!value) return E_POINTER;
    *value = nullptr;
    const AccessibleFacts facts = Facts();
    if (IsSelf(child) && !facts.value.empty()) return Text(facts.value, value);
    if (const AccessiblePart* part = PartOf(facts, child))
      return part->value.empty() ? S_FALSE : Text(part->value, value);
    return system_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    if (Part(child)) return Nothing(text);
    return system_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    const AccessibleFacts facts = Facts();
    long answer = 0;
    if (IsSelf(child)) answer = facts.role;
    if (const AccessiblePart* part = PartOf(facts, child)) answer = part->role;
    if (!answer) return system_->get_accRole(child, role);
    role->vt = VT_I4;
    role->lVal = answer;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    const AccessibleFacts facts = Facts();
    const AccessiblePart* part = PartOf(facts, child);
    if (!part) return system_->get_accState(child, state);
    // A part shares the control's visibility and focus.
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT own{};
    long shared = 0;
    if (SUCCEEDED(system_->get_accState(self, &own)) && own.vt == VT_I4)
      shared = own.lVal & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_UNAVAILABLE);
    if (GetFocus() == window_ && child.lVal == facts.focusedPart) shared |= STATE_SYSTEM_FOCUSED;
    state->vt = VT_I4;
    state->lVal = part->state | shared;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
    if (Part(child)) return Nothing(text);
    return system_->get_accHelp(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    if (Part(child)) return Nothing(file);
    return system_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
    if (Part(child)) return Nothing(text);
    return system_->get_accKeyboardShortcut(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    const AccessibleFacts facts = Facts();
    if (GetFocus() == window_ && facts.focusedPart > 0) {
      focus->vt = VT_I4;
      focus->lVal = facts.focusedPart;
      return S_OK;
    }
    return system_->get_accFocus(focus);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return system_->get_accSelection(selection);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
    if (Part(child)) return Nothing(text);
    return system_->get_accDefaultAction(child, text);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    if (Part(child)) return DISP_E_MEMBERNOTFOUND;
    return system_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    const AccessibleFacts facts = Facts();
    const AccessiblePart* part = PartOf(facts, child);
    if (!part) return system_->accLocation(left, top, width, height, child);
    if (!left || !top || !width || !height) return E_POINTER;
    POINT corner{part->place.left, part->place.top};
    ClientToScreen(window_, &corner);
    *left = corner.x;
    *top = corner.y;
    *width = part->place.right - part->place.left;
    *height = part->place.bottom - part->place.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    const AccessibleFacts facts = Facts();
    const long count = static_cast<long>(facts.parts.size());
    if (count == 0 || start.vt != VT_I4) return system_->accNavigate(direction, start, end);
    long to = 0;
    if (start.lVal == CHILDID_SELF) {
      if (direction == NAVDIR_FIRSTCHILD) to = 1;
      if (direction == NAVDIR_LASTCHILD) to = count;
      if (!to) return system_->accNavigate(direction, start, end);
    } else if (start.lVal >= 1 && start.lVal <= count) {
      if (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT) to = start.lVal + 1;
      if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT) to = start.lVal - 1;
    } else {
      return E_INVALIDARG;
    }
    if (to < 1 || to > count) {
      end->vt = VT_EMPTY;
      return S_FALSE;
    }
    end->vt = VT_I4;
    end->lVal = to;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    const AccessibleFacts facts = Facts();
    POINT point{x, y};
    ScreenToClient(window_, &point);
    for (size_t k = 0; k < facts.parts.size(); ++k) {
      if (PtInRect(&facts.parts[k].place, point)) {
        hit->vt = VT_I4;
        hit->lVal = static_cast<long>(k + 1);
        return S_OK;
      }
    }
    return system_->accHitTest(x, y, hit);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (Part(child)) return DISP_E_MEMBERNOTFOUND;
    return system_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~FactsObject() { system_->Release(); }

  AccessibleFacts Facts() const {
    if (!described_->alive || !described_->source) return {};
    return described_->source();
  }
  static const AccessiblePart* PartOf(const AccessibleFacts& facts, const VARIANT& child) {
    if (child.vt != VT_I4 || child.lVal < 1 || static_cast<size_t>(child.lVal) > facts.parts.size()) return nullptr;
    return &facts.parts[static_cast<size_t>(child.lVal) - 1];
  }
  bool Part(const VARIANT& child) const { return PartOf(Facts(), child) != nullptr; }
  static HRESULT Text(const std::string& text, BSTR* out) {
    if (text.empty()) return S_FALSE;
    *out = ToBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
  }
  static HRESULT Nothing(BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }

  ULONG references_ = 1;
  HWND window_;
  std::shared_ptr<Described> described_;
  IAccessible* system_;
};

constexpr UINT_PTR kFactsSubclass = 0x4163;  // the subclass ids of this file, its own
constexpr UINT_PTR kWatchSubclass = 0x4164;

LRESULT ClientObject(HWND window, WPARAM wParam, const std::shared_ptr<Described>& described) {
  IAccessible* system = nullptr;
  if (FAILED(
          CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&system))) ||
      !system)
    return 0;
  auto* object = new FactsObject(window, described, system);
  const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object));
  object->Release();  // LresultFromObject holds what the reader needs
  return answer > 0 ? answer : 0;
}

// What each described or watched control is told by; the subclasses find
// their control's entry here and drop it when the control goes.
std::map<HWND, std::shared_ptr<Described>>& DescribedControls() {
  static std::map<HWND, std::shared_ptr<Described>> described;
  return described;
}
std::map<HWND, std::function<void()>>& WatchedControls() {
  static std::map<HWND, std::function<void()>> watched;
  return watched;
}

LRESULT CALLBACK FactsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  const auto found = DescribedControls().find(window);
  if (found == DescribedControls().end()) return DefSubclassProc(window, message, wParam, lParam);
  const std::shared_ptr<Described> described = found->second;
  switch (message) {
    // The object id is a 32-bit value that 64-bit Windows may pass sign-extended or not.
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == OBJID_CLIENT)
        if (const LRESULT answer = ClientObject(window, wParam, described)) return answer;
      break;
    case WM_SETFOCUS: {
      const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      // The system announces the control; a reader follows to its focused part.
      const AccessibleFacts facts = described->source ? described->source() : AccessibleFacts{};
      if (facts.focusedPart > 0) AnnounceFocus(window, facts.focusedPart);
      return result;
    }
    case WM_NCDESTROY:
      described->alive = false;
      DescribedControls().erase(found);
      RemoveWindowSubclass(window, FactsProc, kFactsSubclass);
      break;
    default: break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK WatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_SETTEXT) {
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    const auto found = WatchedControls().find(window);
    if (found != WatchedControls().end() && found->second) found->second();
    return result;
  }
  if (message == WM_NCDESTROY) {
    WatchedControls().erase(window);
    RemoveWindowSubclass(window, WatchProc, kWatchSubclass);
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void Announce(DWORD event, HWND control, int part) {
  if (control) NotifyWinEvent(event, control, OBJID_CLIENT, part);
}

}  // namespace

void SetAccessibleFacts(HWND control, AccessibleFactsSource source) {
  if (!control) return;
  auto& described = DescribedControls()[control];
  // A control made anew under a handle that was another's starts afresh.
  if (described) described->alive = false;
  described = std::make_shared<Described>();
  described->source = std::move(source);
  if (!SetWindowSubclass(control, FactsProc, kFactsSubclass, 0)) DescribedControls().erase(control);
}

void WatchTextChanges(HWND control, std::function<void()> changed) {
  if (!control) return;
  WatchedControls()[control] = std::move(changed);
  if (!SetWindowSubclass(control, WatchProc, kWatchSubclass, 0)) WatchedControls().erase(control);
}

void AnnounceValueChange(HWND control) { Announce(EVENT_OBJECT_VALUECHANGE, control, CHILDID_SELF); }
void AnnounceNameChange(HWND control, int part) { Announce(EVENT_OBJECT_NAMECHANGE, control, part); }
void AnnounceSelection(HWND control, int part) { Announce(EVENT_OBJECT_SELECTION, control, part); }
void AnnounceFocus(HWND control, int part) { Announce(EVENT_OBJECT_FOCUS, control, part); }

}  // namespace velkor::win
