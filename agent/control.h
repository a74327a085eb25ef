// The control (the object created from "Agent.Control.2") and its Characters
// collection.
//
//   Control     Connected (get/put), Characters([id]), Version
//   Characters  Character(id) (the default member, also "Item"),
//               Load(id, [file]), Unload(id), Count
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "dispatch.h"

namespace agent {

class Character;
class Host;

class CharacterCollection final : public DispatchObject {
 public:
  explicit CharacterCollection(Host* host);
  ~CharacterCollection() override;

  // The loaded character with this ID (not AddRef'd), or nullptr.
  Character* Find(const std::wstring& id) const;
  // The character with this ID, AddRef'd; raises when none is loaded.
  IDispatch* Get(const std::wstring& id) const;
  void UnloadAll();

 protected:
  std::span<const Member> Members() const override;
  std::wstring Label() const override { return L"Characters"; }
  void Call(const Member& member, unsigned kind, Args& args, VARIANT* result) override;

 private:
  void Load(const std::wstring& id, const std::wstring& file);
  void Unload(const std::wstring& id);

  Host* host_;
  std::vector<Character*> items_;  // each holds one reference
};

class Control final : public DispatchObject {
 public:
  explicit Control(Host* host);
  ~Control() override;

 protected:
  std::span<const Member> Members() const override;
  std::wstring Label() const override { return L"Agent"; }
  void Call(const Member& member, unsigned kind, Args& args, VARIANT* result) override;

 private:
  Host* host_;
  CharacterCollection* characters_;
  bool connected_ = false;
};

// Creates a control for the class factory.
HRESULT CreateControlObject(REFIID riid, void** out);

// Where a character file given to Load is read from: an absolute path as
// it is; anything else relative to the character folder (the DLL's folder).
std::wstring CharacterFilePath(const std::wstring& file);

}  // namespace agent
