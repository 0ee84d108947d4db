#include "web/WebSession.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace brivant::test {
namespace {

using web::WebSession;

// A demo image of the family opened in a session, and the folder it lives in.
struct OpenDemo {
    TempDir dir;
    std::string image = dir.Path("x.fls");
    WebSession session{dir.Path("")};
    explicit OpenDemo(const std::string& type = "3310") {
        EXPECT_EQ(Cli({"demo", image, "--type", type}).status, 0);
        EXPECT_EQ(session.Open(image).status, 0);
    }
};

TEST(WebSession, StepsUndoAndRedoGiveTheCommandLinesBytes) {
    OpenDemo d;
    const std::string original = d.dir.Path("original.fls");
    WriteFile(original, ReadFile(d.image));
    // What the command line writes for the same command.
    const std::string once = d.dir.Path("once.fls");
    ASSERT_EQ(Cli({"tones", "delete", "-o", once, "--", original, "1"}).status, 0);
    const Bytes native = ReadFile(once);

    auto r = d.session.Step({"tones", "delete", "--", d.image, "1"}, "tones delete 1");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(d.image), native);
    EXPECT_EQ(d.session.UndoNames(), std::vector<std::string>{"tones delete 1"});

    r = d.session.Step({"security", "patch", d.image, "--whole"}, "security patch --whole");
    ASSERT_EQ(r.status, 0) << r.err;
    const Bytes twice = ReadFile(d.image);
    EXPECT_EQ(d.session.UndoNames(),
              (std::vector<std::string>{"security patch --whole", "tones delete 1"}));

    ASSERT_TRUE(d.session.Undo());
    EXPECT_EQ(ReadFile(d.image), native);
    EXPECT_EQ(d.session.RedoNames(), std::vector<std::string>{"security patch --whole"});
    ASSERT_TRUE(d.session.Undo());
    EXPECT_EQ(ReadFile(d.image), ReadFile(original));
    EXPECT_FALSE(d.session.Undo());
    ASSERT_TRUE(d.session.Redo());
    ASSERT_TRUE(d.session.Redo());
    EXPECT_EQ(ReadFile(d.image), twice);
    EXPECT_FALSE(d.session.Redo());

    // A new step after an undo forgets what could have been redone.
    ASSERT_TRUE(d.session.Undo());
    ASSERT_EQ(d.session.Step({"lang", "delete", d.image, "1"}, "lang delete 1").status, 0);
    EXPECT_TRUE(d.session.RedoNames().empty());
    EXPECT_EQ(d.session.UndoNames().size(), 2U);
}

TEST(WebSession, RefusedStepsChangeNothingAndSayWhy) {
    OpenDemo d;
    const Bytes before = ReadFile(d.image);
    // Refused by the command (no such row), by the parser, and an edit that edits nothing.
    const std::vector<std::vector<std::string>> refused = {
        {"tones", "delete", d.image, "999"},
        {"tones", "delete", d.image, "x"},
        {"ani", "set-frame", d.image, "000", "0", "001"},
    };
    for (const auto& args : refused) {
        const auto r = d.session.Step(args, "refused");
        EXPECT_NE(r.status, 0) << args[2];
        EXPECT_TRUE(Has(r.err, "brivant-cli: ")) << r.err;
        EXPECT_EQ(ReadFile(d.image), before);
        EXPECT_TRUE(d.session.UndoNames().empty());
    }
    // No scratch file left behind.
    EXPECT_FALSE(std::filesystem::exists(d.dir.Path(".step-x.fls")));
}

TEST(WebSession, AStepThatCannotBeKeptLeavesBothListsAsTheyWere) {
    OpenDemo d;
    ASSERT_EQ(d.session.Step({"tones", "delete", d.image, "0"}, "tones delete 0").status, 0);
    ASSERT_EQ(d.session.Step({"lang", "delete", d.image, "1"}, "lang delete 1").status, 0);
    ASSERT_TRUE(d.session.Undo());
    const Bytes now = ReadFile(d.image);
    const std::string copy = d.dir.Path("copy.fls");
    WriteFile(copy, now);
    // A folder where the image was: the command still runs (on the copy), but nothing can be
    // renamed over the image.
    std::filesystem::remove(d.image);
    std::filesystem::create_directory(d.image);
    const auto r = d.session.Step({"tones", "delete", copy, "0"}, "tones delete 0 again");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "brivant-cli: ")) << r.err;
    EXPECT_FALSE(d.session.Undo());
    EXPECT_FALSE(d.session.Redo());
    EXPECT_EQ(d.session.UndoNames(), std::vector<std::string>{"tones delete 0"});
    EXPECT_EQ(d.session.RedoNames(), std::vector<std::string>{"lang delete 1"});
    EXPECT_FALSE(std::filesystem::exists(d.dir.Path(".step-x.fls")));

    // With the image back, the step that was waiting is still there to redo.
    std::filesystem::remove(d.image);
    WriteFile(d.image, now);
    ASSERT_TRUE(d.session.Redo());
    EXPECT_TRUE(d.session.RedoNames().empty());
    EXPECT_EQ(d.session.UndoNames().size(), 2U);
}

TEST(WebSession, AFileThatIsNoImageIsNotOpened) {
    OpenDemo d;
    ASSERT_EQ(d.session.Step({"tones", "delete", d.image, "0"}, "tones delete 0").status, 0);
    const std::string junk = d.dir.Path("junk.fls");
    WriteText(junk, "not an image");
    const auto r = d.session.Open(junk);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "junk.fls")) << r.err;
    // The image open before stays open, with its steps.
    EXPECT_EQ(d.session.Image(), d.image);
    EXPECT_EQ(d.session.UndoNames().size(), 1U);
    // Opening an image starts afresh.
    ASSERT_EQ(d.session.Open(d.image).status, 0);
    EXPECT_TRUE(d.session.UndoNames().empty());
}

TEST(WebSession, NothingRunsBeforeAnImageIsOpen) {
    TempDir dir;
    WebSession s(dir.Path(""));
    EXPECT_EQ(s.Look({"info", dir.Path("x.fls")}).status, 1);
    EXPECT_EQ(s.Step({"tones", "delete", dir.Path("x.fls"), "0"}, "x").status, 1);
    EXPECT_FALSE(s.Undo());
    EXPECT_FALSE(s.Redo());
}

}  // namespace
}  // namespace brivant::test
