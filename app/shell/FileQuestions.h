// The questions before a window writes a user's file that may hold newer
// work than the window has: a file changed on disk since the window read or
// last saved it, and a file that another window shows.
#pragma once

#include "Files.h"
#include "Forms.h"

#include <string>

namespace kx::shell {

// Before a window saves over its own file: when the file's bytes differ
// from those of the stamp (files::DiskState::Changed), asks whether to
// replace it, with No the default answer. True when the save may go on: the
// file is as the window knows it, was only written again with the same
// bytes, is gone (the save makes it again), or the user answered Yes.
// `content` names what the window writes ("text", "chart"); `onNo` says
// what No does.
bool ConfirmSaveOverDiskChange(const files::FileStamp& known, const std::string& path, const std::string& content,
                               const std::string& onNo = "No saves nothing.");

// Before a window writes a file that is not its own (Save As, the first
// save of an untitled document): when another window shows that file, asks
// whether to replace it, with No the default answer. True when the write
// may go on.
bool ConfirmSaveOverOpenFile(const std::string& path, const platform::Form* self, const std::string& content);

}  // namespace kx::shell
