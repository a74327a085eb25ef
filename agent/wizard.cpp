#include "wizard.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace agent {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The figure is designed on a 150 x 200 grid, placed on a larger canvas so
// that raised arms, props and effects stay inside the image.
constexpr double kGridWidth = 190;
constexpr double kGridHeight = 210;
constexpr double kFigureLeft = 20;
constexpr double kFigureTop = 8;

struct Pt {
  double x, y;
};
Pt operator+(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
Pt operator-(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }
Pt operator*(Pt a, double k) { return {a.x * k, a.y * k}; }
Pt Lerp(Pt a, Pt b, double t) { return a + (b - a) * t; }
double Length(Pt a) { return std::sqrt(a.x * a.x + a.y * a.y); }

// An affine map of the plane (y pointing down; positive angles turn clockwise
// on the screen).
struct Xf {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  Pt operator()(Pt p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  // This map followed by `n`.
  Xf Then(const Xf& n) const {
    Xf r;
    r.a = n.a * a + n.c * b;
    r.b = n.b * a + n.d * b;
    r.c = n.a * c + n.c * d;
    r.d = n.b * c + n.d * d;
    r.e = n.a * e + n.c * f + n.e;
    r.f = n.b * e + n.d * f + n.f;
    return r;
  }
  double Scale() const { return std::sqrt(std::fabs(a * d - b * c)); }
  static Xf Rotate(double degrees, Pt about) {
    double r = degrees * kPi / 180, cs = std::cos(r), sn = std::sin(r);
    Xf x;
    x.a = cs;
    x.b = sn;
    x.c = -sn;
    x.d = cs;
    x.e = about.x - cs * about.x + sn * about.y;
    x.f = about.y - sn * about.x - cs * about.y;
    return x;
  }
  static Xf Move(double dx, double dy) {
    Xf x;
    x.e = dx;
    x.f = dy;
    return x;
  }
  static Xf Zoom(double k) {
    Xf x;
    x.a = k;
    x.d = k;
    return x;
  }
};

COLORREF Rgb(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

COLORREF Mix(COLORREF a, COLORREF b, double t) {
  auto ch = [&](int ca, int cb) { return static_cast<BYTE>(std::lround(ca + (cb - ca) * t)); };
  return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

// GDI never draws the key colour: a colour that happens to equal it is
// nudged.
COLORREF Safe(COLORREF c) { return c == kKeyColour ? RGB(254, 0, 255) : c; }

constexpr COLORREF kInk = RGB(35, 35, 74);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGold = RGB(240, 196, 40);
constexpr COLORREF kMouth = RGB(122, 30, 30);

std::vector<Pt> EllipsePts(Pt c, double rx, double ry, double rotation = 0, int n = 40) {
  std::vector<Pt> v;
  v.reserve(static_cast<std::size_t>(n));
  double r = rotation * kPi / 180, cs = std::cos(r), sn = std::sin(r);
  for (int i = 0; i < n; ++i) {
    double t = 2 * kPi * i / n;
    double x = rx * std::cos(t), y = ry * std::sin(t);
    v.push_back({c.x + x * cs - y * sn, c.y + x * sn + y * cs});
  }
  return v;
}

// Appends a cubic Bezier from the last point of `v`.
void BezierTo(std::vector<Pt>& v, Pt p1, Pt p2, Pt p3, int n = 14) {
  Pt p0 = v.back();
  for (int i = 1; i <= n; ++i) {
    double t = static_cast<double>(i) / n, u = 1 - t;
    v.push_back(p0 * (u * u * u) + p1 * (3 * u * u * t) + p2 * (3 * u * t * t) + p3 * (t * t * t));
  }
}

std::vector<Pt> StarPts(Pt c, double outer, double inner, int points, double rotation) {
  std::vector<Pt> v;
  for (int i = 0; i < points * 2; ++i) {
    double r = (i % 2) ? inner : outer;
    double t = (rotation - 90) * kPi / 180 + kPi * i / points;
    v.push_back({c.x + r * std::cos(t), c.y + r * std::sin(t)});
  }
  return v;
}

// A small deterministic random sequence for the effects.
struct Dice {
  unsigned state;
  double Next() {
    state = state * 1103515245u + 12345u;
    return ((state >> 8) & 0xFFFF) / 65535.0;
  }
};

class Painter {
 public:
  Painter(HDC dc, double unit) : dc_(dc), unit_(unit) {}

  double unit() const { return unit_; }

  // A filled polygon with an outline (lineWidth in grid units, 0 for none).
  void Fill(const Xf& xf, const std::vector<Pt>& pts, COLORREF fill, COLORREF line, double lineWidth) {
    if (pts.size() < 3) return;
    std::vector<POINT> dev = Device(xf, pts);
    HBRUSH brush = CreateSolidBrush(Safe(fill));
    HPEN pen = lineWidth > 0 ? MakePen(line, lineWidth) : nullptr;
    HGDIOBJ oldBrush = SelectObject(dc_, brush);
    HGDIOBJ oldPen = SelectObject(dc_, pen ? static_cast<HGDIOBJ>(pen) : GetStockObject(NULL_PEN));
    Polygon(dc_, dev.data(), static_cast<int>(dev.size()));
    SelectObject(dc_, oldPen);
    SelectObject(dc_, oldBrush);
    if (pen) DeleteObject(pen);
    DeleteObject(brush);
  }

  // A polyline with round ends.
  void Stroke(const Xf& xf, const std::vector<Pt>& pts, COLORREF colour, double width) {
    if (pts.size() < 2) return;
    std::vector<POINT> dev = Device(xf, pts);
    HPEN pen = MakePen(colour, width);
    HGDIOBJ old = SelectObject(dc_, pen);
    Polyline(dc_, dev.data(), static_cast<int>(dev.size()));
    SelectObject(dc_, old);
    DeleteObject(pen);
  }

  // A stroke with an ink outline around it.
  void Tube(const Xf& xf, const std::vector<Pt>& pts, COLORREF colour, double width, double outline = 1.1) {
    Stroke(xf, pts, kInk, width + 2 * outline);
    Stroke(xf, pts, colour, width);
  }

  void Circle(const Xf& xf, Pt c, double r, COLORREF fill, COLORREF line, double lineWidth) {
    Fill(xf, EllipsePts(c, r, r), fill, line, lineWidth);
  }

  // Text centred on `at`, with a white halo.
  void Glyph(const Xf& xf, Pt at, const wchar_t* text, double height, COLORREF colour) {
    Pt p = xf(at);
    int h = static_cast<int>(std::lround(height * unit_));
    HFONT font = CreateFontW(-h, 0, 0, 0, FW_BLACK, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    HGDIOBJ old = SelectObject(dc_, font);
    SetTextAlign(dc_, TA_CENTER | TA_BASELINE);
    int len = static_cast<int>(wcslen(text));
    int x = static_cast<int>(std::lround(p.x)), y = static_cast<int>(std::lround(p.y + height * unit_ * 0.35));
    int halo = std::max(1, static_cast<int>(std::lround(unit_ * 1.4)));
    SetTextColor(dc_, kInk);
    for (int dy = -halo; dy <= halo; dy += halo)
      for (int dx = -halo; dx <= halo; dx += halo) TextOutW(dc_, x + dx, y + dy, text, len);
    SetTextColor(dc_, Safe(colour));
    TextOutW(dc_, x, y, text, len);
    SelectObject(dc_, old);
    DeleteObject(font);
  }

 private:
  std::vector<POINT> Device(const Xf& xf, const std::vector<Pt>& pts) const {
    std::vector<POINT> dev;
    dev.reserve(pts.size());
    for (Pt p : pts) {
      Pt q = xf(p);
      dev.push_back({static_cast<LONG>(std::lround(q.x)), static_cast<LONG>(std::lround(q.y))});
    }
    return dev;
  }

  HPEN MakePen(COLORREF colour, double width) const {
    LOGBRUSH lb{BS_SOLID, Safe(colour), 0};
    DWORD w = static_cast<DWORD>(std::max(1L, std::lround(width * unit_)));
    return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, w, &lb, 0, nullptr);
  }

  HDC dc_;
  double unit_;
};

struct Palette {
  COLORREF robe, robeShade, robeLight, hat, hatShade, trim, skin, skinShade, beard, beardShade, cheek;
};

Palette MakePalette(const CharacterColours& c) {
  Palette p;
  p.robe = Rgb(c.robe);
  p.robeShade = Mix(p.robe, RGB(0, 0, 0), 0.28);
  p.robeLight = Mix(p.robe, kWhite, 0.22);
  p.hat = Rgb(c.hat);
  p.hatShade = Mix(p.hat, RGB(0, 0, 0), 0.3);
  p.trim = Rgb(c.trim);
  p.skin = Rgb(c.skin);
  p.skinShade = Mix(p.skin, RGB(190, 100, 80), 0.35);
  p.beard = Rgb(c.beard);
  p.beardShade = Mix(p.beard, RGB(120, 120, 140), 0.45);
  p.cheek = Mix(p.skin, RGB(235, 110, 110), 0.45);
  return p;
}

struct Arm {
  Pt shoulder, elbow, hand;
  Pt foreDir;  // unit vector from the elbow to the hand
};

Arm ArmPoints(bool right, const float angles[2]) {
  Arm a;
  a.shoulder = right ? Pt{89, 107} : Pt{61, 107};
  double side = right ? 1 : -1;
  auto dir = [&](double degrees) {
    double r = degrees * kPi / 180;
    return Pt{side * std::sin(r), std::cos(r)};
  };
  a.elbow = a.shoulder + dir(angles[0]) * 21;
  a.foreDir = dir(static_cast<double>(angles[0]) + angles[1]);
  a.hand = a.elbow + a.foreDir * 19;
  return a;
}

void DrawRobe(Painter& p, const Xf& body, const Palette& pal) {
  std::vector<Pt> robe{{67, 99}};
  robe.push_back({57, 106});
  BezierTo(robe, {49, 126}, {37, 164}, {27, 190});
  // A wavy hem.
  for (int i = 1; i <= 12; ++i) {
    double x = 27 + 96.0 * i / 12;
    robe.push_back({x, 190 + 2.5 * std::sin(i * kPi / 2)});
  }
  BezierTo(robe, {113, 164}, {101, 126}, {93, 106});
  robe.push_back({83, 99});
  p.Fill(body, robe, pal.robe, kInk, 1.3);

  // Folds and a lighter side.
  p.Stroke(body, {{60, 150}, {56, 170}, {52, 186}}, pal.robeShade, 2.2);
  p.Stroke(body, {{92, 148}, {96, 168}, {99, 186}}, pal.robeShade, 2.2);
  p.Stroke(body, {{75, 150}, {75, 188}}, pal.robeShade, 1.6);
  p.Stroke(body, {{63, 112}, {54, 140}, {44, 170}}, pal.robeLight, 2.0);

  // The gold hem.
  std::vector<Pt> hem;
  for (int i = 0; i <= 12; ++i) {
    double x = 29 + 92.0 * i / 12;
    hem.push_back({x, 186 + 2.5 * std::sin(i * kPi / 2)});
  }
  p.Stroke(body, hem, pal.trim, 3.2);

  // Stars and a moon on the robe.
  p.Fill(body, StarPts({50, 160}, 5.2, 2.2, 5, 10), pal.trim, kInk, 0.6);
  p.Fill(body, StarPts({99, 152}, 4.2, 1.8, 5, -8), pal.trim, kInk, 0.6);
  p.Fill(body, StarPts({73, 176}, 3.6, 1.5, 5, 20), pal.trim, kInk, 0.6);
  p.Fill(body, StarPts({104, 178}, 4.8, 2.0, 5, 0), pal.trim, kInk, 0.6);
  p.Circle(body, {57, 140}, 5.5, pal.trim, kInk, 0.6);
  p.Circle(body, {59.5, 138.5}, 4.8, pal.robe, pal.robe, 0);

  // The rope belt with its knot.
  p.Tube(body, {{49, 131}, {75, 134}, {101, 131}}, pal.trim, 2.6, 0.8);
  p.Tube(body, {{80, 134}, {78, 141}, {79, 148}}, pal.trim, 2.0, 0.7);
  p.Tube(body, {{82, 134}, {86, 140}, {86, 147}}, pal.trim, 2.0, 0.7);
  p.Circle(body, {81, 134}, 3.0, pal.trim, kInk, 0.7);
}

void DrawEye(Painter& p, const Xf& head, Pt c, Eyes eyes, const Palette& pal) {
  if (eyes == Eyes::Closed) {
    p.Stroke(head, {{c.x - 3, c.y - 0.3}, {c.x, c.y + 1.4}, {c.x + 3, c.y - 0.3}}, kInk, 1.1);
    return;
  }
  double rx = 2.9, ry = 3.4, pupil = 1.7;
  if (eyes == Eyes::Wide) {
    rx = 3.7;
    ry = 4.4;
    pupil = 1.5;
  }
  Pt look{0, 0};
  switch (eyes) {
    case Eyes::Up:
      look = {0, -1.3};
      break;
    case Eyes::Down:
      look = {0, 1.4};
      break;
    case Eyes::Left:
      look = {-1.3, 0};
      break;
    case Eyes::Right:
      look = {1.3, 0};
      break;
    case Eyes::Half:
      look = {0, 0.9};
      break;
    default:
      break;
  }
  p.Fill(head, EllipsePts(c, rx, ry), kWhite, kInk, 0.7);
  p.Circle(head, c + look, pupil, RGB(25, 25, 40), RGB(25, 25, 40), 0);
  p.Circle(head, c + look + Pt{0.6, -0.7}, 0.55, kWhite, kWhite, 0);
  if (eyes == Eyes::Half) {
    std::vector<Pt> lid;
    for (int i = 0; i <= 12; ++i) {
      double t = kPi + kPi * i / 12;
      lid.push_back({c.x + (rx + 0.4) * std::cos(t), c.y + (ry + 0.4) * std::sin(t)});
    }
    lid.push_back({c.x + rx + 0.4, c.y + 0.2});
    lid.push_back({c.x - rx - 0.4, c.y + 0.2});
    p.Fill(head, lid, pal.skin, kInk, 0.7);
  }
}

void DrawBrow(Painter& p, const Xf& head, bool left, Brows brows, const Palette& pal) {
  double side = left ? -1 : 1;
  Pt inner{75 + side * 2.5, 77.8}, mid{75 + side * 6.5, 76.2}, outer{75 + side * 10.5, 77.6};
  double lift = 0, innerLift = 0;
  switch (brows) {
    case Brows::Raised:
      lift = -2.6;
      break;
    case Brows::Frown:
      innerLift = 2.0;
      lift = -0.4;
      break;
    case Brows::Worried:
      innerLift = -2.4;
      lift = 0.4;
      break;
    default:
      break;
  }
  inner.y += lift + innerLift;
  mid.y += lift + innerLift * 0.4;
  outer.y += lift;
  p.Tube(head, {inner, mid, outer}, pal.beard, 2.4, 0.7);
}

void DrawMouth(Painter& p, const Xf& head, Pt c, Mouth mouth) {
  switch (mouth) {
    case Mouth::Smile:
      p.Stroke(head, {{c.x - 5, c.y - 1}, {c.x - 2.5, c.y + 1.2}, {c.x, c.y + 1.8}, {c.x + 2.5, c.y + 1.2}, {c.x + 5, c.y - 1}},
               kMouth, 1.5);
      break;
    case Mouth::Open:
      p.Fill(head, EllipsePts(c + Pt{0, 0.8}, 4.2, 3.4), kMouth, kInk, 0.7);
      p.Fill(head, EllipsePts(c + Pt{0, 2.6}, 2.6, 1.2), RGB(230, 110, 120), RGB(230, 110, 120), 0);
      break;
    case Mouth::O:
      p.Fill(head, EllipsePts(c + Pt{0, 0.6}, 2.5, 2.9), kMouth, kInk, 0.7);
      break;
    case Mouth::Flat:
      p.Stroke(head, {{c.x - 4, c.y + 0.4}, {c.x + 4, c.y + 0.4}}, kMouth, 1.4);
      break;
    case Mouth::Frown:
      p.Stroke(head, {{c.x - 5, c.y + 2}, {c.x - 2.5, c.y}, {c.x, c.y - 0.5}, {c.x + 2.5, c.y}, {c.x + 5, c.y + 2}},
               kMouth, 1.5);
      break;
    case Mouth::Grin: {
      std::vector<Pt> m{{c.x - 6.5, c.y - 1.5}, {c.x + 6.5, c.y - 1.5}};
      BezierTo(m, {c.x + 5.5, c.y + 5}, {c.x - 5.5, c.y + 5}, {c.x - 6.5, c.y - 1.5}, 10);
      p.Fill(head, m, kMouth, kInk, 0.7);
      p.Fill(head, {{c.x - 5.6, c.y - 1.1}, {c.x + 5.6, c.y - 1.1}, {c.x + 4.8, c.y + 0.8}, {c.x - 4.8, c.y + 0.8}},
             kWhite, kWhite, 0);
      break;
    }
  }
}

void DrawHead(Painter& p, const Xf& head, const Pose& pose, const Palette& pal) {
  double t = pose.turn * 5;
  // Hair at the back, then the ears.
  p.Fill(head, EllipsePts({58.5, 93}, 6, 9.5, 12), pal.beard, kInk, 0.8);
  p.Fill(head, EllipsePts({91.5, 93}, 6, 9.5, -12), pal.beard, kInk, 0.8);
  bool bigLeft = pose.ears == Ears::Big || pose.ears == Ears::Left;
  bool bigRight = pose.ears == Ears::Big || pose.ears == Ears::Right;
  auto ear = [&](Pt c, bool big, double tiltDegrees) {
    double rx = big ? 6.8 : 3.4, ry = big ? 11 : 5.2;
    p.Fill(head, EllipsePts(c, rx, ry, tiltDegrees), pal.skin, kInk, 0.8);
    p.Fill(head, EllipsePts(c, rx * 0.5, ry * 0.6, tiltDegrees), pal.skinShade, pal.skinShade, 0);
  };
  ear({59.8 - (bigLeft ? 3.5 : 0) - t * 0.25, 86.0 - (bigLeft ? 3 : 0)}, bigLeft, bigLeft ? -25 : 0);
  ear({90.2 + (bigRight ? 3.5 : 0) - t * 0.25, 86.0 - (bigRight ? 3 : 0)}, bigRight, bigRight ? 25 : 0);

  p.Fill(head, EllipsePts({75, 85}, 15, 15.5), pal.skin, kInk, 1.1);
  p.Circle(head, {66.5 + t, 91}, 3.2, pal.cheek, pal.cheek, 0);
  p.Circle(head, {83.5 + t, 91}, 3.2, pal.cheek, pal.cheek, 0);

  // The beard, its strands, the moustache and the mouth.
  std::vector<Pt> beard{{59.6, 84}};
  BezierTo(beard, {57, 104}, {64 + t * 0.4, 126}, {75 + t * 0.8, 138});
  BezierTo(beard, {86 + t * 0.4, 126}, {93, 104}, {90.4, 84});
  BezierTo(beard, {86 + t * 0.5, 96}, {64 + t * 0.5, 96}, {59.6, 84});
  p.Fill(head, beard, pal.beard, kInk, 1.0);
  p.Stroke(head, {{67 + t * 0.4, 106}, {68 + t * 0.5, 114}, {70 + t * 0.6, 122}}, pal.beardShade, 1.0);
  p.Stroke(head, {{75 + t * 0.6, 109}, {75 + t * 0.7, 118}, {75.5 + t * 0.8, 128}}, pal.beardShade, 1.0);
  p.Stroke(head, {{83 + t * 0.4, 106}, {82 + t * 0.5, 114}, {80 + t * 0.6, 122}}, pal.beardShade, 1.0);
  DrawMouth(p, head, {75 + t, 100}, pose.mouth);
  p.Fill(head, EllipsePts({69.2 + t, 94.2}, 6.8, 2.9, -14), pal.beard, kInk, 0.8);
  p.Fill(head, EllipsePts({80.8 + t, 94.2}, 6.8, 2.9, 14), pal.beard, kInk, 0.8);

  p.Fill(head, EllipsePts({75 + t * 1.2, 89.5}, 3.4, 4.0), pal.skinShade, kInk, 0.8);
  DrawEye(p, head, {69.5 + t, 83}, pose.eyes, pal);
  DrawEye(p, head, {80.5 + t, 83}, pose.eyes, pal);
  Xf browShift = Xf::Move(t, 0).Then(head);
  DrawBrow(p, browShift, true, pose.brows, pal);
  DrawBrow(p, browShift, false, pose.brows, pal);
}

void DrawHat(Painter& p, const Xf& hat, const Palette& pal, double tipShift) {
  // The back of the brim, the cone, the band, then the front of the brim.
  p.Fill(hat, EllipsePts({75, 70.5}, 30.5, 6.8), pal.hatShade, kInk, 1.1);
  Pt tip{96 + tipShift, 5};
  std::vector<Pt> cone{{52.5, 70}};
  BezierTo(cone, {58, 48}, {78 + tipShift * 0.5, 22}, tip);
  BezierTo(cone, {92 + tipShift * 0.5, 24}, {96, 50}, {97.5, 70});
  BezierTo(cone, {90, 75}, {60, 75}, {52.5, 70});
  p.Fill(hat, cone, pal.hat, kInk, 1.2);
  p.Stroke(hat, {{61, 62}, {66, 44}, {80 + tipShift * 0.4, 22}}, Mix(pal.hat, kWhite, 0.2), 1.8);
  std::vector<Pt> band{{54, 64.5}};
  BezierTo(band, {66, 68.5}, {84, 68.5}, {96.5, 64.5}, 10);
  p.Stroke(hat, band, pal.trim, 4.2);
  std::vector<Pt> front{{44.5, 70.5}};
  BezierTo(front, {50, 80}, {100, 80}, {105.5, 70.5});
  BezierTo(front, {96, 74}, {54, 74}, {44.5, 70.5});
  p.Fill(hat, front, pal.hatShade, kInk, 1.0);
  p.Fill(hat, StarPts({71, 45}, 5.0, 2.1, 5, -6), pal.trim, kInk, 0.6);
  p.Fill(hat, StarPts({84 + tipShift * 0.3, 27}, 3.6, 1.5, 5, 12), pal.trim, kInk, 0.5);
  p.Circle(hat, {84, 52}, 4.6, pal.trim, kInk, 0.6);
  p.Circle(hat, {86.2, 50.6}, 4.0, pal.hat, pal.hat, 0);
  p.Fill(hat, StarPts(tip, 4.6, 2.0, 5, 0), pal.trim, kInk, 0.7);
}

void DrawArm(Painter& p, const Xf& body, const Arm& a, const Palette& pal) {
  Pt cuffStart = Lerp(a.elbow, a.hand, 0.62);
  Pt wrist = Lerp(a.elbow, a.hand, 0.86);
  p.Tube(body, {a.shoulder, a.elbow, wrist}, pal.robe, 10.5, 1.1);
  p.Stroke(body, {Lerp(a.shoulder, a.elbow, 0.25), a.elbow}, pal.robeShade, 1.6);
  p.Tube(body, {cuffStart, wrist}, pal.trim, 11.5, 0.9);
  p.Circle(body, a.hand, 5.0, pal.skin, kInk, 0.9);
}

Pt RightTip(const Arm& right) { return right.hand + right.foreDir * 30; }

void DrawWand(Painter& p, const Xf& body, const Arm& right, const Palette& pal) {
  Pt start = right.hand - right.foreDir * 4;
  Pt tip = RightTip(right);
  p.Tube(body, {start, tip}, RGB(110, 64, 30), 2.6, 0.8);
  p.Stroke(body, {Lerp(start, tip, 0.1), Lerp(start, tip, 0.9)}, RGB(160, 100, 55), 0.8);
  p.Fill(body, StarPts(tip, 5.6, 2.4, 5, 0), pal.trim, kInk, 0.7);
  p.Circle(body, tip, 1.3, kWhite, kWhite, 0);
  // The hand closes over the wand.
  p.Circle(body, right.hand, 5.0, pal.skin, kInk, 0.9);
  p.Stroke(body, {right.hand + Pt{-2.5, -1}, right.hand + Pt{2.5, -1}}, pal.skinShade, 0.8);
}

void DrawTrumpet(Painter& p, const Xf& body, const Xf& head, const Arm& right, double turn, const Palette& pal) {
  Pt mouth = head(Pt{75 + turn * 5, 100});
  Pt hand = body(right.hand);
  Pt dir = hand - mouth;
  double len = Length(dir);
  if (len < 1) return;
  dir = dir * (1 / len);
  Pt normal{-dir.y, dir.x};
  double u = p.unit();
  Pt bellStart = hand + dir * (6 * u);
  Pt bellEnd = hand + dir * (18 * u);
  Xf id;
  p.Tube(id, {mouth + dir * (2 * u), bellStart}, kGold, 3.0, 0.8);
  p.Fill(id, {bellStart + normal * (2.2 * u), bellEnd + normal * (8.5 * u), bellEnd - normal * (8.5 * u),
              bellStart - normal * (2.2 * u)},
         kGold, kInk, 1.0);
  p.Fill(id, EllipsePts(bellEnd, 2.2 * u, 8.5 * u, std::atan2(dir.y, dir.x) * 180 / kPi), RGB(200, 150, 20), kInk,
         1.0);
  p.Circle(body, right.hand, 5.0, pal.skin, kInk, 0.9);
}

void DrawTrophy(Painter& p, const Xf& body, const Arm& right, const Palette& pal) {
  // Held up in the right hand.
  Pt m = right.hand + Pt{3, -14};
  std::vector<Pt> cup{{m.x - 12, m.y - 12}, {m.x + 12, m.y - 12}};
  BezierTo(cup, {m.x + 12, m.y}, {m.x + 6, m.y + 6}, {m.x + 2, m.y + 7}, 10);
  cup.push_back({m.x + 2, m.y + 12});
  cup.push_back({m.x + 7, m.y + 15});
  cup.push_back({m.x - 7, m.y + 15});
  cup.push_back({m.x - 2, m.y + 12});
  cup.push_back({m.x - 2, m.y + 7});
  BezierTo(cup, {m.x - 6, m.y + 6}, {m.x - 12, m.y}, {m.x - 12, m.y - 12}, 10);
  p.Stroke(body, {{m.x - 11, m.y - 9}, {m.x - 17, m.y - 8}, {m.x - 16, m.y - 1}, {m.x - 10, m.y + 1}}, kInk, 3.2);
  p.Stroke(body, {{m.x - 11, m.y - 9}, {m.x - 17, m.y - 8}, {m.x - 16, m.y - 1}, {m.x - 10, m.y + 1}}, kGold, 1.6);
  p.Stroke(body, {{m.x + 11, m.y - 9}, {m.x + 17, m.y - 8}, {m.x + 16, m.y - 1}, {m.x + 10, m.y + 1}}, kInk, 3.2);
  p.Stroke(body, {{m.x + 11, m.y - 9}, {m.x + 17, m.y - 8}, {m.x + 16, m.y - 1}, {m.x + 10, m.y + 1}}, kGold, 1.6);
  p.Fill(body, cup, kGold, kInk, 1.0);
  p.Fill(body, StarPts(m + Pt{0, -4}, 4.2, 1.8, 5, 0), kWhite, RGB(200, 150, 20), 0.5);
  p.Circle(body, right.hand, 5.0, pal.skin, kInk, 0.9);
}

void Twinkle(Painter& p, const Xf& xf, Pt c, double r, COLORREF colour) {
  p.Fill(xf, StarPts(c, r, r * 0.32, 4, 0), colour, Mix(colour, kInk, 0.5), 0.4);
}

void DrawEffects(Painter& p, const Xf& body, const Xf& head, const Pose& pose, const Arm& right, unsigned seed) {
  Dice dice{seed * 2654435761u + 7};
  const COLORREF sparkle[] = {RGB(255, 230, 80), kWhite, RGB(150, 220, 255), RGB(255, 170, 220)};
  if (pose.fx & kFxClouds) {
    const double xs[] = {34, 50, 66, 84, 100, 116, 44, 74, 106};
    const double ys[] = {190, 186, 191, 187, 191, 188, 178, 180, 179};
    const double rs[] = {11, 13, 12, 14, 12, 10, 9, 10, 9};
    for (int i = 0; i < 9; ++i) {
      double j = dice.Next() * 2 - 1;
      p.Circle(body, {xs[i] + j * 2, ys[i] + j}, rs[i] + j, i % 2 ? RGB(236, 236, 246) : RGB(214, 214, 232),
               RGB(120, 120, 150), 0.8);
    }
  }
  if (pose.fx & kFxGlow) {
    for (int i = 0; i < 12; ++i) {
      double a = 2 * kPi * (i + dice.Next() * 0.6) / 12;
      Pt c{75 + 64 * std::cos(a), 108 + 90 * std::sin(a)};
      Twinkle(p, body, c, 3 + dice.Next() * 3.5, sparkle[i % 4]);
    }
  }
  if (pose.fx & kFxSparkles) {
    Pt tip = pose.prop == Prop::Wand ? RightTip(right) : right.hand;
    for (int i = 0; i < 7; ++i) {
      double a = 2 * kPi * (i + dice.Next()) / 7;
      double r = 7 + dice.Next() * 15;
      Twinkle(p, body, tip + Pt{r * std::cos(a), r * std::sin(a)}, 2.5 + dice.Next() * 3.5, sparkle[i % 4]);
    }
  }
  if (pose.fx & kFxConfetti) {
    const COLORREF colours[] = {RGB(230, 60, 60), RGB(60, 170, 80), RGB(60, 110, 230), RGB(250, 200, 40),
                                RGB(200, 80, 200)};
    for (int i = 0; i < 16; ++i) {
      Pt c{10 + dice.Next() * 130, 4 + dice.Next() * 90};
      double a = dice.Next() * 180;
      p.Fill(body, EllipsePts(c, 2.6, 1.2, a, 4), colours[i % 5], colours[i % 5], 0);
    }
  }
  if (pose.fx & kFxNotes) {
    for (int i = 0; i < 3; ++i) {
      Pt c{110 + i * 12 + dice.Next() * 4, 58 - i * 13 + dice.Next() * 4};
      p.Fill(body, EllipsePts(c, 3.3, 2.4, -20), kInk, kInk, 0);
      p.Stroke(body, {c + Pt{3, -1}, c + Pt{3, -14}}, kInk, 1.1);
      p.Stroke(body, {c + Pt{3, -14}, c + Pt{7, -10}, c + Pt{6.5, -6}}, kInk, 1.1);
    }
  }
  if (pose.fx & kFxKnock) {
    Pt h = right.hand;
    for (int i = -1; i <= 1; ++i) {
      double a = (i * 35 - 40) * kPi / 180;
      Pt d{std::cos(a), std::sin(a)};
      p.Stroke(body, {h + d * 8, h + d * 15}, kInk, 1.4);
    }
    Twinkle(p, body, h + Pt{9, -9}, 4, RGB(255, 230, 80));
  }
  if (pose.fx & kFxQuestion) p.Glyph(head, {118, 44}, L"?", 30, RGB(140, 70, 210));
  if (pose.fx & kFxExclaim) p.Glyph(head, {120, 42}, L"!", 30, RGB(220, 50, 50));
}

}  // namespace

int WizardHeadX(int width, int height) {
  double s = std::min(width / kGridWidth, height / kGridHeight);
  return static_cast<int>(std::lround((width - kGridWidth * s) / 2 + (kFigureLeft + 75) * s));
}

Image DrawWizard(const Pose& pose, const CharacterColours& colours, int width, int height, unsigned seed) {
  SuperCanvas canvas(width, height);
  if (!canvas.ok()) return {};
  const double s = std::min(width / kGridWidth, height / kGridHeight);
  const double unit = s * kSuperSample;
  Xf device = Xf::Zoom(unit).Then(Xf::Move(((width - kGridWidth * s) / 2 + kFigureLeft * s) * kSuperSample,
                                           ((height - kGridHeight * s) + kFigureTop * s) * kSuperSample));
  // The body leans around the feet and rises; the head bows and tilts
  // around the neck; the hat goes with the head and slips a little further
  // forward when the head bows.
  Xf body = Xf::Rotate(pose.lean, {75, 194}).Then(Xf::Move(0, -pose.rise)).Then(device);
  Xf head = Xf::Move(0, pose.bow * 0.8).Then(Xf::Rotate(pose.head, {75, 101})).Then(body);
  Xf hat = Xf::Move(0, pose.bow * 0.35).Then(head);

  Painter p(canvas.dc(), unit);
  Palette pal = MakePalette(colours);
  Arm left = ArmPoints(false, pose.larm);
  Arm right = ArmPoints(true, pose.rarm);

  DrawRobe(p, body, pal);
  DrawHead(p, head, pose, pal);
  DrawHat(p, hat, pal, pose.turn * 3);
  DrawArm(p, body, left, pal);
  DrawArm(p, body, right, pal);
  switch (pose.prop) {
    case Prop::Wand:
      DrawWand(p, body, right, pal);
      break;
    case Prop::Trumpet:
      DrawTrumpet(p, body, head, right, pose.turn, pal);
      break;
    case Prop::Trophy:
      DrawTrophy(p, body, right, pal);
      break;
    case Prop::None:
      break;
  }
  DrawEffects(p, body, head, pose, right, seed);
  return canvas.Reduce();
}

}  // namespace agent
