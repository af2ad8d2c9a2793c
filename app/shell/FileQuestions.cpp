#include "FileQuestions.h"

#include "MessageBox.h"
#include "Messages.h"
#include "Text.h"

namespace kx::shell {
namespace {

constexpr int kReplaceQuestion = platform::kMsgExclamation + platform::kMsgYesNo + platform::kMsgDefaultButton2;

}  // namespace

bool ConfirmSaveOverDiskChange(const files::FileStamp& known, const std::string& path, const std::string& content,
                               const std::string& onNo) {
    if (files::CompareWithDisk(known, path) != files::DiskState::Changed) return true;
    return UserMessage("The file '" + path +
                           "' has been changed on disk since this window read or last saved it.\r\n\r\n"
                           "Yes replaces it with this window's " + content +
                           ", and what the file holds now is lost. " + onNo,
                       kReplaceQuestion) == platform::kAnswerYes;
}

bool ConfirmSaveOverOpenFile(const std::string& path, const platform::Form* self, const std::string& content) {
    const platform::Form* other = platform::FindFormShowingFile(path, self);
    if (!other) return true;
    return UserMessage("The file '" + path + "' is open in the window '" + platform::FromQ(other->Caption()) +
                           "'.\r\n\r\nYes replaces the file with this window's " + content +
                           "; that window keeps its own and asks before it saves over this. No saves nothing.",
                       kReplaceQuestion) == platform::kAnswerYes;
}

}  // namespace kx::shell
