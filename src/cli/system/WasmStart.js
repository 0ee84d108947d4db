// Before the program is compiled: a run uses a small part of its functions, so each is
// compiled when first called rather than all of them at start.
require("v8").setFlagsFromString("--wasm-lazy-compilation");
