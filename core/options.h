// Global settings. The record is owned by the main window (or by harvio-cli)
// and read live by every worker, so a change applies to the next connection.
// Only plain 32-bit fields: a worker may read a value while the options
// sheet writes it, and sees either the old or the new one.
//
// Option.ini and the sheet's rules that fill the record are in app/options.
#pragma once

#include <cstddef>
#include <cstdint>

namespace harvio {

struct Options {
  uint32_t shutdownWhenDone = 0;
  uint32_t ShowTBBCaption = 0;
  uint32_t ShowGridLine = 0;
  int32_t XPos = 0;
  int32_t YPos = 0;
  int32_t Width = 665;
  int32_t Height = 425;
  int32_t TLHeight = 105;
  uint32_t KeepWnd = 1;
  uint32_t HideOnMin = 1;
  char WorkPath[64] = "C:\\Download\\";
  uint32_t ConnTimeout = 30;     // seconds, 10..90
  uint32_t DataTimeout = 30;     // seconds, 10..90
  uint32_t RetryWait = 3;        // seconds, 2..10
  uint32_t WEB2RetryTimes = 10;  // 1..99
  uint32_t WEB1RetryTimes = 5;   // 1..99
  uint32_t PICRetryTimes = 3;    // 1..99
};

// WorkPath holds at most this many bytes, its final "\\" included.
constexpr size_t kWorkPathMax = sizeof(Options::WorkPath) - 1;

}  // namespace harvio
