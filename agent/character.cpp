#include "character.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string>

#include "host.h"
#include "module.h"
#include "wizard.h"

namespace agent {
namespace {

enum : DISPID {
  kShow = 1,
  kHide,
  kMoveTo,
  kSpeak,
  kThink,
  kPlay,
  kStop,
  kStopAll,
  kLeft,
  kTop,
  kWidth,
  kHeight,
  kVisible,
  kName,
  kDescription,
  kBusy,
  kQueueLength,
  kAnimationNames,
  kHasAnimation,
};

const Member kCharacterMembers[] = {
    {L"Show", kShow, kMethod, 0, 1, {L"Fast"}},
    {L"Hide", kHide, kMethod, 0, 1, {L"Fast"}},
    {L"MoveTo", kMoveTo, kMethod, 2, 3, {L"x", L"y", L"Speed"}},
    {L"Speak", kSpeak, kMethod, 0, 1, {L"Text"}},
    {L"Think", kThink, kMethod, 1, 1, {L"Text"}},
    {L"Play", kPlay, kMethod, 1, 1, {L"Animation"}},
    {L"Stop", kStop, kMethod, 0, 1, {L"Request"}},
    {L"StopAll", kStopAll, kMethod, 0, 0, {}},
    {L"Left", kLeft, kGet | kPut, 0, 0, {}},
    {L"Top", kTop, kGet | kPut, 0, 0, {}},
    {L"Width", kWidth, kGet, 0, 0, {}},
    {L"Height", kHeight, kGet, 0, 0, {}},
    {L"Visible", kVisible, kGet, 0, 0, {}},
    {L"Name", kName, kGet, 0, 0, {}},
    {L"Description", kDescription, kGet, 0, 0, {}},
    {L"Busy", kBusy, kGet, 0, 0, {}},
    {L"QueueLength", kQueueLength, kGet, 0, 0, {}},
    {L"AnimationNames", kAnimationNames, kGet, 0, 0, {}},
    {L"HasAnimation", kHasAnimation, kMethod | kGet, 1, 1, {L"Animation"}},
};

constexpr std::size_t kMaxQueue = 10000;
constexpr long kMaxCoordinate = 100000;
constexpr long kMaxSpeed = 60000;
constexpr double kFadeMs = 400;
constexpr double kQuickFadeMs = 250;
constexpr ULONGLONG kMouthMs = 140;

// Request durations are multiplied by AGENT_TIME_SCALE (default 1), so that
// tests and demonstrations can run the same sequences faster or slower.
double TimeScale() {
  std::wstring v = EnvironmentValue(L"AGENT_TIME_SCALE");
  if (v.empty()) return 1;
  wchar_t* end = nullptr;
  double d = std::wcstod(v.c_str(), &end);
  if (end == v.c_str() || !(d > 0)) return 1;
  return std::clamp(d, 0.001, 100.0);
}

double Smooth(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// How long a balloon stays: longer for longer texts.
double SpeechMs(std::size_t length, bool thought) {
  double ms = (thought ? 1800 : 1500) + 60.0 * static_cast<double>(length);
  return std::min(ms, 15000.0);
}

std::wstring FromUtf8(const std::string& s) {
  if (s.empty()) return L"";
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0);
  if (n <= 0) return L"";
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

// A name as it appears inside an error description: quoted, shortened,
// without control characters.
std::wstring Shown(const std::wstring& s) {
  std::wstring out = L"\"";
  for (std::size_t i = 0; i < s.size() && i < 64; ++i) out += s[i] < 0x20 ? L'?' : s[i];
  if (s.size() > 64) out += L"...";
  return out + L"\"";
}

// ---- Request objects ----

// {DB23D9D1-1098-4A44-B520-3D8D301D4037}: asked of a Request object to find
// the request behind it (only objects of this server answer).
constexpr IID kIidRequestPrivate = {0xdb23d9d1, 0x1098, 0x4a44, {0xb5, 0x20, 0x3d, 0x8d, 0x30, 0x1d, 0x40, 0x37}};

class RequestObject final : public DispatchObject {
 public:
  explicit RequestObject(std::shared_ptr<RequestState> s) : state_(std::move(s)) {}
  const std::shared_ptr<RequestState>& state() const { return state_; }

 protected:
  std::span<const Member> Members() const override {
    static const Member members[] = {
        {L"ID", 1, kGet, 0, 0, {}},
        {L"Status", 2, kGet, 0, 0, {}},
        {L"Kind", 3, kGet, 0, 0, {}},
        {L"Text", 4, kGet, 0, 0, {}},
    };
    return members;
  }
  std::wstring Label() const override { return L"Request"; }
  void Call(const Member& m, unsigned, Args&, VARIANT* result) override {
    switch (m.id) {
      case 1:
        SetResult(result, state_->id);
        break;
      case 2:
        SetResult(result, state_->status);
        break;
      case 3:
        SetResult(result, state_->kind);
        break;
      default:
        SetResult(result, state_->text);
        break;
    }
  }
  void* QueryPrivate(REFIID riid) override {
    return riid == kIidRequestPrivate ? static_cast<IDispatch*>(this) : nullptr;
  }

 private:
  std::shared_ptr<RequestState> state_;
};

}  // namespace

IDispatch* NewRequestObject(std::shared_ptr<RequestState> state) { return new RequestObject(std::move(state)); }

std::shared_ptr<RequestState> RequestStateOf(IUnknown* object) {
  if (!object) return nullptr;
  IDispatch* p = nullptr;
  if (FAILED(object->QueryInterface(kIidRequestPrivate, reinterpret_cast<void**>(&p))) || !p) return nullptr;
  std::shared_ptr<RequestState> s = static_cast<RequestObject*>(p)->state();
  p->Release();
  return s;
}

// ---- Character ----

Character::Character(Host* host, std::wstring id, std::wstring path, CharacterFile file)
    : host_(host), id_(std::move(id)), path_(std::move(path)), file_(std::move(file)) {
  host_->AddRef();
  name_ = FromUtf8(file_.name);
  description_ = FromUtf8(file_.description);
  rest_ = file_.RestPose();
  movePose_[0] = file_.FindPose("move_left");
  movePose_[1] = file_.FindPose("move_right");
  thinkPose_ = file_.FindPose("think");
  if (!stage_.Create(name_)) {
    host_->Release();
    throw AgentError{kErrWindow, L"The windows of the character " + Shown(id_) + L" could not be created."};
  }
  // The character starts at the lower right corner of the main screen.
  RECT work{0, 0, 1024, 768};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  x_ = std::max<double>(work.left, work.right - file_.width - 40);
  y_ = std::max<double>(work.top, work.bottom - file_.height - 40);
  dice_ = static_cast<unsigned>(GetTickCount()) | 1u;
  host_->Attach(this);
}

Character::~Character() {
  if (!unloaded_) host_->Detach(this);
  stage_.Destroy();
  host_->Release();
}

void Character::Unload() {
  if (unloaded_) return;
  Interrupt();
  stage_.Destroy();
  unloaded_ = true;
  host_->Detach(this);
}

std::span<const Member> Character::Members() const { return kCharacterMembers; }

void Character::Raise(HRESULT code, const std::wstring& text) const { throw AgentError{code, text}; }

void Character::CheckLoaded() const {
  if (unloaded_) Raise(kErrUnloaded, L"The character " + Shown(id_) + L" is no longer loaded.");
}

void Character::Enqueue(Request r, VARIANT* result) {
  CheckLoaded();
  if (queue_.size() >= kMaxQueue)
    Raise(kErrQueueFull, L"The character " + Shown(id_) + L" already has 10000 requests waiting.");
  r.state->id = nextId_++;
  r.state->owner = this;
  r.state->status = kRequestPending;
  std::shared_ptr<RequestState> state = r.state;
  queue_.push_back(std::move(r));
  host_->Wake();
  SetResult(result, NewRequestObject(std::move(state)));
}

void Character::Call(const Member& m, unsigned kind, Args& a, VARIANT* result) {
  auto request = [](Action action, const wchar_t* kindName) {
    Request r;
    r.action = action;
    r.state = std::make_shared<RequestState>();
    r.state->kind = kindName;
    return r;
  };
  switch (m.id) {
    case kShow:
    case kHide: {
      Request r = request(m.id == kShow ? Action::Show : Action::Hide, m.name);
      r.fast = a.BoolOr(0, false);
      Enqueue(std::move(r), result);
      return;
    }
    case kMoveTo: {
      Request r = request(Action::Move, L"MoveTo");
      r.x = a.Long(0);
      r.y = a.Long(1);
      r.ms = a.LongOr(2, 1000);
      if (std::labs(r.x) > kMaxCoordinate || std::labs(r.y) > kMaxCoordinate)
        Raise(kErrBadArgument, L"MoveTo: the position is outside the range -100000 to 100000.");
      if (r.ms < 0 || r.ms > kMaxSpeed) Raise(kErrBadArgument, L"MoveTo: the speed must be from 0 to 60000 ms.");
      r.state->text = std::to_wstring(r.x) + L", " + std::to_wstring(r.y);
      Enqueue(std::move(r), result);
      return;
    }
    case kSpeak:
    case kThink: {
      Request r = request(m.id == kSpeak ? Action::Speak : Action::Think, m.name);
      r.text = m.id == kSpeak ? a.StringOr(0, L"") : a.String(0);
      r.state->text = r.text;
      Enqueue(std::move(r), result);
      return;
    }
    case kPlay: {
      std::wstring name = a.String(0);
      CheckLoaded();
      std::string ascii;
      bool plain = name.size() <= kAcsMaxName;
      for (wchar_t c : name) {
        if (c > 0x7E || c < 0x20) plain = false;
        ascii += static_cast<char>(c & 0x7F);
      }
      int index = plain ? file_.FindAnimation(ascii) : -1;
      if (index < 0)
        Raise(kErrNoAnimation, L"The character " + Shown(id_) + L" has no animation " + Shown(name) + L".");
      Request r = request(Action::Play, L"Play");
      r.animation = index;
      r.state->text = FromUtf8(file_.animations[static_cast<std::size_t>(index)].name);
      Enqueue(std::move(r), result);
      return;
    }
    case kStop: {
      if (unloaded_) return;
      if (a.Has(0)) {
        std::shared_ptr<RequestState> s = RequestStateOf(a.Object(0));
        if (!s || s->owner != this)
          Raise(kErrBadArgument, L"Stop: the argument is not a request of the character " + Shown(id_) + L".");
        StopRequest(s);
      } else {
        Interrupt();
      }
      host_->Wake();
      return;
    }
    case kStopAll:
      if (!unloaded_) Interrupt();
      host_->Wake();
      return;
    case kLeft:
    case kTop: {
      double& coord = m.id == kLeft ? x_ : y_;
      if (kind == kPut) {
        CheckLoaded();
        long v = a.PutLong();
        if (std::labs(v) > kMaxCoordinate)
          Raise(kErrBadArgument, std::wstring(m.name) + L": the position is outside the range -100000 to 100000.");
        coord = v;
        if (glide_.active) {
          // A glide in progress continues to its target from here.
          ULONGLONG now = GetTickCount64();
          double left = std::max(0.0, glide_.ms - static_cast<double>(now - glide_.start));
          glide_.fromX = x_;
          glide_.fromY = y_;
          glide_.start = now;
          glide_.ms = left;
        }
        host_->Wake();
      } else {
        SetResult(result, static_cast<long>(std::lround(coord)));
      }
      return;
    }
    case kWidth:
      SetResult(result, static_cast<long>(file_.width));
      return;
    case kHeight:
      SetResult(result, static_cast<long>(file_.height));
      return;
    case kVisible:
      SetResultBool(result, !unloaded_ && opacity_ > 0);
      return;
    case kName:
      SetResult(result, name_);
      return;
    case kDescription:
      SetResult(result, description_);
      return;
    case kBusy:
      SetResultBool(result, !queue_.empty());
      return;
    case kQueueLength:
      SetResult(result, static_cast<long>(queue_.size()));
      return;
    case kAnimationNames: {
      SAFEARRAY* sa = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(file_.animations.size()));
      if (!sa) throw std::bad_alloc();
      for (LONG i = 0; i < static_cast<LONG>(file_.animations.size()); ++i) {
        VARIANT v;
        VariantInit(&v);
        SetResult(&v, FromUtf8(file_.animations[static_cast<std::size_t>(i)].name));
        SafeArrayPutElement(sa, &i, &v);
        VariantClear(&v);
      }
      V_VT(result) = VT_ARRAY | VT_VARIANT;
      V_ARRAY(result) = sa;
      return;
    }
    case kHasAnimation: {
      std::wstring name = a.String(0);
      std::string ascii;
      bool plain = name.size() <= kAcsMaxName;
      for (wchar_t c : name) {
        if (c > 0x7E || c < 0x20) plain = false;
        ascii += static_cast<char>(c & 0x7F);
      }
      SetResultBool(result, plain && file_.FindAnimation(ascii) >= 0);
      return;
    }
    default:
      throw DispFault{DISP_E_MEMBERNOTFOUND};
  }
}

// ---- playing ----

void Character::StartFade(double to, double ms, ULONGLONG now) {
  if (ms <= 0) {
    opacity_ = to;
    fade_.active = false;
    return;
  }
  fade_ = Fade{true, opacity_, to, ms, now};
}

void Character::StartAnimation(int index, double scale, ULONGLONG now) {
  playing_ = Playing{true, index, 0, now, opacity_, scale};
  ++seed_;
}

void Character::EnsureVisible(double scale, ULONGLONG now) {
  // A character asked to act comes forward if it was hidden.
  if (opacity_ < 1 && !(fade_.active && fade_.to >= 1)) StartFade(1, kQuickFadeMs * scale, now);
}

void Character::OpenBalloon(const std::wstring& text, bool thought) {
  balloon_ = LayoutBalloon(text, thought, true);
  if (y_ - balloon_.height < WorkArea().top) balloon_ = LayoutBalloon(text, thought, false);
  balloonOn_ = true;
  balloonShown_ = thought ? balloon_.text.size() : 0;
  balloonDirty_ = true;
}

bool Character::Start(Request& r, ULONGLONG now) {
  const double scale = TimeScale();
  switch (r.action) {
    case Action::Show:
    case Action::Hide: {
      const bool show = r.action == Action::Show;
      const double target = show ? 1 : 0;
      if (opacity_ == target && !fade_.active) return true;
      if (r.fast) {
        StartFade(target, 0, now);
        return true;
      }
      int anim = file_.FindAnimation(show ? "Show" : "Hide");
      if (anim >= 0) {
        StartAnimation(anim, scale, now);
        if (!file_.animations[static_cast<std::size_t>(anim)].changesOpacity) StartFade(target, kFadeMs * scale, now);
      } else {
        StartFade(target, kFadeMs * scale, now);
      }
      return false;
    }
    case Action::Move: {
      const double ms = r.ms * scale;
      if (ms < 1 || opacity_ <= 0) {
        x_ = r.x;
        y_ = r.y;
        return true;
      }
      glide_ = Glide{true, x_, y_, static_cast<double>(r.x), static_cast<double>(r.y), ms, now};
      return false;
    }
    case Action::Speak:
    case Action::Think: {
      if (r.text.empty()) return true;
      const bool thought = r.action == Action::Think;
      EnsureVisible(scale, now);
      OpenBalloon(r.text, thought);
      const double ms = SpeechMs(balloon_.text.size(), thought) * scale;
      speech_ = Speech{true, thought, now, now + static_cast<ULONGLONG>(ms),
                       now + static_cast<ULONGLONG>(ms * 0.6)};
      return false;
    }
    case Action::Play: {
      const Animation& anim = file_.animations[static_cast<std::size_t>(r.animation)];
      if (!anim.changesOpacity) EnsureVisible(scale, now);
      StartAnimation(r.animation, scale, now);
      return false;
    }
  }
  return true;
}

void Character::UpdateChannels(ULONGLONG now) {
  if (fade_.active) {
    double t = static_cast<double>(now - fade_.start) / fade_.ms;
    if (t >= 1) {
      opacity_ = fade_.to;
      fade_.active = false;
    } else {
      opacity_ = fade_.from + (fade_.to - fade_.from) * t;
    }
  }
  if (glide_.active) {
    double t = glide_.ms > 0 ? static_cast<double>(now - glide_.start) / glide_.ms : 1;
    double k = Smooth(t);
    x_ = glide_.fromX + (glide_.toX - glide_.fromX) * k;
    y_ = glide_.fromY + (glide_.toY - glide_.fromY) * k;
    if (t >= 1) glide_.active = false;
  }
  if (playing_.active) {
    const Animation& anim = file_.animations[static_cast<std::size_t>(playing_.animation)];
    for (;;) {
      const Frame& f = anim.frames[playing_.frame];
      double ms = std::max(1.0, f.ms * playing_.scale);
      double t = static_cast<double>(now - playing_.frameStart) / ms;
      if (f.opacity >= 0) opacity_ = playing_.frameFrom + (f.opacity / 100.0 - playing_.frameFrom) * std::min(t, 1.0);
      if (t < 1) break;
      // Next frame; frames missed by a slow timer are skipped, but their
      // opacity is reached.
      playing_.frameStart += static_cast<ULONGLONG>(ms);
      playing_.frameFrom = opacity_;
      if (++playing_.frame >= anim.frames.size()) {
        playing_.active = false;
        break;
      }
    }
  }
}

bool Character::Advance(Request& r, ULONGLONG now) {
  switch (r.action) {
    case Action::Show:
    case Action::Hide:
      return !playing_.active && !fade_.active;
    case Action::Move:
      return !glide_.active;
    case Action::Speak:
    case Action::Think:
      if (!speech_.thought && balloonShown_ < balloon_.text.size()) {
        // The words appear one after another over the first part of the time.
        const std::wstring& text = balloon_.text;
        double t = speech_.revealEnd > speech_.start
                       ? static_cast<double>(now - speech_.start) / static_cast<double>(speech_.revealEnd - speech_.start)
                       : 1;
        std::size_t n = static_cast<std::size_t>(std::min(1.0, t) * static_cast<double>(text.size()));
        while (n < text.size() && text[n] != L' ' && text[n] != L'\n') ++n;
        if (n > balloonShown_) {
          balloonShown_ = n;
          balloonDirty_ = true;
        }
      }
      return now >= speech_.end;
    case Action::Play:
      return !playing_.active;
  }
  return true;
}

void Character::Finish(Request& r) {
  switch (r.action) {
    case Action::Show:
      opacity_ = 1;
      break;
    case Action::Hide:
      opacity_ = 0;
      balloonOn_ = false;
      break;
    case Action::Move:
      x_ = r.x;
      y_ = r.y;
      break;
    case Action::Speak:
    case Action::Think:
      balloonOn_ = false;
      speech_.active = false;
      break;
    case Action::Play:
      break;
  }
}

// Ends the request that is playing where it stands: motion, animation and
// balloon stop, a fade jumps to its end.
void Character::CutRunning() {
  running_ = false;
  glide_.active = false;
  playing_.active = false;
  speech_.active = false;
  balloonOn_ = false;
  if (fade_.active) {
    opacity_ = fade_.to;
    fade_.active = false;
  }
}

void Character::Interrupt() {
  for (Request& r : queue_) r.state->status = kRequestInterrupted;
  queue_.clear();
  CutRunning();
}

void Character::StopRequest(const std::shared_ptr<RequestState>& state) {
  if (state->status != kRequestPending && state->status != kRequestInProgress) return;
  for (std::size_t i = 0; i < queue_.size(); ++i) {
    if (queue_[i].state != state) continue;
    if (i == 0 && running_) {
      // The playing request ends where it is; the next one follows.
      CutRunning();
    }
    state->status = kRequestInterrupted;
    queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(i));
    return;
  }
}

bool Character::Tick(ULONGLONG now) {
  if (unloaded_) return false;
  UpdateChannels(now);
  // Requests that finish at once make room for the next within the same
  // tick; the bound keeps a long run of them from holding the thread.
  for (int guard = 0; guard < 256 && !queue_.empty(); ++guard) {
    Request& r = queue_.front();
    if (!running_) {
      running_ = true;
      r.state->status = kRequestInProgress;
      if (!Start(r, now)) break;
    } else if (!Advance(r, now)) {
      break;
    }
    Finish(r);
    r.state->status = kRequestComplete;
    queue_.pop_front();
    running_ = false;
    UpdateChannels(now);
  }
  Render(now);
  return !queue_.empty() || fade_.active || glide_.active || playing_.active || opacity_ > 0 || stage_.FigureShown();
}

RECT Character::WorkArea() const {
  POINT centre{static_cast<LONG>(x_ + file_.width / 2), static_cast<LONG>(y_ + file_.height / 2)};
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (GetMonitorInfoW(MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST), &mi)) return mi.rcWork;
  return RECT{0, 0, 1024, 768};
}

void Character::Render(ULONGLONG now) {
  // The pose of the moment: the animation's frame, the glide or thinking
  // pose, or the rest pose.
  int pose = -1;
  if (playing_.active) {
    pose = file_.animations[static_cast<std::size_t>(playing_.animation)].frames[playing_.frame].pose;
  } else if (glide_.active) {
    pose = movePose_[glide_.toX >= glide_.fromX ? 1 : 0];
  } else if (speech_.active && speech_.thought) {
    pose = thinkPose_;
  }
  const Pose& base = pose >= 0 ? file_.poses[static_cast<std::size_t>(pose)].second : rest_;
  Look look{pose, base.mouth, base.eyes, seed_ * 131 + static_cast<unsigned>(playing_.frame)};

  // Talking moves the mouth; an idle character blinks now and then.
  if (speech_.active && !speech_.thought && now < speech_.revealEnd + 300 && ((now - speech_.start) / kMouthMs) % 2 == 0)
    look.mouth = base.mouth == Mouth::Open ? Mouth::Smile : Mouth::Open;
  bool idle = queue_.empty() && !playing_.active && opacity_ >= 1;
  if (idle) {
    if (nextBlink_ == 0 || now > nextBlink_ + 10000) nextBlink_ = now + 2500;
    if (now >= nextBlink_) {
      blinkUntil_ = now + 150;
      dice_ = dice_ * 1103515245u + 12345u;
      nextBlink_ = now + 2500 + (dice_ >> 8) % 3500;
    }
    if (now < blinkUntil_) look.eyes = Eyes::Closed;
  }
  if (!(look == look_) || figure_.empty()) {
    Pose p = base;
    p.mouth = look.mouth;
    p.eyes = look.eyes;
    figure_ = DrawWizard(p, file_.colours, file_.width, file_.height, look.seed);
    ++figureVersion_;
    look_ = look;
  }

  const int fx = static_cast<int>(std::lround(x_));
  const int fy = static_cast<int>(std::lround(y_));
  Stage::Layer figure{&figure_, figureVersion_, fx, fy, opacity_};
  Stage::Layer balloon;
  if (balloonOn_ && opacity_ > 0) {
    RECT work = WorkArea();
    const int headX = fx + WizardHeadX(file_.width, file_.height) + file_.width / 10;
    int bx = headX - balloon_.width / 2;
    bx = std::max<int>(work.left, std::min<int>(bx, work.right - balloon_.width));
    const int by = balloon_.tailDown ? fy - balloon_.height : fy + file_.height;
    if (balloonDirty_ || balloonImage_.empty() || headX - bx != balloonTail_) {
      balloonTail_ = headX - bx;
      balloonImage_ = DrawBalloon(balloon_, balloonShown_, balloonTail_);
      ++balloonVersion_;
      balloonDirty_ = false;
    }
    balloon = Stage::Layer{&balloonImage_, balloonVersion_, bx, by, 1.0};
  }
  stage_.Present(figure, balloon, now);
}

}  // namespace agent
