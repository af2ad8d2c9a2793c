#include "Errors.h"

#include <gtest/gtest.h>

namespace {

TEST(ErrorTag, RecognisesTheTagForms) {
    for (const char* good : {"MDI#001. ", "MDI#004 ", "Mod1#016.1 ", "Mod1#015-2 ", "17#002. ", "401#001. ",
                             "TITLE#001 ", "Sol#112-2 ", "Comp#202 "})
        EXPECT_TRUE(kx::IsErrorTag(good)) << good;
    for (const char* bad : {"MDI#01. ", "MDI#001", "MDI#001.", "#001. ", "MDI001. ", "MDI#001-. ", "MDI#001  "})
        EXPECT_FALSE(kx::IsErrorTag(bad)) << bad;
}

TEST(ErrorText, TagIsFollowedByTheDescription) {
    try {
        throw kx::Error(kx::ErrorKind::SubscriptOutOfRange);
    } catch (const std::exception& e) {
        EXPECT_EQ(kx::ErrorTextFor("MDI#011. ", e), "MDI#011. Subscript out of range");
    }
    kx::Error withDetail(kx::ErrorKind::FileNotFound, "/tmp/x.txt");
    EXPECT_EQ(withDetail.kind(), kx::ErrorKind::FileNotFound);
    EXPECT_EQ(kx::ErrorTextFor("Sol#106. ", withDetail), "Sol#106. File not found: /tmp/x.txt");
}

}  // namespace
