// Identifiers and error codes of the character server that its clients (and
// its tests) may rely on. The server reports failures as DISP_E_EXCEPTION
// with an EXCEPINFO whose scode is one of the codes below, whose source is
// the ProgID and whose description is a sentence naming what failed.
#pragma once

#include <windows.h>

namespace agent {

// {56F4DF0F-FA04-4600-A1DB-B1337C79AEAC}
inline constexpr CLSID kClsidControl = {
    0x56f4df0f, 0xfa04, 0x4600, {0xa1, 0xdb, 0xb1, 0x33, 0x7c, 0x79, 0xae, 0xac}};

inline constexpr wchar_t kProgId[] = L"Agent.Control.2";
inline constexpr wchar_t kVersionIndependentProgId[] = L"Agent.Control";
inline constexpr wchar_t kServerDescription[] = L"Zorvan Agent Control";

// The source text of every exception the server raises.
inline constexpr wchar_t kExceptionSource[] = L"Agent.Control.2";

// Error codes (FACILITY_ITF, severity error).
inline constexpr HRESULT kErrFileNotFound = static_cast<HRESULT>(0x80040201L);   // character file cannot be opened
inline constexpr HRESULT kErrFileMalformed = static_cast<HRESULT>(0x80040202L);  // character file cannot be parsed
inline constexpr HRESULT kErrNoAnimation = static_cast<HRESULT>(0x80040203L);    // the character has no such animation
inline constexpr HRESULT kErrNotLoaded = static_cast<HRESULT>(0x80040204L);      // no character with that ID is loaded
inline constexpr HRESULT kErrAlreadyLoaded = static_cast<HRESULT>(0x80040205L);  // a character with that ID is loaded
inline constexpr HRESULT kErrUnloaded = static_cast<HRESULT>(0x80040206L);       // the character object was unloaded
inline constexpr HRESULT kErrBadArgument = static_cast<HRESULT>(0x80040207L);    // an argument is out of range
inline constexpr HRESULT kErrQueueFull = static_cast<HRESULT>(0x80040208L);      // too many requests waiting
inline constexpr HRESULT kErrWindow = static_cast<HRESULT>(0x80040209L);         // a window could not be created

// Request status values (Request.Status).
inline constexpr long kRequestComplete = 0;
inline constexpr long kRequestPending = 2;
inline constexpr long kRequestInterrupted = 3;
inline constexpr long kRequestInProgress = 4;

}  // namespace agent
