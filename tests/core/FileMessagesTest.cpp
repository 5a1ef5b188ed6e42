#include "core/FileMessageMemory.h"
#include "core/Ports.h"
#include "support/FakePorts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvane;

namespace {

std::string notSet(int dcode)
{
    return "アパーチャ(D" + std::to_string(dcode) + ")がセットされていません。処理を続行しますか？";
}

// Records what reaches the platform; ticks "the same for the rest of the
// file" when told to.
class Window : public korvane::testing::FakePrompter {
public:
    bool tickSameForRest = false;
    int offered = 0;
    std::vector<std::vector<FileMessage>> files;

    Answer askOfferingSameAnswer(MessageKind kind, const std::string &text, bool &sameForRest) override
    {
        ++offered;
        sameForRest = tickSameForRest;
        return show(kind, text, Buttons::YesNo);
    }
    void fileEnded(const std::vector<FileMessage> &messages) override { files.push_back(messages); }
};

TEST(FileMessages, ADCodeSelectedAgainIsAskedOnceAndKeepsItsAnswer)
{
    Window window;
    window.answers = {Answer::No};
    {
        const FileMessages file(window);
        for (int i = 0; i < 1000; ++i) {
            EXPECT_FALSE(window.askYesNo(MessageKind::Warning, notSet(12)));
            window.warning("クリア極性は出力できません");
        }
        EXPECT_TRUE(window.askYesNo(MessageKind::Warning, notSet(13)));  // another cause
    }
    ASSERT_EQ(window.texts(), (std::vector<std::string>{notSet(12), "クリア極性は出力できません", notSet(13)}));
    ASSERT_EQ(window.files.size(), 1U);
    const std::vector<FileMessage> &counted = window.files[0];
    ASSERT_EQ(counted.size(), 3U);
    EXPECT_EQ(counted[0].times, 1000U);
    EXPECT_EQ(counted[0].answer, Answer::No);
    EXPECT_EQ(counted[1].times, 1000U);
    EXPECT_EQ(counted[2].times, 1U);
}

TEST(FileMessages, TenThousandDCodesTakeTheAnswerGivenForTheRestOfTheFile)
{
    Window window;
    window.tickSameForRest = true;
    int yes = 0;
    {
        const FileMessages file(window);
        for (int dcode = 10; dcode < 10010; ++dcode)
            yes += window.askYesNo(MessageKind::Warning, notSet(dcode)) ? 1 : 0;
        // A question of another kind is asked.
        window.askYesNo(MessageKind::Warning, "アパーチャ(D10)のセットが誤っています。処理を続行しますか？");
    }
    EXPECT_EQ(yes, 10000);
    EXPECT_EQ(window.shown.size(), 2U);
    EXPECT_EQ(window.files.at(0).at(0).times, 10000U);
    EXPECT_TRUE(window.files.at(0).at(0).sameForRest);

    // The next file asks again; outside a file every message is shown, and
    // no box offers an answer for the rest.
    const int offeredBefore = window.offered;
    {
        const FileMessages file(window);
        window.askYesNo(MessageKind::Warning, notSet(10));
    }
    window.askYesNo(MessageKind::Warning, notSet(10));
    window.askYesNo(MessageKind::Warning, notSet(10));
    EXPECT_EQ(window.shown.size(), 5U);
    EXPECT_EQ(window.offered, offeredBefore + 1);
}

TEST(FileMessages, WithoutTheTickEachDistinctCauseIsAsked)
{
    Window window;
    {
        const FileMessages file(window);
        const FileMessages nested(window);  // part of the same file
        for (int dcode = 10; dcode < 20; ++dcode) {
            window.askYesNo(MessageKind::Warning, notSet(dcode));
            window.askYesNo(MessageKind::Warning, notSet(dcode));
        }
    }
    EXPECT_EQ(window.shown.size(), 10U);
    EXPECT_EQ(window.files.size(), 1U);
}

TEST(FileMessages, AKindIsTheTextWithoutItsNumbers)
{
    EXPECT_EQ(kindOfText("D010 と T5、12.5mm"), "D# と T#、#.#mm");
    EXPECT_EQ(kindOfText("数字なし"), "数字なし");
}

}  // namespace
