#include "control.h"

#include <new>

#include "acs.h"
#include "agent_errors.h"
#include "character.h"
#include "host.h"
#include "module.h"

namespace agent {
namespace {

enum : DISPID { kConnected = 1, kCharacters, kVersion };
enum : DISPID { kLoad = 1, kUnload, kCount };

const Member kControlMembers[] = {
    {L"Connected", kConnected, kGet | kPut, 0, 0, {}},
    {L"Characters", kCharacters, kMethod | kGet, 0, 1, {L"CharacterID"}},
    {L"Version", kVersion, kGet, 0, 0, {}},
};

const Member kCollectionMembers[] = {
    {L"Character", DISPID_VALUE, kMethod | kGet, 1, 1, {L"CharacterID"}},
    {L"Item", DISPID_VALUE, kMethod | kGet, 1, 1, {L"CharacterID"}},
    {L"Load", kLoad, kMethod, 1, 2, {L"CharacterID", L"LoadKey"}},
    {L"Unload", kUnload, kMethod, 1, 1, {L"CharacterID"}},
    {L"Count", kCount, kGet, 0, 0, {}},
};

std::wstring Quoted(const std::wstring& s, std::size_t limit) {
  std::wstring out = L"\"";
  for (std::size_t i = 0; i < s.size() && i < limit; ++i) out += s[i] < 0x20 ? L'?' : s[i];
  if (s.size() > limit) out += L"...";
  return out + L"\"";
}

std::wstring Widen(const std::string& s) {
  if (s.empty()) return L"";
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

bool ValidUtf8(const std::string& s) {
  return s.empty() ||
         MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0) > 0;
}

std::wstring SystemMessage(DWORD code) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<LPWSTR>(&buf), 0, nullptr);
  std::wstring text = n && buf ? std::wstring(buf, n) : std::wstring();
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
    text.pop_back();
  if (text.empty()) text = L"system error";
  return text + L" (error " + std::to_wstring(code) + L")";
}

// Reads a character file whole; raises the server's errors.
std::string ReadCharacterFile(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    DWORD e = GetLastError();
    throw AgentError{kErrFileNotFound,
                     L"Cannot open the character file " + Quoted(path, 1024) + L": " + SystemMessage(e) + L"."};
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f, &size) || size.QuadPart > static_cast<LONGLONG>(kAcsMaxFileSize)) {
    CloseHandle(f);
    throw AgentError{kErrFileMalformed,
                     L"The character file " + Quoted(path, 1024) + L" is malformed: the file is larger than 256 KiB."};
  }
  std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD done = 0;
  bool ok = text.empty() || (ReadFile(f, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
                             done == text.size());
  DWORD e = GetLastError();
  CloseHandle(f);
  if (!ok)
    throw AgentError{kErrFileNotFound,
                     L"Cannot read the character file " + Quoted(path, 1024) + L": " + SystemMessage(e) + L"."};
  return text;
}

}  // namespace

std::wstring CharacterFilePath(const std::wstring& file) {
  bool absolute = (file.size() >= 2 && file[1] == L':') || (!file.empty() && (file[0] == L'\\' || file[0] == L'/'));
  return absolute ? file : ModuleFolder() + file;
}

// ---- CharacterCollection ----

CharacterCollection::CharacterCollection(Host* host) : host_(host) { host_->AddRef(); }

CharacterCollection::~CharacterCollection() {
  for (Character* c : items_) c->Release();
  host_->Release();
}

std::span<const Member> CharacterCollection::Members() const { return kCollectionMembers; }

Character* CharacterCollection::Find(const std::wstring& id) const {
  for (Character* c : items_)
    if (CompareStringOrdinal(c->Id().c_str(), -1, id.c_str(), -1, TRUE) == CSTR_EQUAL) return c;
  return nullptr;
}

IDispatch* CharacterCollection::Get(const std::wstring& id) const {
  Character* c = Find(id);
  if (!c) throw AgentError{kErrNotLoaded, L"The character " + Quoted(id, 64) + L" is not loaded."};
  c->AddRef();
  return c;
}

void CharacterCollection::UnloadAll() {
  std::vector<Character*> items;
  items.swap(items_);
  for (Character* c : items) {
    c->Unload();
    c->Release();
  }
}

void CharacterCollection::Load(const std::wstring& id, const std::wstring& fileArg) {
  if (id.empty() || id.size() > 256)
    throw AgentError{kErrBadArgument, L"Load: a character ID has 1 to 256 characters."};
  if (Find(id)) throw AgentError{kErrAlreadyLoaded, L"A character with the ID " + Quoted(id, 64) + L" is already loaded."};
  const std::wstring path = CharacterFilePath(fileArg.empty() ? id + L".acs" : fileArg);
  const std::string text = ReadCharacterFile(path);
  CharacterFile parsed;
  AcsError error;
  if (!ParseCharacterFile(text, parsed, error)) {
    std::wstring where = error.line > 0 ? L"line " + std::to_wstring(error.line) + L": " : L"";
    throw AgentError{kErrFileMalformed,
                     L"The character file " + Quoted(path, 1024) + L" is malformed: " + where + Widen(error.message) + L"."};
  }
  if (!ValidUtf8(parsed.name) || !ValidUtf8(parsed.description))
    throw AgentError{kErrFileMalformed,
                     L"The character file " + Quoted(path, 1024) + L" is malformed: its text is not UTF-8."};
  Character* c = new Character(host_, id, path, std::move(parsed));
  items_.push_back(c);
}

void CharacterCollection::Unload(const std::wstring& id) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (CompareStringOrdinal(items_[i]->Id().c_str(), -1, id.c_str(), -1, TRUE) != CSTR_EQUAL) continue;
    Character* c = items_[i];
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
    c->Unload();
    c->Release();
    return;
  }
  throw AgentError{kErrNotLoaded, L"The character " + Quoted(id, 64) + L" is not loaded."};
}

void CharacterCollection::Call(const Member& m, unsigned, Args& a, VARIANT* result) {
  switch (m.id) {
    case DISPID_VALUE:
      SetResult(result, Get(a.String(0)));
      return;
    case kLoad:
      Load(a.String(0), a.StringOr(1, L""));
      return;
    case kUnload:
      Unload(a.String(0));
      return;
    case kCount:
      SetResult(result, static_cast<long>(items_.size()));
      return;
    default:
      throw DispFault{DISP_E_MEMBERNOTFOUND};
  }
}

// ---- Control ----

Control::Control(Host* host) : host_(host) {
  host_->AddRef();
  characters_ = new CharacterCollection(host_);
}

Control::~Control() {
  characters_->Release();
  host_->Release();
}

std::span<const Member> Control::Members() const { return kControlMembers; }

void Control::Call(const Member& m, unsigned kind, Args& a, VARIANT* result) {
  switch (m.id) {
    case kConnected:
      if (kind == kPut) {
        bool on = a.PutBool();
        // Disconnecting unloads the characters; using the collection again
        // connects again.
        if (!on) characters_->UnloadAll();
        connected_ = on;
      } else {
        SetResultBool(result, connected_);
      }
      return;
    case kCharacters:
      connected_ = true;
      if (a.Has(0)) {
        SetResult(result, characters_->Get(a.String(0)));
      } else {
        characters_->AddRef();
        SetResult(result, static_cast<IDispatch*>(characters_));
      }
      return;
    case kVersion:
      SetResult(result, std::wstring(L"2.0"));
      return;
    default:
      throw DispFault{DISP_E_MEMBERNOTFOUND};
  }
}

HRESULT CreateControlObject(REFIID riid, void** out) {
  Host* host = Host::Create();
  if (!host) return E_FAIL;
  Control* control = nullptr;
  try {
    control = new Control(host);
  } catch (const std::bad_alloc&) {
    host->Release();
    return E_OUTOFMEMORY;
  }
  host->Release();
  HRESULT hr = control->QueryInterface(riid, out);
  control->Release();
  return hr;
}

}  // namespace agent
