// The server's clock: a hidden message-only window on the thread that created
// the control, with a timer that drives every character of that control.
// Requests are played from WM_TIMER on the caller's own thread, so calls
// return at once and the character moves while the caller's message loop
// runs.
#pragma once

#include <windows.h>

#include <vector>

namespace agent {

class Character;

class Host {
 public:
  // A host with one reference, or nullptr when its window cannot be created.
  static Host* Create();

  void AddRef() { ++refs_; }
  void Release() {
    if (--refs_ == 0) delete this;
  }

  void Attach(Character* c);
  void Detach(Character* c);
  // Starts the timer (a character has work to do).
  void Wake();

  static constexpr UINT kTickMs = 30;

  // The window procedure of the host's class.
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 private:
  Host() = default;
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  void OnTimer();

  long refs_ = 1;
  HWND hwnd_ = nullptr;
  bool timerOn_ = false;
  bool ticking_ = false;
  std::vector<Character*> characters_;
};

// The window classes of the server (the host, the character, the balloon).
const wchar_t* HostClassName();
const wchar_t* CharacterClassName();
const wchar_t* BalloonClassName();
bool EnsureWindowClasses();
void UnregisterWindowClasses();
// True for a window of one of the server's classes.
bool IsServerWindow(HWND hwnd);

}  // namespace agent
