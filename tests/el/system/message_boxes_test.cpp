// Message boxes through the host, answered from a script, and the colour-depth check.
#include "el/system/message_boxes.h"

#include <gtest/gtest.h>

#include <string>

#include "el/system/input_state.h"
#include "el/system/settings_files.h"
#include "platform/window.h"
#include "tests/el/system/services_fixture.h"

namespace {

using namespace elSystem;
using platform::IDNO;
using platform::IDYES;

class MessageBoxes : public eltest::ServicesTest {
  protected:
    const std::string& LastText() const { return host->messageBoxes().back().text; }
};

TEST_F(MessageBoxes, AnOkBoxShowsTheFormattedTextWithTheCursorAndTheOpenFlag) {
    CursorVisible = 0;
    int openDuringBox = -1;
    host->onMessageBox = [&](const auto&) { openDuringBox = MessageBoxOpen; };
    MessageOk("score %d of %s", 12, "百");
    ASSERT_EQ(host->messageBoxes().size(), 1u);
    EXPECT_EQ(host->messageBoxes()[0].caption, "メッセージ");
    EXPECT_EQ(LastText(), "score 12 of 百\n");
    EXPECT_EQ(host->messageBoxes()[0].style, 0x1030u);
    EXPECT_EQ(openDuringBox, 1);  // the window procedure keeps the cursor shown meanwhile
    EXPECT_EQ(MessageBoxOpen, 0);
    EXPECT_EQ(CursorVisible, 1);
    EXPECT_TRUE(host->cursorVisible());
}

TEST_F(MessageBoxes, YesIsOnlyEverAScriptedYes) {
    host->messageBoxAnswers = {IDYES, IDNO, platform::IDOK};
    EXPECT_EQ(MessageYesNo("save?"), 1);
    EXPECT_EQ(host->messageBoxes()[0].style, 0x1024u);
    EXPECT_EQ(MessageYesNo("save?"), 0);
    EXPECT_EQ(MessageYesNo("save?"), 0);  // an answer that is not one of the box's buttons
    EXPECT_EQ(MessageYesNo("save?"), 0);  // nobody left to answer
    EXPECT_EQ(host->messageBoxes().back().answer, IDNO);
    EXPECT_EQ(MessageYesNo(nullptr), 0);
    EXPECT_EQ(host->messageBoxes().size(), 4u);

    // With no machine at all to show it on, the answer is still No.
    auto owned = platform::InstallHost(nullptr);
    EXPECT_EQ(MessageYesNo("save?"), 0);
    EXPECT_EQ(platform::MessageBox("?", "", platform::MB_YESNO), IDNO);
    EXPECT_EQ(platform::MessageBox("?", "", platform::MB_OKCANCEL), platform::IDCANCEL);
    platform::InstallHost(std::move(owned));
}

TEST_F(MessageBoxes, LongTextsAreCutAtACharacterBoundary) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "あ";  // 900 bytes
    MessageOk("%s", text.c_str());
    const std::string& shown = LastText();
    EXPECT_LT(shown.size(), kMessageTextSize);
    EXPECT_EQ(shown.back(), '\n');
    EXPECT_EQ((shown.size() - 1) % 3, 0u) << "half a character at the end";
    EXPECT_EQ(shown.substr(0, shown.size() - 1), text.substr(0, shown.size() - 1));
    MessageOk(nullptr);
    EXPECT_EQ(host->messageBoxes().size(), 1u);
}

TEST_F(MessageBoxes, TheColourCheckEndsAtOnceInThisFullScreenBuild) {
    EXPECT_EQ(IsWindowed(), 0);
    for (const char* name : {"", "*", "fs.dat"}) EXPECT_EQ(CheckColorDepth(name), 1);
    bool switched = false;
    EXPECT_EQ(CheckColorDepthFor("", {0, 12, 8}, switched), 1);  // a depth nobody checks for
    EXPECT_TRUE(host->messageBoxes().empty());
    EXPECT_EQ(CloseState, 0);
}

class ColourCheck : public MessageBoxes {
  protected:
    ColorDepthSituation shallow{.fullScreen = 0, .displayDepth = 16, .desktopDepth = 8};
    bool switched = true;
};

TEST_F(ColourCheck, AShallowDesktopIsExplainedAndWithoutAQuestionEndsTheProgram) {
    EXPECT_EQ(CheckColorDepthFor("", shallow, switched), 0);
    ASSERT_EQ(host->messageBoxes().size(), 1u);
    EXPECT_EQ(
        LastText(),
        "　ウィンドウ状態で実行しようとしていますが、画面が256色以下に設定されています。\n"
        "正しく動作させるには、65536色以上に設定するか、フルスクリーンで実行させて下さい。\n");
    EXPECT_FALSE(switched);
    EXPECT_EQ(CloseState, 2);  // shut down
}

TEST_F(ColourCheck, YesSwitchesAndKeepsTheChoiceUnlessAskedForThisRunOnly) {
    SetProgramName("show");
    host->messageBoxAnswers = {IDYES, IDYES};
    EXPECT_EQ(CheckColorDepthFor("*", shallow, switched), 1);
    EXPECT_TRUE(switched);
    EXPECT_EQ(host->messageBoxes()[1].text, "フルスクリーンに切り換えますか？\n");
    EXPECT_FALSE(eltest::fs::exists(root / "config" / "show" / "*"));

    EXPECT_EQ(CheckColorDepthFor("fs.dat", shallow, switched), 1);
    EXPECT_EQ(host->messageBoxes()[3].text, "フルスクリーンに設定し直しますか？\n");
    EXPECT_EQ(ReadIntFile("fs.dat"), 1);
    EXPECT_EQ(CloseState, 0);
}

TEST_F(ColourCheck, NoOrABoxNobodyAnswersEndsTheProgram) {
    host->messageBoxAnswers = {IDNO};
    EXPECT_EQ(CheckColorDepthFor("fs.dat", shallow, switched), 0);
    EXPECT_EQ(CloseState, 2);
    CloseState = 0;
    EXPECT_EQ(CheckColorDepthFor("*", shallow, switched), 0);  // no answer left: No
    EXPECT_FALSE(switched);
    EXPECT_EQ(ReadIntFile("fs.dat"), 0);
}

}  // namespace
