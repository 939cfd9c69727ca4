// SPDX-License-Identifier: MIT
// Linked before the program's own code (--pre-js) in the wasm preset. A
// program built for Node is a command-line program of the system node runs
// on: it sees the process's environment (HOME, XDG_DATA_HOME, TMPDIR ...)
// as a native program does, in place of emscripten's made-up one.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  Object.assign(ENV, process.env);
});
