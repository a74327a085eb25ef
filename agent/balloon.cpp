#include "balloon.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace agent {
namespace {

constexpr int kWrapWidth = 230;  // text width, pixels
constexpr int kMaxLines = 9;
constexpr int kFontHeight = 14;
constexpr int kTail = 18;  // height of the tail (or the thought bubbles)
constexpr COLORREF kInk = RGB(35, 35, 74);
constexpr COLORREF kSpeechFill = RGB(255, 255, 228);
constexpr COLORREF kThoughtFill = RGB(255, 255, 255);
constexpr COLORREF kText = RGB(25, 25, 45);
constexpr COLORREF kThoughtText = RGB(55, 55, 110);
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_LEFT;

HFONT MakeFont(bool thought) {
  // Drawn at kSuperSample times its size without anti-aliasing: the
  // reduction smooths it.
  return CreateFontW(-kFontHeight * kSuperSample, 0, 0, 0, thought ? FW_NORMAL : FW_SEMIBOLD, thought ? TRUE : FALSE,
                     FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

// The size of a text at the drawing scale.
SIZE Measure(HDC dc, const std::wstring& text) {
  RECT r{0, 0, kWrapWidth * kSuperSample, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFormat | DT_CALCRECT);
  return {r.right - r.left, r.bottom - r.top};
}

int Up(int v) { return (v + kSuperSample - 1) / kSuperSample; }

HGDIOBJ Use(HDC dc, HGDIOBJ obj) { return SelectObject(dc, obj); }

}  // namespace

BalloonLayout LayoutBalloon(const std::wstring& input, bool thought, bool tailDown) {
  BalloonLayout l;
  l.thought = thought;
  l.tailDown = tailDown;
  // Control characters would draw as boxes; line breaks are kept.
  for (wchar_t c : input) l.text += (c < 0x20 && c != L'\n') ? L' ' : c;

  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = MakeFont(thought);
  HGDIOBJ old = Use(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int maxHeight = tm.tmHeight * kMaxLines;
  SIZE size = Measure(dc, l.text);
  if (size.cy > maxHeight) {
    // Too long: the longest prefix (cut at a space) that fits with "...".
    std::size_t lo = 0, hi = l.text.size();
    while (lo < hi) {
      std::size_t mid = (lo + hi + 1) / 2;
      if (Measure(dc, l.text.substr(0, mid) + L"\u2026").cy <= maxHeight)
        lo = mid;
      else
        hi = mid - 1;
    }
    std::size_t cut = l.text.find_last_of(L' ', lo);
    if (cut == std::wstring::npos || cut < lo / 2) cut = lo;
    l.text = l.text.substr(0, cut) + L"\u2026";
    size = Measure(dc, l.text);
  }
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);

  const int textW = std::max(Up(size.cx), 24);
  const int textH = std::max(Up(size.cy), kFontHeight);
  const int pad = thought ? 16 : 10;
  const int bodyW = textW + 2 * pad;
  const int bodyH = textH + 2 * pad;
  // Room around the body for the outline, or for a cloud's bumps.
  const int margin = thought ? 7 : 2;
  l.width = bodyW + 2 * margin;
  l.height = bodyH + kTail + 2 * margin;
  int top = tailDown ? margin : kTail + margin;
  l.body = {margin, top, margin + bodyW, top + bodyH};
  l.textRect = {l.body.left + pad, l.body.top + pad, l.body.right - pad, l.body.bottom - pad};
  return l;
}

Image DrawBalloon(const BalloonLayout& l, std::size_t shown, int tailX) {
  SuperCanvas canvas(l.width, l.height);
  if (!canvas.ok()) return {};
  HDC dc = canvas.dc();
  const int S = kSuperSample;
  auto px = [&](double v) { return static_cast<int>(std::lround(v * S)); };
  const COLORREF fill = l.thought ? kThoughtFill : kSpeechFill;
  HPEN ink = CreatePen(PS_SOLID, px(1.5), kInk);
  HBRUSH inkBrush = CreateSolidBrush(kInk);
  HBRUSH fillBrush = CreateSolidBrush(fill);
  HGDIOBJ oldPen = Use(dc, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = Use(dc, fillBrush);

  const RECT& b = l.body;
  const int minX = b.left + 16, maxX = b.right - 16;
  const int tx = std::clamp(tailX, std::min(minX, maxX), std::max(minX, maxX));

  if (!l.thought) {
    // A rounded rectangle with a tail, drawn as one outlined polygon.
    const double r = 12;
    std::vector<POINT> pts;
    auto arc = [&](double cx, double cy, double from) {
      for (int i = 0; i <= 6; ++i) {
        double t = (from + 90.0 * i / 6) * 3.14159265358979 / 180;
        pts.push_back({px(cx + r * std::cos(t)), px(cy + r * std::sin(t))});
      }
    };
    const double L = b.left, T = b.top, R = b.right, B = b.bottom;
    arc(L + r, T + r, 180);
    if (!l.tailDown) {
      pts.push_back({px(tx - 9), px(T)});
      pts.push_back({px(tx + 4), px(T - kTail + 1)});
      pts.push_back({px(tx + 5), px(T)});
    }
    arc(R - r, T + r, 270);
    arc(R - r, B - r, 0);
    if (l.tailDown) {
      pts.push_back({px(tx + 5), px(B)});
      pts.push_back({px(tx + 4), px(B + kTail - 1)});
      pts.push_back({px(tx - 9), px(B)});
    }
    arc(L + r, B - r, 90);
    Use(dc, ink);
    Polygon(dc, pts.data(), static_cast<int>(pts.size()));
  } else {
    // A cloud: bumps along the edge of a rounded body, outlined by drawing
    // every part in ink a little larger first, then in white.
    struct Circle {
      double x, y, r;
    };
    std::vector<Circle> parts;
    const double bump = 11;
    auto along = [&](double x0, double y0, double x1, double y1) {
      double len = std::hypot(x1 - x0, y1 - y0);
      int n = std::max(1, static_cast<int>(len / 17));
      for (int i = 0; i < n; ++i) {
        double t = (i + 0.5) / n;
        parts.push_back({x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, bump + ((i % 2) ? 1.5 : 0)});
      }
    };
    const double in = 8;
    along(b.left + in, b.top + in, b.right - in, b.top + in);
    along(b.right - in, b.top + in, b.right - in, b.bottom - in);
    along(b.right - in, b.bottom - in, b.left + in, b.bottom - in);
    along(b.left + in, b.bottom - in, b.left + in, b.top + in);
    // The trail of little bubbles toward the character.
    std::vector<Circle> trail;
    double edgeY = l.tailDown ? b.bottom : b.top, dir = l.tailDown ? 1 : -1;
    trail.push_back({tx + 6.0, edgeY + dir * 5, 5.0});
    trail.push_back({tx + 2.0, edgeY + dir * 11.5, 3.6});
    trail.push_back({tx - 1.0, edgeY + dir * 16, 2.4});
    auto disc = [&](const Circle& c, double grow) {
      Ellipse(dc, px(c.x - c.r - grow), px(c.y - c.r - grow), px(c.x + c.r + grow), px(c.y + c.r + grow));
    };
    Use(dc, inkBrush);
    for (const Circle& c : parts) disc(c, 1.5);
    for (const Circle& c : trail) disc(c, 1.3);
    Use(dc, fillBrush);
    for (const Circle& c : parts) disc(c, 0);
    for (const Circle& c : trail) disc(c, 0);
    RECT inner{px(b.left + in), px(b.top + in), px(b.right - in), px(b.bottom - in)};
    FillRect(dc, &inner, fillBrush);
  }

  HFONT font = MakeFont(l.thought);
  HGDIOBJ oldFont = Use(dc, font);
  SetTextColor(dc, l.thought ? kThoughtText : kText);
  SetBkMode(dc, TRANSPARENT);
  RECT tr{px(l.textRect.left), px(l.textRect.top), px(l.textRect.right) + S, px(l.textRect.bottom) + S};
  std::size_t n = std::min(shown, l.text.size());
  DrawTextW(dc, l.text.c_str(), static_cast<int>(n), &tr, kTextFormat);

  SelectObject(dc, oldFont);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(font);
  DeleteObject(fillBrush);
  DeleteObject(inkBrush);
  DeleteObject(ink);
  return canvas.Reduce();
}

}  // namespace agent
