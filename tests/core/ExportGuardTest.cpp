// An export whose file is the open image would replace the image by the exported piece.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/Editor.h"
#include "core/UserError.h"
#include "image/Session.h"
#include "support/TestSupport.h"
#include "texts/Languages.h"
#include "texts/Operators.h"
#include "tones/RingtoneCommands.h"

namespace brivant::test {
namespace {

struct ExportCase {
    const char* name;
    Tab tab;
    std::function<void(Editor&, FakeUi&)> run;
};

TEST(ExportGuard, EveryExportRefusesTheOpenImageUnderAnySpelling) {
    const std::vector<ExportCase> cases = {
        {"ringtone", Tab::Tones, [](Editor& e, FakeUi& u) { RetrieveRingtone(e, e.tones, u, 0); }},
        {"tone chunk", Tab::Tones, [](Editor& e, FakeUi& u) { RetrieveAllRingtones(e, u); }},
        {"language", Tab::Languages,
         [](Editor& e, FakeUi& u) { RetrieveLanguage(e, e.texts, u, 0); }},
        {"country", Tab::Operators,
         [](Editor& e, FakeUi& u) { RetrieveCountry(e, e.texts, u, 0); }},
    };
    for (const ExportCase& c : cases) {
        SCOPED_TRACE(c.name);
        SampleFixture f(4, c.tab);
        const std::string image = f.ed.MainHex.FileName();
        const Bytes before = ReadFile(image);
        const std::string link = f.dir.Path("link.fls");
        std::filesystem::create_symlink(image, link);
        const std::string dotted = (std::filesystem::path(image).parent_path() / "." /
                                    std::filesystem::path(image).filename())
                                       .string();
        for (const std::string& out : {image, dotted, link}) {
            f.ui.saveAnswers.push_back(out);
            EXPECT_EQ(ErrorOf([&] { c.run(f.ed, f.ui); }), Format(kExportIsImage, {out}));
            EXPECT_EQ(ReadFile(image), before);
        }
        // Another file still takes the export.
        f.ui.saveAnswers.push_back(f.dir.Path("piece.bin"));
        EXPECT_EQ(ErrorOf([&] { c.run(f.ed, f.ui); }), "");
        EXPECT_TRUE(std::filesystem::exists(f.dir.Path("piece.bin")));
    }
}

}  // namespace
}  // namespace brivant::test
