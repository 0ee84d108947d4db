// A recipe run by `apply` on a family's sample. [family selector][recipe text]: the recipe
// is read, checked, its steps parsed and run as the command line runs them. A recipe the
// program refuses ends with a message and exit 1 or 2; anything else is a finding.
#include <cstdlib>
#include <sstream>

#include "FuzzHarness.h"
#include "cli/RunCli.h"
#include "core/FileIO.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n < 1) return 0;
    const int family = FamilyOf(data[0]);
    const std::string image = ScratchPath("image" + std::to_string(family) + ".fls");
    if (!FileExists(image)) WriteFileRaw(image, Sample(family).bytes);
    const std::string recipe = ScratchPath("recipe.json");
    WriteScratch(recipe, data + 1, n - 1);
    const std::string out = ScratchPath("out.fls");
    const char* argv[] = {"brivant-cli", "apply", image.c_str(), recipe.c_str(), "-o", out.c_str()};
    std::ostringstream sink, err;
    const int status = RunCli(6, argv, sink, err);
    // A refusal always says why.
    if (status != 0 && err.str().empty()) std::abort();
    return 0;
}
