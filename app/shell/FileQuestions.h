// The questions before a window writes a user's file that may hold newer
// work than the window has: a file changed on disk since the window read or
// last saved it, and a file that another window shows; and the question
// before a file whose earlier save was cut short is opened or written.
#pragma once

#include "Files.h"
#include "Forms.h"

#include <string>

namespace kx::shell {

enum class FileUse { Open, Save };

// Before a file is opened or written: when an earlier save of it was cut
// short (kx::InterruptedSaves: its writer stopped while it wrote the file in
// place, so the file may hold part of each content), says so, names the copy
// that keeps the whole earlier content and offers to write that content
// back into the file ("Get it back"; Cancel, the default, leaves the file
// and the copy as they are). A failure to write it back is told, and the
// copy stays. True when the use may go on: an open always goes on, on the
// file as it then is; a save only where there was no such save (after
// either answer the save does not go on, and the window keeps what it
// holds).
bool AskAboutInterruptedSave(const std::string& path, FileUse use);

// Both questions below first ask AskAboutInterruptedSave (FileUse::Save):
// a file whose earlier save was cut short is not written.
//
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
