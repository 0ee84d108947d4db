#include <gtest/gtest.h>

#include "compare/Recipe.h"
#include "support/CommandSequences.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

namespace {

void WriteText(const std::string& path, const std::string& text) {
    WriteFile(path, Bytes(text.begin(), text.end()));
}

#if defined(__SANITIZE_ADDRESS__)
constexpr std::uint32_t kSequences = 40;
#else
constexpr std::uint32_t kSequences = 300;
#endif
constexpr std::size_t kInputSize = 2 + 3 * 8;

}  // namespace

// A recipe is its steps: run as one recipe, the commands write the very bytes they write
// run one by one, each on the image the one before saved.
TEST(ApplySequencesCli, ARecipeWritesWhatItsCommandsWriteOneByOne) {
    int compared = 0;
    for (std::uint32_t seed = 1; seed <= kSequences; ++seed) {
        TempDir dir;
        const Bytes input = NoiseBytes(kInputSize, seed);
        const CommandSequence s = RunCommandSequence(dir, input.data(), input.size());
        if (s.steps.empty()) continue;
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + s.Text());
        const std::string r = dir.Path("r.json"), c = dir.Path("c.fls");
        WriteText(r, RecipeText(RecipeOf(s)));
        const CliRun run = Cli({"apply", s.a, r, "-o", c});
        ASSERT_EQ(run.status, 0) << run.err;
        const Bytes made = ReadFile(c);
        EXPECT_TRUE(made == ReadFile(s.b)) << Cli({"diff", s.b, c}).out;
        ++compared;
    }
    EXPECT_GT(compared, static_cast<int>(kSequences) / 2);
}
