#include "platform/scriptedprompter.h"

#include "support/fakelanguage.h"

#include <gtest/gtest.h>

namespace kalydor::platform {
namespace {

TEST(ScriptedPrompter, RecordsMessagesAndAnswersFromItsScript) {
    ScriptedPrompter scripted;
    ScopedPrompter installed(scripted);
    test::FakeLanguage language({{"IDS_ROOTCANNOTDELETE", "The root cannot be deleted."}});

    showLanguageMessage("IDS_ROOTCANNOTDELETE");
    scripted.scriptYesNo(false);
    scripted.scriptOverwrite(OverwriteAnswer::YesToAll);

    EXPECT_FALSE(prompter().askYesNo("Delete?", DefaultButton::No));
    EXPECT_EQ(prompter().askOverwrite("Overwrite A?"), OverwriteAnswer::YesToAll);
    EXPECT_TRUE(scripted.scriptUsed());
    EXPECT_EQ(scripted.messages(), std::vector<std::string>{"The root cannot be deleted."});
    ASSERT_EQ(scripted.questions().size(), 1u);
    EXPECT_EQ(scripted.questions()[0].defaultButton, DefaultButton::No);
    // A question the test did not expect fails loudly instead of guessing an answer.
    EXPECT_THROW(prompter().askYesNo("Unexpected?", DefaultButton::Yes), std::logic_error);
}

TEST(Prompter, WithoutAUserQuestionsGetTheirDefaultAnswer) {
    setPrompter(nullptr);
    EXPECT_TRUE(prompter().askYesNo("Convert?", DefaultButton::Yes));
    EXPECT_FALSE(prompter().askYesNo("Delete?", DefaultButton::No));
    EXPECT_EQ(prompter().askOverwrite("Overwrite?"), OverwriteAnswer::No);
}

} // namespace
} // namespace kalydor::platform
