#include "acs.h"

#include <array>
#include <cstdio>

namespace agent {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// Splits on spaces and tabs; at most `limit` words are kept, and `extra` is
// set when there were more.
std::vector<std::string_view> Words(std::string_view s, std::size_t limit, bool& extra) {
  std::vector<std::string_view> out;
  extra = false;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i >= s.size()) break;
    std::size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != '\t') ++j;
    if (out.size() == limit) {
      extra = true;
      break;
    }
    out.push_back(s.substr(i, j - i));
    i = j;
  }
  return out;
}

std::string Quote(std::string_view s) {
  // Quotes a piece of the file for an error message, shortened and with
  // control characters replaced, so a message never carries garbage.
  std::string out = "\"";
  std::size_t n = 0;
  for (char c : s) {
    if (++n > 40) {
      out += "...";
      break;
    }
    out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
  }
  out += '"';
  return out;
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-' || c == '.';
}

bool ValidName(std::string_view s) {
  if (s.empty() || s.size() > kAcsMaxName) return false;
  for (char c : s)
    if (!IsNameChar(c)) return false;
  return true;
}

// A decimal number: optional sign, digits, optional fraction. No exponent,
// no locale, at most 12 characters.
bool ParseNumber(std::string_view s, double& value) {
  if (s.empty() || s.size() > 12) return false;
  std::size_t i = 0;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    i = 1;
  }
  double v = 0;
  int digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    v = v * 10 + (s[i] - '0');
    ++i;
    ++digits;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      v += (s[i] - '0') * scale;
      scale /= 10;
      ++i;
      ++digits;
    }
  }
  if (digits == 0 || i != s.size()) return false;
  value = negative ? -v : v;
  return true;
}

bool ParseInt(std::string_view s, int lo, int hi, int& value) {
  if (s.empty() || s.size() > 9) return false;
  long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < lo || v > hi) return false;
  value = static_cast<int>(v);
  return true;
}

bool ParseColour(std::string_view s, std::uint32_t& value) {
  if (s.size() != 7 || s[0] != '#') return false;
  std::uint32_t v = 0;
  for (std::size_t i = 1; i < 7; ++i) {
    char c = LowerAscii(s[i]);
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else
      return false;
    v = (v << 4) | static_cast<std::uint32_t>(d);
  }
  value = v;
  return true;
}

template <typename E, std::size_t N>
bool ParseEnum(std::string_view s, const std::array<std::pair<const char*, E>, N>& table, E& value) {
  for (const auto& entry : table)
    if (EqualsNoCase(s, entry.first)) {
      value = entry.second;
      return true;
    }
  return false;
}

constexpr std::array<std::pair<const char*, Eyes>, 8> kEyes{{{"open", Eyes::Open},
                                                             {"closed", Eyes::Closed},
                                                             {"wide", Eyes::Wide},
                                                             {"half", Eyes::Half},
                                                             {"up", Eyes::Up},
                                                             {"down", Eyes::Down},
                                                             {"left", Eyes::Left},
                                                             {"right", Eyes::Right}}};
constexpr std::array<std::pair<const char*, Brows>, 4> kBrows{
    {{"normal", Brows::Normal}, {"raised", Brows::Raised}, {"frown", Brows::Frown}, {"worried", Brows::Worried}}};
constexpr std::array<std::pair<const char*, Mouth>, 6> kMouths{{{"smile", Mouth::Smile},
                                                                {"open", Mouth::Open},
                                                                {"o", Mouth::O},
                                                                {"flat", Mouth::Flat},
                                                                {"frown", Mouth::Frown},
                                                                {"grin", Mouth::Grin}}};
constexpr std::array<std::pair<const char*, Ears>, 4> kEars{
    {{"normal", Ears::Normal}, {"big", Ears::Big}, {"left", Ears::Left}, {"right", Ears::Right}}};
constexpr std::array<std::pair<const char*, Prop>, 4> kProps{
    {{"wand", Prop::Wand}, {"none", Prop::None}, {"trumpet", Prop::Trumpet}, {"trophy", Prop::Trophy}}};
constexpr std::array<std::pair<const char*, std::uint32_t>, 8> kEffects{{{"sparkles", kFxSparkles},
                                                                        {"glow", kFxGlow},
                                                                        {"clouds", kFxClouds},
                                                                        {"question", kFxQuestion},
                                                                        {"exclaim", kFxExclaim},
                                                                        {"notes", kFxNotes},
                                                                        {"knock", kFxKnock},
                                                                        {"confetti", kFxConfetti}}};

enum class Section { None, Character, Pose, Animation };

struct PendingFrame {
  std::string pose;
  int line = 0;
};

class Parser {
 public:
  Parser(CharacterFile& out, AcsError& error) : out_(out), error_(error) {}

  bool Run(std::string_view text) {
    if (text.size() > kAcsMaxFileSize) return Fail(0, "the file is larger than 256 KiB");
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::size_t pos = 0;
    int line = 0;
    while (pos < text.size()) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view raw = text.substr(pos, end - pos);
      pos = end + 1;
      ++line;
      if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
      if (raw.size() > kAcsMaxLine) return Fail(line, "the line is longer than 400 characters");
      for (char c : raw)
        if (c == '\0') return Fail(line, "the line contains a NUL byte");
      if (!Line(line, Trim(raw))) return false;
    }
    return Finish();
  }

 private:
  bool Fail(int line, std::string message) {
    error_.line = line;
    error_.message = std::move(message);
    return false;
  }

  bool Line(int line, std::string_view s) {
    if (s.empty() || s[0] == '#' || s[0] == ';') return true;
    if (s[0] == '[') return Header(line, s);
    switch (section_) {
      case Section::None:
        return Fail(line, "text outside a section: " + Quote(s));
      case Section::Animation:
        return FrameLine(line, s);
      default:
        break;
    }
    std::size_t eq = s.find('=');
    if (eq == std::string_view::npos) return Fail(line, "expected \"key = value\": " + Quote(s));
    std::string_view key = Trim(s.substr(0, eq));
    std::string_view value = Trim(s.substr(eq + 1));
    if (key.empty()) return Fail(line, "a key is missing before \"=\"");
    return section_ == Section::Character ? CharacterKey(line, key, value) : PoseKey(line, key, value);
  }

  bool Header(int line, std::string_view s) {
    if (s.back() != ']') return Fail(line, "a section header must end with \"]\"");
    bool extra = false;
    std::vector<std::string_view> w = Words(s.substr(1, s.size() - 2), 2, extra);
    if (w.empty() || extra) return Fail(line, "malformed section header " + Quote(s));
    seenKeys_.clear();
    if (EqualsNoCase(w[0], "character")) {
      if (w.size() != 1) return Fail(line, "[character] takes no name");
      if (sawCharacter_) return Fail(line, "[character] appears twice");
      sawCharacter_ = true;
      section_ = Section::Character;
      return true;
    }
    bool pose = EqualsNoCase(w[0], "pose");
    if (!pose && !EqualsNoCase(w[0], "animation")) return Fail(line, "unknown section " + Quote(w[0]));
    if (w.size() != 2 || !ValidName(w[1]))
      return Fail(line, std::string("a ") + (pose ? "pose" : "animation") +
                            " needs a name of 1 to 64 letters, digits, '_', '-' or '.'");
    std::string name(w[1]);
    if (pose) {
      if (out_.FindPose(name) >= 0) return Fail(line, "the pose " + Quote(name) + " is defined twice");
      if (out_.poses.size() >= kAcsMaxPoses) return Fail(line, "more than 256 poses");
      out_.poses.emplace_back(name, Pose{});
      section_ = Section::Pose;
    } else {
      if (out_.FindAnimation(name) >= 0) return Fail(line, "the animation " + Quote(name) + " is defined twice");
      if (out_.animations.size() >= kAcsMaxAnimations) return Fail(line, "more than 256 animations");
      Animation a;
      a.name = name;
      out_.animations.push_back(std::move(a));
      pending_.emplace_back();
      section_ = Section::Animation;
    }
    sectionName_ = std::move(name);
    return true;
  }

  std::string Where() const {
    switch (section_) {
      case Section::Character:
        return "[character]";
      case Section::Pose:
        return "[pose " + sectionName_ + "]";
      default:
        return "[animation " + sectionName_ + "]";
    }
  }

  bool FirstUse(int line, std::string_view key) {
    std::string k;
    for (char c : key) k += LowerAscii(c);
    for (const std::string& seen : seenKeys_)
      if (seen == k) return Fail(line, "the key " + Quote(key) + " is given twice in " + Where());
    seenKeys_.push_back(k);
    return true;
  }

  bool BadValue(int line, std::string_view key, std::string_view value, const char* expected) {
    return Fail(line, "bad value " + Quote(value) + " for " + std::string(key) + " in " + Where() + " (expected " +
                          expected + ")");
  }

  static bool TextOk(std::string_view v, std::size_t max) {
    if (v.size() > max) return false;
    for (char c : v)
      if (static_cast<unsigned char>(c) < 0x20) return false;
    return true;
  }

  bool CharacterKey(int line, std::string_view key, std::string_view value) {
    if (!FirstUse(line, key)) return false;
    CharacterColours& col = out_.colours;
    if (EqualsNoCase(key, "name")) {
      if (value.empty() || !TextOk(value, kAcsMaxName)) return BadValue(line, key, value, "1 to 64 characters");
      out_.name = std::string(value);
    } else if (EqualsNoCase(key, "description")) {
      if (!TextOk(value, kAcsMaxText)) return BadValue(line, key, value, "at most 200 characters");
      out_.description = std::string(value);
    } else if (EqualsNoCase(key, "width")) {
      if (!ParseInt(value, 64, 600, out_.width)) return BadValue(line, key, value, "a whole number from 64 to 600");
    } else if (EqualsNoCase(key, "height")) {
      if (!ParseInt(value, 64, 600, out_.height)) return BadValue(line, key, value, "a whole number from 64 to 600");
    } else if (EqualsNoCase(key, "robe") || EqualsNoCase(key, "hat") || EqualsNoCase(key, "trim") ||
               EqualsNoCase(key, "skin") || EqualsNoCase(key, "beard")) {
      std::uint32_t* target = EqualsNoCase(key, "robe")   ? &col.robe
                              : EqualsNoCase(key, "hat")  ? &col.hat
                              : EqualsNoCase(key, "trim") ? &col.trim
                              : EqualsNoCase(key, "skin") ? &col.skin
                                                          : &col.beard;
      if (!ParseColour(value, *target)) return BadValue(line, key, value, "a colour #RRGGBB");
    } else {
      return Fail(line, "unknown key " + Quote(key) + " in [character]");
    }
    return true;
  }

  bool Ranged(int line, std::string_view key, std::string_view value, double lo, double hi, float& target) {
    double v = 0;
    if (!ParseNumber(value, v) || v < lo || v > hi) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "a number from %g to %g", lo, hi);
      return BadValue(line, key, value, expected);
    }
    target = static_cast<float>(v);
    return true;
  }

  bool PoseKey(int line, std::string_view key, std::string_view value) {
    Pose& p = out_.poses.back().second;
    if (EqualsNoCase(key, "like")) {
      if (!seenKeys_.empty()) return Fail(line, "\"like\" must be the first key of " + Where());
      seenKeys_.push_back("like");
      int i = out_.FindPose(value);
      if (i < 0 || i + 1 == static_cast<int>(out_.poses.size()))
        return Fail(line, "\"like\" names " + Quote(value) + ", which is not a pose defined above");
      p = out_.poses[static_cast<std::size_t>(i)].second;
      return true;
    }
    if (!FirstUse(line, key)) return false;
    if (EqualsNoCase(key, "lean")) return Ranged(line, key, value, -45, 45, p.lean);
    if (EqualsNoCase(key, "bow")) return Ranged(line, key, value, 0, 20, p.bow);
    if (EqualsNoCase(key, "rise")) return Ranged(line, key, value, -20, 40, p.rise);
    if (EqualsNoCase(key, "head")) return Ranged(line, key, value, -45, 45, p.head);
    if (EqualsNoCase(key, "turn")) return Ranged(line, key, value, -1, 1, p.turn);
    if (EqualsNoCase(key, "larm") || EqualsNoCase(key, "rarm")) {
      float* arm = EqualsNoCase(key, "larm") ? p.larm : p.rarm;
      bool extra = false;
      std::vector<std::string_view> w = Words(value, 2, extra);
      double a = 0, e = 0;
      if (w.size() != 2 || extra || !ParseNumber(w[0], a) || !ParseNumber(w[1], e) || a < -360 || a > 360 ||
          e < -360 || e > 360)
        return BadValue(line, key, value, "two angles from -360 to 360");
      arm[0] = static_cast<float>(a);
      arm[1] = static_cast<float>(e);
      return true;
    }
    if (EqualsNoCase(key, "eyes"))
      return ParseEnum(value, kEyes, p.eyes) || BadValue(line, key, value, "open, closed, wide, half, up, down, left or right");
    if (EqualsNoCase(key, "brows"))
      return ParseEnum(value, kBrows, p.brows) || BadValue(line, key, value, "normal, raised, frown or worried");
    if (EqualsNoCase(key, "mouth"))
      return ParseEnum(value, kMouths, p.mouth) || BadValue(line, key, value, "smile, open, o, flat, frown or grin");
    if (EqualsNoCase(key, "ears"))
      return ParseEnum(value, kEars, p.ears) || BadValue(line, key, value, "normal, big, left or right");
    if (EqualsNoCase(key, "prop"))
      return ParseEnum(value, kProps, p.prop) || BadValue(line, key, value, "wand, none, trumpet or trophy");
    if (EqualsNoCase(key, "fx")) {
      bool extra = false;
      std::vector<std::string_view> w = Words(value, kEffects.size(), extra);
      if (w.empty() || extra) return BadValue(line, key, value, "\"none\" or a list of effects");
      std::uint32_t fx = 0;
      for (std::string_view word : w) {
        std::uint32_t bit = 0;
        if (EqualsNoCase(word, "none") && w.size() == 1) break;
        if (!ParseEnum(word, kEffects, bit))
          return BadValue(line, key, value, "sparkles, glow, clouds, question, exclaim, notes, knock or confetti");
        fx |= bit;
      }
      p.fx = fx;
      return true;
    }
    return Fail(line, "unknown key " + Quote(key) + " in " + Where());
  }

  bool FrameLine(int line, std::string_view s) {
    Animation& a = out_.animations.back();
    if (a.frames.size() >= kAcsMaxFrames) return Fail(line, "more than 128 frames in " + Where());
    bool extra = false;
    std::vector<std::string_view> w = Words(s, 3, extra);
    if (w.size() < 2 || extra) return Fail(line, "a frame is \"<pose> <milliseconds> [<opacity>]\": " + Quote(s));
    if (!ValidName(w[0])) return Fail(line, "bad pose name " + Quote(w[0]) + " in " + Where());
    Frame f;
    if (!ParseInt(w[1], 1, kAcsMaxFrameMs, f.ms))
      return Fail(line, "bad duration " + Quote(w[1]) + " in " + Where() + " (expected 1 to 10000 ms)");
    if (w.size() == 3) {
      if (!ParseInt(w[2], 0, 100, f.opacity))
        return Fail(line, "bad opacity " + Quote(w[2]) + " in " + Where() + " (expected 0 to 100)");
      a.changesOpacity = true;
    }
    if (a.TotalMs() + f.ms > kAcsMaxAnimationMs) return Fail(line, Where() + " is longer than 60 seconds");
    a.frames.push_back(f);
    pending_.back().push_back(PendingFrame{std::string(w[0]), line});
    return true;
  }

  bool Finish() {
    if (!sawCharacter_) return Fail(0, "the [character] section is missing");
    if (out_.name.empty()) return Fail(0, "[character] has no name");
    for (std::size_t i = 0; i < out_.animations.size(); ++i) {
      Animation& a = out_.animations[i];
      if (a.frames.empty()) return Fail(0, "[animation " + a.name + "] has no frames");
      for (std::size_t k = 0; k < a.frames.size(); ++k) {
        const PendingFrame& pf = pending_[i][k];
        int p = out_.FindPose(pf.pose);
        if (p < 0) return Fail(pf.line, "[animation " + a.name + "] uses the unknown pose " + Quote(pf.pose));
        a.frames[k].pose = p;
      }
    }
    return true;
  }

  CharacterFile& out_;
  AcsError& error_;
  Section section_ = Section::None;
  std::string sectionName_;
  bool sawCharacter_ = false;
  std::vector<std::string> seenKeys_;
  std::vector<std::vector<PendingFrame>> pending_;
};

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

int Animation::TotalMs() const {
  int total = 0;
  for (const Frame& f : frames) total += f.ms;
  return total;
}

int CharacterFile::FindPose(std::string_view n) const {
  for (std::size_t i = 0; i < poses.size(); ++i)
    if (EqualsNoCase(poses[i].first, n)) return static_cast<int>(i);
  return -1;
}

int CharacterFile::FindAnimation(std::string_view n) const {
  for (std::size_t i = 0; i < animations.size(); ++i)
    if (EqualsNoCase(animations[i].name, n)) return static_cast<int>(i);
  return -1;
}

Pose CharacterFile::RestPose() const {
  int i = FindPose("rest");
  return i >= 0 ? poses[static_cast<std::size_t>(i)].second : Pose{};
}

bool ParseCharacterFile(std::string_view text, CharacterFile& out, AcsError& error) {
  out = CharacterFile{};
  error = AcsError{};
  return Parser(out, error).Run(text);
}

}  // namespace agent
