// The message loops: the form loop behind RUNFORM and the modal ShowModal,
// PROCESSMESSAGES, the application-wide running flag, idle work, and the
// boundary that keeps C++ exceptions out of Windows' own frames.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>

#include "runtime/runtime.h"

namespace zv {

// Runs the non-modal form loop for a form until its window is gone, the
// running flag is cleared, or an abort or quit unwinds it.
void RUNFORM(const Value& form);
// Shows a form modally (the body of TForm:ShowModal) and returns its
// nModalResult. Every other enabled form is disabled for the time of the
// modal run and enabled again afterwards, in the same order, also when an
// abort unwinds the loop.
Value ShowModalForm(const Value& form, const Value& nShow = {}, const Value& lCenter = {});
// Dispatches every message already waiting (key hooks apply; no idle work).
void PROCESSMESSAGES();
// The running flag: with a logical argument sets it; returns the flag.
bool APPRUNNING();
bool APPRUNNING(bool lNew);

// Idle work, run by the form loop when the queue is empty: the window layer
// frees its released link records here; unreferenced objects are collected.
void AddIdleWork(std::function<void()> work);
void RunIdleWork();

// The exception boundary. An exception raised by framework code inside a
// window procedure, hook or other callback is stored here instead of being
// thrown through Windows' frames; the loops rethrow it when DispatchMessage
// returns, and framework code that sent a message rethrows it when the send
// returns. Several exceptions stored before a boundary are kept in order and
// rethrown one per boundary, oldest first; beyond 64 waiting ones, further
// exceptions are counted as dropped.
void DeferException(std::exception_ptr e);
bool ExceptionDeferred();
void RethrowDeferred();  // throws the oldest stored exception, if any, and removes it
std::size_t DeferredExceptionCount();
std::size_t DroppedDeferredExceptions();

// Messages the form loops have taken from the queue since the start (a
// diagnostic: a loop that spins shows here).
std::uint64_t LoopMessageCount();

// SendMessage from framework code: a deferred exception raised while the
// message was handled continues unwinding in the sender.
LRESULT SendMsg(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace zv
