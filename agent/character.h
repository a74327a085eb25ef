// A loaded character: the object a client drives (Show, MoveTo, Speak ...),
// its queue of requests and the playing of that queue.
//
// Every queued call returns at once with a Request object; the requests are
// played one after the other, in the order received, from the host's timer.
// While a request plays, up to three "channels" move: the opacity (fades),
// the position (glides) and the pose (animations); the balloon shows while a
// Speak or Think plays.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <span>
#include <string>

#include "acs.h"
#include "agent_errors.h"
#include "balloon.h"
#include "dispatch.h"
#include "raster.h"
#include "stage.h"

namespace agent {

class Host;

// What a Request object reports.
struct RequestState {
  long id = 0;
  std::wstring kind;  // "Show", "Hide", "MoveTo", "Speak", "Think", "Play"
  std::wstring text;  // the text spoken or thought, the animation, or the target
  long status = kRequestPending;
  const void* owner = nullptr;  // the character that queued it
};

// A new Request object (one reference) for a request.
IDispatch* NewRequestObject(std::shared_ptr<RequestState> state);
// The request behind a Request object of this server; nullptr for anything else.
std::shared_ptr<RequestState> RequestStateOf(IUnknown* object);

class Character final : public DispatchObject {
 public:
  // A loaded character with its windows created (hidden). Throws AgentError
  // when the windows cannot be made.
  Character(Host* host, std::wstring id, std::wstring path, CharacterFile file);
  ~Character() override;

  const std::wstring& Id() const { return id_; }
  // Plays the queue; true while the character needs more ticks.
  bool Tick(ULONGLONG now);
  // Stops everything, removes the windows; later calls raise an exception.
  void Unload();

 protected:
  std::span<const Member> Members() const override;
  std::wstring Label() const override { return id_; }
  void Call(const Member& member, unsigned kind, Args& args, VARIANT* result) override;

 private:
  enum class Action { Show, Hide, Move, Speak, Think, Play };
  struct Request {
    Action action = Action::Show;
    std::wstring text;
    long x = 0, y = 0, ms = 0;
    int animation = -1;
    bool fast = false;
    std::shared_ptr<RequestState> state;
  };
  struct Fade {
    bool active = false;
    double from = 0, to = 0, ms = 0;
    ULONGLONG start = 0;
  };
  struct Glide {
    bool active = false;
    double fromX = 0, fromY = 0, toX = 0, toY = 0, ms = 0;
    ULONGLONG start = 0;
  };
  struct Playing {
    bool active = false;
    int animation = -1;
    std::size_t frame = 0;
    ULONGLONG frameStart = 0;
    double frameFrom = 0;  // opacity when the frame began
    double scale = 1;
  };
  struct Speech {
    bool active = false;
    bool thought = false;
    ULONGLONG start = 0, end = 0, revealEnd = 0;
  };

  void Enqueue(Request r, VARIANT* result);
  void CheckLoaded() const;
  [[noreturn]] void Raise(HRESULT code, const std::wstring& text) const;

  bool Start(Request& r, ULONGLONG now);  // true when the request is already done
  bool Advance(Request& r, ULONGLONG now);
  void Finish(Request& r);
  void CutRunning();
  void Interrupt();
  void StopRequest(const std::shared_ptr<RequestState>& state);

  void StartFade(double to, double ms, ULONGLONG now);
  void StartAnimation(int index, double scale, ULONGLONG now);
  void EnsureVisible(double scale, ULONGLONG now);
  void UpdateChannels(ULONGLONG now);
  void OpenBalloon(const std::wstring& text, bool thought);
  void Render(ULONGLONG now);
  RECT WorkArea() const;

  Host* host_;
  std::wstring id_;
  std::wstring path_;
  CharacterFile file_;
  std::wstring name_;
  std::wstring description_;
  bool unloaded_ = false;
  Stage stage_;

  double x_ = 0, y_ = 0;
  double opacity_ = 0;
  std::deque<Request> queue_;
  bool running_ = false;
  long nextId_ = 1;

  Fade fade_;
  Glide glide_;
  Playing playing_;
  Speech speech_;
  unsigned seed_ = 1;

  Pose rest_;
  int movePose_[2] = {-1, -1};  // "move_left", "move_right"
  int thinkPose_ = -1;

  // What is on the screen.
  Image figure_;
  unsigned figureVersion_ = 0;
  struct Look {
    int pose = -2;
    Mouth mouth = Mouth::Smile;
    Eyes eyes = Eyes::Open;
    unsigned seed = 0;
    bool operator==(const Look&) const = default;
  } look_;
  BalloonLayout balloon_;
  bool balloonOn_ = false;
  std::size_t balloonShown_ = 0;
  Image balloonImage_;
  unsigned balloonVersion_ = 0;
  bool balloonDirty_ = false;
  int balloonTail_ = 0;
  ULONGLONG nextBlink_ = 0, blinkUntil_ = 0;
  unsigned dice_ = 12345;
};

}  // namespace agent
