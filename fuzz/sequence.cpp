// Sequences of editing commands, undo, redo, saves and reopens on the samples of several
// families, every step checked: [family][step count][per step: command, two arguments].
// A broken rule is a finding: the sequence and the rule are printed, then the run aborts.
// BRIVANT_SEQUENCE_ONLY="text|text" keeps only the findings that hold one of the texts, to
// measure how long the search for one kind of fault takes while others are still open.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/SequenceEngine.h"

namespace {
bool Wanted(const std::string& finding) {
    const char* only = std::getenv("BRIVANT_SEQUENCE_ONLY");
    if (!only || !*only) return true;
    const std::string list = only;
    for (std::size_t from = 0; from <= list.size();) {
        const std::size_t bar = std::min(list.find('|', from), list.size());
        const std::string part = list.substr(from, bar - from);
        if (!part.empty() && finding.find(part) != std::string::npos) return true;
        from = bar + 1;
    }
    return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    const brivant::sequence::Outcome o = brivant::sequence::RunSequence(data, n);
    if (o.finding && Wanted(*o.finding)) {
        std::fprintf(stderr, "%s\n", o.Text().c_str());
        std::abort();
    }
    return 0;
}
