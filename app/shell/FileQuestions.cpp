#include "FileQuestions.h"

#include "MessageBox.h"
#include "Messages.h"
#include "Text.h"
#include "file_failure.h"

#include <exception>
#include <vector>

namespace kx::shell {
namespace {

constexpr int kReplaceQuestion = platform::kMsgExclamation + platform::kMsgYesNo + platform::kMsgDefaultButton2;
// OK writes the earlier content back; Enter leaves everything as it is.
constexpr int kGetBackQuestion = platform::kMsgExclamation + platform::kMsgOkCancel + platform::kMsgDefaultButton2;

}  // namespace

bool AskAboutInterruptedSave(const std::string& path, FileUse use) {
    std::string target;
    std::vector<std::string> copies;
    try {
        target = files::WriteTarget(path);
        copies = InterruptedSaves(target);
    } catch (const std::exception&) {
        return true;  // the open or the write tells what stands in its way
    }
    if (copies.empty()) return true;
    const std::string& copy = copies.front();
    const std::string told =
        "An earlier save of '" + path +
        "' was cut short: the file may hold part of what that save wrote and part of what it held before. "
        "Its whole earlier content is kept in '" + copy + "'.\r\n\r\n";
    const std::string choice =
        use == FileUse::Open
            ? "\"Get it back\" writes that content back into the file before it opens; Cancel opens the file as it "
              "is and keeps the copy."
            : "\"Get it back\" writes that content back into the file; Cancel leaves the file and the copy as they "
              "are. Either way this save does not go on, and this window keeps what it holds.";
    if (UserMessage(told + choice, kGetBackQuestion, "Get it back") == platform::kAnswerOk) {
        int err = 0;
        if (!RestoreInterruptedSave(target, copy, err))
            UserMessage("The earlier content of '" + path + "' could not be written back: " + FileFailureCause(err) +
                            ". It stays in '" + copy + "'.",
                        platform::kMsgExclamation);
    }
    return use == FileUse::Open;
}

bool ConfirmSaveOverDiskChange(const files::FileStamp& known, const std::string& path, const std::string& content,
                               const std::string& onNo) {
    if (!AskAboutInterruptedSave(path, FileUse::Save)) return false;
    if (files::CompareWithDisk(known, path) != files::DiskState::Changed) return true;
    return UserMessage("The file '" + path +
                           "' has been changed on disk since this window read or last saved it.\r\n\r\n"
                           "Yes replaces it with this window's " + content +
                           ", and what the file holds now is lost. " + onNo,
                       kReplaceQuestion) == platform::kAnswerYes;
}

bool ConfirmSaveOverOpenFile(const std::string& path, const platform::Form* self, const std::string& content) {
    if (!AskAboutInterruptedSave(path, FileUse::Save)) return false;
    const platform::Form* other = platform::FindFormShowingFile(path, self);
    if (!other) return true;
    return UserMessage("The file '" + path + "' is open in the window '" + platform::FromQ(other->Caption()) +
                           "'.\r\n\r\nYes replaces the file with this window's " + content +
                           "; that window keeps its own and asks before it saves over this. No saves nothing.",
                       kReplaceQuestion) == platform::kAnswerYes;
}

}  // namespace kx::shell
