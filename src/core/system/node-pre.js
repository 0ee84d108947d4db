// Runs before the program is compiled, in Node only.
//
// A run of the command line is short: the engine's optimising second compiler, which
// recompiles the functions that run often while the program runs, spends more processor
// time than a whole run of most commands saves, and its code and working memory are fresh
// pages, which are slow to touch on many machines. The baseline compiler alone starts the
// program about a quarter cheaper in processor time and no command measured ran slower, even
// over a 64 MiB image.
//
// The engine compiles a function when it is first called, but by default it still checks
// every function of the module before the first call; a run calls about a fifth of them.
// Each function is checked when it is compiled instead, which takes about a quarter off
// compiling the module. The module is the one this build made, so nothing is left unchecked
// that could be wrong.
require("v8").setFlagsFromString("--liftoff-only --wasm-lazy-validation");

// The runtime sets up its random device when it starts, and touching Node's global `crypto`
// loads the whole web crypto library, a few milliseconds of every run. Only a save's
// temporary name asks for random bytes: the library is loaded then.
var crypto = {
  getRandomValues: (bytes) =>
    (globalThis.crypto || require("crypto").webcrypto).getRandomValues(bytes),
};
