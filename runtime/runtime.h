// The object runtime: include this to use values, classes, objects, message
// send, the call stack, errors and the cycle collector.
#pragma once

#include "runtime/callstack.h"
#include "runtime/error.h"
#include "runtime/heap.h"
#include "runtime/object.h"
#include "runtime/symbol.h"
#include "runtime/value.h"
