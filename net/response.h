// What a worker does with the bytes it receives: judge the first block of a
// response (status, type, length, end of header), open the item's partial
// file, collect the body in the write buffer and write it out in large
// blocks, and at the end rename a finished picture into place or hand a
// finished page to the parser of the task's source.
//
// Everything here reads what a server sent: no status line, header or body
// can move a read or a write outside the worker's buffers, and no item
// field (title, fileName) can place a file outside the item's folder.
#pragma once

#include <cstdint>
#include <string>

#include "net/worker.h"

namespace harvio {

// Examines the first n bytes of a response in the worker's ioBuffer. On
// acceptance the partial file is open at the item's `done` and the body
// bytes of the block have gone to AppendBody.
bool AcceptResponse(Worker& worker, uint32_t n);
// Collects body bytes; false when a file write failed (the task is then
// signalled to pause with reason 1).
bool AppendBody(Worker& worker, const char* bytes, uint32_t n);
// Room for body bytes received straight into the write buffer at
// writeBuffer_ + buffered_; a full buffer is written out first. 0 when
// that write failed (signalled as by AppendBody).
uint32_t BodyRoom(Worker& worker);
// Counts n body bytes received there, as AppendBody counts its copies.
void KeepReceivedBody(Worker& worker, uint32_t n);
// Gives the complete page, NUL-terminated, to the parser of the source.
void ProcessPage(Worker& worker);
// What a crash may have left of the entry a worker just took: a picture
// already complete under its final name (saved after the last checkpoint
// that recorded it), or a name whose partial file was never made, which
// the entry forgets with its progress, so no Range is asked for bytes the
// file does not hold.
enum class ResumeCheck { kNothingToResume, kSaved, kStartedOver };
ResumeCheck CheckPartialFile(Worker& worker);
// Moves "<name>.!" to "<name>"; errors are ignored.
void RenamePicture(Worker& worker);
// Deletes "<name>.!"; errors are ignored.
void DeletePartial(Worker& worker);

}  // namespace harvio
