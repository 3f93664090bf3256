#include "sampler.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <vector>

#include "graphics/image.h"
#include "platform/platform.h"

namespace {

const uint32_t kTextLight = 0xFFE8F0D8;

// A progress bar that moves on by one percent every 100 ms of ticks.
class TickingBar : public c_GUIB_ProgressBar {
 public:
  using c_GUIB_ProgressBar::c_GUIB_ProgressBar;
  uintptr_t HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) override {
    if (msg == GM_TICK) {
      const uint32_t now = uint32_t(a);
      if (!m_started) {
        m_started = true;
        m_last = now;
      }
      while (now - m_last >= 100) {
        m_last += 100;
        SetValue(GetValue() >= 100 ? 0 : GetValue() + 1, 0);
      }
    }
    return c_GUIB_ProgressBar::HandleMessage(msg, a, b);
  }

 private:
  bool m_started = false;
  uint32_t m_last = 0;
};

// A 12 x 12 arrow pointing left or right, opaque on transparent.
c_GUIB_Bitmap *Arrow(bool right, uint32_t argb) {
  c_GUIB_Bitmap *b = new c_GUIB_Bitmap(12, 12);
  if (!b->Pixels()) return b;
  SYS_Fill(b->Pixels(), 4, 144, 0);
  for (int32_t y = 0; y < 12; ++y) {
    const int32_t half = y < 6 ? y : 11 - y;
    for (int32_t x = 0; x <= half * 2 && x < 12; ++x) b->SetPixel(right ? 2 + x : 9 - x, y, argb);
  }
  return b;
}

// The handler's data: which sampler and which widget.
struct Tag {
  Sampler *sampler;
  const char *name;
};

uint32_t g_manualNow = 0;
uint32_t ManualClock() {
  return g_manualNow;
}

}  // namespace

c_GUIB_Bitmap *LoadHostImage(const std::string &path) {
  std::vector<uint8_t> bytes;
  if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
  }
  ImageMemory memory{bytes.data(), bytes.size(), 0};
  ImageInfo info;
  const size_t dot = path.rfind('.');
  const uint32_t type =
      dot == std::string::npos ? IMAGE_UNKNOWN : ImageTypeFromExtension(path.c_str() + dot + 1);
  if (bytes.empty() || !DecodeImage(type, ImageMemorySource(&memory), &info) || !info.pixels)
    return new c_GUIB_Bitmap();
  c_GUIB_Bitmap *b = new c_GUIB_Bitmap(int32_t(info.width), int32_t(info.height));
  const uint32_t bpp = info.bytes_per_pixel;
  if (b->Pixels()) {
    for (size_t i = 0; i < size_t(info.width) * info.height; ++i) {
      const uint8_t *p = info.pixels + i * bpp;
      const uint32_t alpha = (bpp == 4 && (info.flags & 1)) ? p[3] : 255;
      b->Pixels()[i] = (alpha << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
  }
  SYS_Free(info.pixels);
  return b;
}

Sampler::Sampler(GuiContext *context, c_GUIB_Desktop *desktop, const std::string &asset_dir,
                 std::FILE *log)
    : m_context(context), m_desktop(desktop), m_log(log) {
  static const char *const kNames[] = {"background", "title",   "about",    "Less",
                                       "More",       "counter", "Shortcut", "Online",
                                       "progress",   "Ask",     "Quit",     "Disabled"};
  static Tag tags[12];
  for (int i = 0; i < 12; ++i) tags[i] = Tag{this, kNames[i]};
  auto tag = [](int i) { return reinterpret_cast<uintptr_t>(&tags[i]); };

  c_GUIB_Panel *bg = new c_GUIB_Panel(GUI_ChildParams(desktop, 0, 0, 640, 284, iNotify, tag(0)));
  bg->SetFrameStyle(0);
  c_GUIB_Bitmap *picture = LoadHostImage(asset_dir.empty() ? "back.jpg" : asset_dir + "/back.jpg");
  if (picture->Width())
    bg->SetBackground(0xFF2D3B1A, picture, PANEL_STRETCH);
  else
    bg->SetBackground(0xFF2D3B1A, nullptr, 0);
  picture->Release();

  c_GUIB_Label *title = new c_GUIB_Label(GUI_ChildParams(bg, 16, 10, 400, 18, iNotify, tag(1)));
  title->SetTextColor(SLOT_NORMAL, kTextLight);
  title->SetFrameStyle(0);
  title->SetTextAlign(GUIB_ALIGN_LEFT | GUIB_ALIGN_VCENTER);
  title->SetText("Widget sampler of the demo disc set-up program");

  c_GUIB_Label *about = new c_GUIB_Label(GUI_ChildParams(bg, 16, 34, 400, 62, iNotify, tag(2)));
  about->SetTextColor(SLOT_NORMAL, kTextLight);
  about->SetTextAlign(c_GUIB_Label::ALIGN_WRAP);
  about->SetText(
      "Every widget paints into a bitmap of its own and the desktop composes only the "
      "rectangles that changed. Hold a button to repeat it, tick the boxes, and ask a "
      "question: the box can be dragged by its title bar.");

  c_GUIB_Button *less = new c_GUIB_Button(GUI_ChildParams(bg, 16, 108, 90, 22, iNotify, tag(3)));
  less->SetText("Less");
  c_GUIB_Button *more = new c_GUIB_Button(GUI_ChildParams(bg, 112, 108, 90, 22, iNotify, tag(4)));
  more->SetText("More");
  for (uint32_t slot : {SLOT_NORMAL, SLOT_HOVER, SLOT_PRESSED}) {
    c_GUIB_Bitmap *l = Arrow(false, 0xFF203010), *r = Arrow(true, 0xFF203010);
    less->SetIcon(l, slot);
    more->SetIcon(r, slot);
    l->Release();
    r->Release();
  }
  m_counter = new c_GUIB_Label(GUI_ChildParams(bg, 208, 108, 100, 22, iNotify, tag(5)));
  m_counter->SetTextColor(SLOT_NORMAL, kTextLight);
  m_counter->SetTextAlign(GUIB_ALIGN_HCENTER | GUIB_ALIGN_VCENTER);
  iSetCount(m_count);

  c_GUIB_CheckBox *shortcut =
      new c_GUIB_CheckBox(GUI_ChildParams(bg, 16, 142, 220, 16, iNotify, tag(6)));
  shortcut->SetTextColor(SLOT_NORMAL, kTextLight);
  shortcut->SetText("Put a shortcut on the desktop");
  shortcut->SetCheck(1);
  c_GUIB_CheckBox *online =
      new c_GUIB_CheckBox(GUI_ChildParams(bg, 16, 162, 220, 16, iNotify, tag(7)));
  online->SetTextColor(SLOT_NORMAL, kTextLight);
  online->SetStyle(0x11 | c_GUIB_CheckBox::STYLE_BOX_RIGHT);
  online->SetText("Play online");

  m_progress = new TickingBar(GUI_ChildParams(bg, 16, 194, 400, 18, iNotify, tag(8)));
  m_progress->SetValue(0, 0);

  c_GUIB_Button *ask = new c_GUIB_Button(GUI_ChildParams(bg, 16, 236, 90, 22, iNotify, tag(9)));
  ask->SetText("Ask...");
  c_GUIB_Button *quit = new c_GUIB_Button(GUI_ChildParams(bg, 112, 236, 90, 22, iNotify, tag(10)));
  quit->SetText("Quit");
  c_GUIB_Button *off = new c_GUIB_Button(GUI_ChildParams(bg, 208, 236, 90, 22, iNotify, tag(11)));
  off->SetText("Disabled");
  off->Enable(false);
}

Sampler::~Sampler() = default;

void Sampler::iSetCount(int32_t count) {
  m_count = count;
  char text[32];
  SYS_Format(text, sizeof text, "Count: %d", count);
  m_counter->SetText(text);
}

void Sampler::iLog(const char *name, uint32_t msg, uintptr_t a) {
  if (!m_log) return;
  // The messages logged by a word; the two with a value print it.
  static const struct {
    uint32_t msg;
    const char *word;
    bool value;
  } kWords[] = {{GN_CLICKED, "clicked", false},      {GN_REPEAT, "repeat", false},
                {GN_CHECK_CHANGED, "changed", true}, {GN_MSGBOX_RESULT, "result", true},
                {GM_MOUSE_ENTER, "enter", false},    {GM_MOUSE_LEAVE, "leave", false},
                {GM_DESTROY, "destroy", false}};
  const auto *w = std::find_if(std::begin(kWords), std::end(kWords),
                               [msg](const auto &k) { return k.msg == msg; });
  if (w == std::end(kWords))
    std::fprintf(m_log, "%s message %u %u\n", name, unsigned(msg), unsigned(a));
  else if (w->value)
    std::fprintf(m_log, "%s %s %u\n", name, w->word, unsigned(a));
  else
    std::fprintf(m_log, "%s %s\n", name, w->word);
  std::fflush(m_log);
}

uint32_t Sampler::iNotify(c_GUIB_Widget *, uintptr_t data, uint32_t msg, uintptr_t a, uintptr_t) {
  const Tag *tag = reinterpret_cast<const Tag *>(data);
  Sampler *s = tag->sampler;
  const std::string name = tag->name;
  s->iLog(tag->name, msg, a);
  if (msg == GN_CLICKED || msg == GN_REPEAT) {
    if (name == "Less") s->iSetCount(s->m_count - 1);
    if (name == "More") s->iSetCount(s->m_count + 1);
  }
  if (msg == GN_CLICKED && name == "Quit") s->m_running = false;
  if (msg == GN_CLICKED && name == "Ask") {
    static Tag box_tag{nullptr, "msgbox"};
    box_tag.sampler = s;
    c_GUIB_MessageBox *box = ShowMessageBox(
        s->m_desktop, "Question", "Go on looking at the sampler? Drag this box by its title bar.",
        MBB_OK | MBB_CANCEL, nullptr);
    box->AddHandler(iNotify, reinterpret_cast<uintptr_t>(&box_tag));
    // Where "Cancel" is, for tests that click it from outside: its place
    // depends on the font the system renders.
    if (c_GUIB_Button *cancel = box->ButtonSlot(3)) {
      int32_t w = 0, h = 0;
      cancel->GetSize(&w, &h);
      GUI_Point centre{w / 2, h / 2};
      cancel->GetOrigin(&centre);
      if (s->m_log) {
        std::fprintf(s->m_log, "msgbox cancel at %d %d\n", int(centre.x), int(centre.y));
        std::fflush(s->m_log);
      }
    }
  }
  return 0;
}

bool Sampler::PlayScript(const std::string &script, const std::string &frame_dir,
                         std::string *error) {
  g_manualNow = 100000;
  SYS_SetTickSource(ManualClock);
  std::istringstream in(script);
  std::string line;
  int step = 0, line_no = 0;
  bool ok = true;
  while (ok && std::getline(in, line)) {
    ++line_no;
    std::istringstream words(line);
    std::string cmd;
    if (!(words >> cmd) || cmd[0] == '#') continue;
    int32_t x = 0, y = 0;
    if (cmd == "move" || cmd == "down" || cmd == "up" || cmd == "click") {
      if (!(words >> x >> y))
        ok = false;
      else if (cmd == "move")
        m_desktop->InputMouse(GM_MOUSE_MOVE, x, y);
      else if (cmd == "down")
        m_desktop->InputMouse(GM_LBUTTON_DOWN, x, y);
      else if (cmd == "up")
        m_desktop->InputMouse(GM_LBUTTON_UP, x, y);
      else {
        m_desktop->InputMouse(GM_MOUSE_MOVE, x, y);
        m_desktop->InputMouse(GM_LBUTTON_DOWN, x, y);
        m_desktop->InputMouse(GM_LBUTTON_UP, x, y);
      }
    } else if (cmd == "key") {
      if (!(words >> x))
        ok = false;
      else {
        m_desktop->InputKey(uint32_t(x), true);
        m_desktop->InputKey(uint32_t(x), false);
      }
    } else if (cmd == "wait") {
      if (!(words >> x) || x < 0) ok = false;
      for (int32_t t = 0; ok && t + 20 <= x; t += 20) {
        g_manualNow += 20;
        m_desktop->PumpOnce();
      }
    } else {
      ok = false;
    }
    if (!ok) {
      if (error) *error = "line " + std::to_string(line_no) + ": " + line;
      break;
    }
    g_manualNow += 20;
    m_desktop->PumpOnce();
    ++step;
    if (!frame_dir.empty()) {
      char name[64];
      SYS_Format(name, sizeof name, "/%02d-%s.png", step, cmd.c_str());
      if (!m_desktop->SaveScreenPng((frame_dir + name).c_str())) {
        if (error) *error = "cannot write " + frame_dir + name;
        ok = false;
      }
    }
  }
  SYS_SetTickSource(nullptr);
  return ok;
}
