// The queue of a character: order, stopping, showing and hiding, and what
// reaches the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "agent_fixture.h"

namespace agenttest {
namespace {

// The pixels of a rectangle of the screen, or of a window when `hwnd` is
// given (0x00RRGGBB).
std::vector<unsigned> Grab(const RECT& r, HWND hwnd = nullptr) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(hwnd);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  std::vector<unsigned> out(static_cast<unsigned*>(bits), static_cast<unsigned*>(bits) + w * h);
  for (unsigned& p : out) p &= 0xFFFFFF;
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(hwnd, screen);
  return out;
}

class AgentQueue : public AgentTest {
 protected:
  // Reads a status with the journal paused.
  long Status(const Obj& request) {
    SetEnvironmentVariableW(L"AGENT_JOURNAL", nullptr);
    long s = request.Get(L"STATUS").Long();
    SetEnvironmentVariableW(L"AGENT_JOURNAL", journal_.c_str());
    return s;
  }
};

TEST_F(AgentQueue, RequestsPlayOneAfterAnotherInTheOrderReceived) {
  merlin_ = LoadMerlin();
  ASSERT_TRUE(merlin_);
  std::vector<Obj> requests;
  requests.push_back(merlin_.ObjectOf(L"SHOW", DISPATCH_METHOD));
  requests.push_back(merlin_.ObjectOf(L"PLAY", DISPATCH_METHOD, {Var::Str(L"Blink")}));
  requests.push_back(merlin_.ObjectOf(L"MOVETO", DISPATCH_METHOD, {Var::Int(200), Var::Int(150), Var::Int(400)}));
  requests.push_back(merlin_.ObjectOf(L"SPEAK", DISPATCH_METHOD, {Var::Str(L"One two three four")}));
  requests.push_back(merlin_.ObjectOf(L"THINK", DISPATCH_METHOD, {Var::Str(L"Hmm")}));
  requests.push_back(merlin_.ObjectOf(L"PLAY", DISPATCH_METHOD, {Var::Str(L"Acknowledge")}));
  requests.push_back(merlin_.ObjectOf(L"HIDE", DISPATCH_METHOD));
  const std::vector<std::wstring> kinds = {L"Show", L"Play", L"MoveTo", L"Speak", L"Think", L"Play", L"Hide"};
  const std::size_t n = requests.size();
  long firstId = requests[0].Get(L"ID").Long();
  for (std::size_t i = 0; i < n; ++i) {
    ASSERT_TRUE(requests[i]);
    EXPECT_EQ(requests[i].Get(L"ID").Long(), firstId + static_cast<long>(i));
    EXPECT_EQ(requests[i].Get(L"KIND").String(), kinds[i]);
    EXPECT_EQ(requests[i].Get(L"STATUS").Long(), agent::kRequestPending);
  }
  EXPECT_EQ(requests[1].Get(L"TEXT").String(), L"Blink");
  EXPECT_TRUE(merlin_.Get(L"BUSY").Bool());

  // Sampled after every message: the requests before the playing one are
  // complete, those after it are pending, and they complete in order.
  std::vector<long> last(n, agent::kRequestPending);
  std::vector<std::size_t> completed;
  std::vector<std::size_t> seenPlaying;
  std::vector<ULONGLONG> began(n, 0), ended(n, 0);
  bool orderly = true;
  ASSERT_TRUE(PumpUntil(
      [&] {
        std::vector<long> s(n);
        for (std::size_t i = 0; i < n; ++i) s[i] = Status(requests[i]);
        std::size_t k = 0;
        while (k < n && s[k] == agent::kRequestComplete) ++k;
        const ULONGLONG now = GetTickCount64();
        if (k < n && s[k] == agent::kRequestInProgress) {
          if (seenPlaying.empty() || seenPlaying.back() != k) seenPlaying.push_back(k);
          if (!began[k]) began[k] = now;
          ++k;
        }
        for (std::size_t i = k; i < n; ++i) orderly &= s[i] == agent::kRequestPending;
        for (std::size_t i = 0; i < n; ++i) {
          if (s[i] == agent::kRequestComplete && last[i] != agent::kRequestComplete) {
            completed.push_back(i);
            ended[i] = now;
          }
          last[i] = s[i];
        }
        return completed.size() == n;
      },
      20000));
  EXPECT_TRUE(orderly);
  std::vector<std::size_t> inOrder(n);
  for (std::size_t i = 0; i < n; ++i) inOrder[i] = i;
  EXPECT_EQ(completed, inOrder);
  // The playing took time: most requests were seen while they played.
  EXPECT_GE(seenPlaying.size(), 4u);
  EXPECT_TRUE(std::is_sorted(seenPlaying.begin(), seenPlaying.end()));
  // A balloon stays for a time that grows with its text: at this speed
  // (x20) about 130 ms for the Speak, 100 ms for the short Think.
  ASSERT_NE(began[3], 0u);
  ASSERT_NE(began[4], 0u);
  EXPECT_GE(ended[3] - began[3], 90u);
  EXPECT_GE(ended[4] - began[4], 60u);
  EXPECT_GT(ended[3] - began[3], ended[4] - began[4] - 30);
  EXPECT_EQ(merlin_.Get(L"QUEUELENGTH").Long(), 0);
  EXPECT_FALSE(merlin_.Get(L"BUSY").Bool());
  EXPECT_EQ(merlin_.Get(L"LEFT").Long(), 200);
  EXPECT_EQ(merlin_.Get(L"TOP").Long(), 150);
  EXPECT_FALSE(merlin_.Get(L"VISIBLE").Bool());
}

TEST_F(AgentQueue, StopInterruptsEverythingOrOneRequest) {
  merlin_ = LoadMerlin();
  ASSERT_TRUE(merlin_);
  Obj speak = merlin_.ObjectOf(L"SPEAK", DISPATCH_METHOD, {Var::Str(L"A rather long sentence to keep me busy.")});
  Obj greet = merlin_.ObjectOf(L"PLAY", DISPATCH_METHOD, {Var::Str(L"Greet")});
  Obj move = merlin_.ObjectOf(L"MOVETO", DISPATCH_METHOD, {Var::Int(50), Var::Int(60), Var::Int(0)});
  ASSERT_TRUE(PumpUntil([&] { return Status(speak) == agent::kRequestInProgress; }, 5000));
  ASSERT_TRUE(PumpUntil([&] { HWND b = BalloonWindow(L"Merlin"); return b && IsWindowVisible(b); }, 5000));
  ASSERT_TRUE(merlin_.Method(L"STOP").ok());
  EXPECT_EQ(speak.Get(L"STATUS").Long(), agent::kRequestInterrupted);
  EXPECT_EQ(greet.Get(L"STATUS").Long(), agent::kRequestInterrupted);
  EXPECT_EQ(move.Get(L"STATUS").Long(), agent::kRequestInterrupted);
  EXPECT_EQ(merlin_.Get(L"QUEUELENGTH").Long(), 0);
  EXPECT_NE(merlin_.Get(L"LEFT").Long(), 50);  // the move never happened
  EXPECT_TRUE(PumpUntil([&] { HWND b = BalloonWindow(L"Merlin"); return !b || !IsWindowVisible(b); }, 2000));

  // Stopping one pending request removes just that one.
  Obj a = merlin_.ObjectOf(L"PLAY", DISPATCH_METHOD, {Var::Str(L"Blink")});
  Obj b = merlin_.ObjectOf(L"MOVETO", DISPATCH_METHOD, {Var::Int(70), Var::Int(80), Var::Int(0)});
  Obj c = merlin_.ObjectOf(L"MOVETO", DISPATCH_METHOD, {Var::Int(90), Var::Int(100), Var::Int(0)});
  ASSERT_TRUE(merlin_.Method(L"STOP", {Var::Object(b.get())}).ok());
  EXPECT_EQ(b.Get(L"STATUS").Long(), agent::kRequestInterrupted);
  EXPECT_EQ(merlin_.Get(L"QUEUELENGTH").Long(), 2);
  ASSERT_TRUE(Drain(merlin_));
  EXPECT_EQ(a.Get(L"STATUS").Long(), agent::kRequestComplete);
  EXPECT_EQ(c.Get(L"STATUS").Long(), agent::kRequestComplete);
  EXPECT_EQ(merlin_.Get(L"LEFT").Long(), 90);

  // Stop takes a request of this character only.
  Outcome wrong = merlin_.Method(L"STOP", {Var::Object(control_.get())});
  EXPECT_EQ(wrong.scode, agent::kErrBadArgument);
}

TEST_F(AgentQueue, ShowAndHideChangeVisibilityAndActingShowsAHiddenCharacter) {
  merlin_ = LoadMerlin();
  ASSERT_TRUE(merlin_);
  EXPECT_FALSE(merlin_.Get(L"VISIBLE").Bool());
  HWND figure = FigureWindow(L"Merlin");
  ASSERT_NE(figure, nullptr);
  EXPECT_FALSE(IsWindowVisible(figure));
  // The window never takes the focus.
  EXPECT_TRUE(GetWindowLongW(figure, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
  EXPECT_TRUE(GetWindowLongW(figure, GWL_EXSTYLE) & WS_EX_TOPMOST);

  merlin_.Method(L"SHOW");
  ASSERT_TRUE(Drain(merlin_));
  EXPECT_TRUE(merlin_.Get(L"VISIBLE").Bool());
  EXPECT_TRUE(IsWindowVisible(figure));

  merlin_.Method(L"HIDE");
  ASSERT_TRUE(Drain(merlin_));
  EXPECT_FALSE(merlin_.Get(L"VISIBLE").Bool());
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(figure); }, 2000));

  merlin_.Method(L"PLAY", {Var::Str(L"Explain")});
  ASSERT_TRUE(Drain(merlin_));
  EXPECT_TRUE(merlin_.Get(L"VISIBLE").Bool());

  // The "Hide" animation fades the character out.
  merlin_.Method(L"PLAY", {Var::Str(L"Hide")});
  ASSERT_TRUE(Drain(merlin_));
  EXPECT_FALSE(merlin_.Get(L"VISIBLE").Bool());
}

// What reaches the screen: the figure is drawn where the character stands,
// its background is transparent (the corners show what was there before),
// and Speak shows a light balloon above it.
TEST_F(AgentQueue, TheFigureAndItsBalloonAppearOnTheScreen) {
  merlin_ = LoadMerlin();
  ASSERT_TRUE(merlin_);
  const long w = merlin_.Get(L"WIDTH").Long(), h = merlin_.Get(L"HEIGHT").Long();
  const RECT place{120, 260, 120 + w, 260 + h};
  merlin_.Method(L"MOVETO", {Var::Int(place.left), Var::Int(place.top), Var::Int(0)});
  ASSERT_TRUE(Drain(merlin_));
  Pump(100);
  std::vector<unsigned> before = Grab(place);

  merlin_.Method(L"SHOW");
  ASSERT_TRUE(Drain(merlin_));
  Pump(300);
  std::vector<unsigned> after = Grab(place);
  ASSERT_EQ(before.size(), after.size());
  auto at = [&](const std::vector<unsigned>& v, int x, int y) { return v[static_cast<std::size_t>(y * w + x)]; };
  EXPECT_EQ(at(after, 1, 1), at(before, 1, 1));

  EXPECT_EQ(at(after, w - 2, 1), at(before, w - 2, 1));
  std::size_t changed = 0, robe = 0;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] != before[i]) ++changed;
    unsigned r = (after[i] >> 16) & 0xFF, g = (after[i] >> 8) & 0xFF, b = after[i] & 0xFF;
    if (b > 150 && b > r + 80 && b > g + 60) ++robe;
  }
  EXPECT_GT(changed, after.size() / 8);
  EXPECT_LT(changed, after.size() * 3 / 4);
  EXPECT_GT(robe, after.size() / 20);

  merlin_.Method(L"SPEAK", {Var::Str(L"Hello there, this is a balloon.")});
  HWND balloon = nullptr;
  ASSERT_TRUE(PumpUntil([&] { balloon = BalloonWindow(L"Merlin"); return balloon && IsWindowVisible(balloon); }, 5000));
  Pump(100);
  RECT br{};
  GetWindowRect(balloon, &br);
  EXPECT_LE(br.bottom, place.top + 1);  // above the figure
  std::vector<unsigned> text = Grab(br);
  std::size_t light = 0, dark = 0;
  for (unsigned p : text) {
    if ((p & 0xFF) > 215 && ((p >> 8) & 0xFF) > 215 && ((p >> 16) & 0xFF) > 215) ++light;
    if ((p & 0xFF) < 90 && ((p >> 8) & 0xFF) < 90 && ((p >> 16) & 0xFF) < 90) ++dark;
  }
  EXPECT_GT(light, text.size() / 3);  // the balloon's fill
  EXPECT_GT(dark, 20u);               // its outline and letters
  ASSERT_TRUE(Drain(merlin_));
}

}  // namespace
}  // namespace agenttest
